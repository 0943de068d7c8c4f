// CreateDirectoryA: one level, never over an existing name.
#include <errno.h>

#include "platform/posix/kernel/errors.h"
#include "platform/posix/kernel/paths.h"
#include "platform/posix/kernel/syscalls.h"

BOOL WINAPI CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes) {
    (void)lpSecurityAttributes;
    kernel::ResolvedPath where;
    if (!kernel::resolve_path(lpPathName, &where)) {
        return FALSE;
    }
    if (!where.parent_exists) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (where.exists) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (kernel::sys.mkdir(where.path.c_str(), 0777) != 0) {
        kernel::set_error_from_errno(errno);
        return FALSE;
    }
    return TRUE;
}
