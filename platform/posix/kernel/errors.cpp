// GetLastError/SetLastError and the mapping from errno to Win32 codes.
#include "platform/posix/kernel/errors.h"

#include <errno.h>

namespace {
thread_local DWORD last_error = ERROR_SUCCESS;
}

DWORD WINAPI GetLastError(void) {
    return last_error;
}

void WINAPI SetLastError(DWORD dwErrCode) {
    last_error = dwErrCode;
}

namespace kernel {

DWORD set_error_from_errno(int error) {
    DWORD code;
    switch (error) {
        case 0:
            code = ERROR_SUCCESS;
            break;
        case ENOENT:
        case ENXIO:
        case ENODEV:
            code = ERROR_FILE_NOT_FOUND;
            break;
        case ENOTDIR:
        case ELOOP:
            code = ERROR_PATH_NOT_FOUND;
            break;
        case EPERM:
        case EACCES:
        case EISDIR:
            code = ERROR_ACCESS_DENIED;
            break;
        case EROFS:
            code = ERROR_WRITE_PROTECT;
            break;
        case EEXIST:
            code = ERROR_ALREADY_EXISTS;
            break;
        case EMFILE:
        case ENFILE:
            code = ERROR_TOO_MANY_OPEN_FILES;
            break;
        case ENOMEM:
            code = ERROR_NOT_ENOUGH_MEMORY;
            break;
        case EBADF:
            code = ERROR_INVALID_HANDLE;
            break;
        case ENOSPC:
        case EDQUOT:
            code = ERROR_DISK_FULL;
            break;
        case EFBIG:
            code = ERROR_HANDLE_DISK_FULL;
            break;
        case ENAMETOOLONG:
            code = ERROR_FILENAME_EXCED_RANGE;
            break;
        case ENOTEMPTY:
            code = ERROR_DIR_NOT_EMPTY;
            break;
        case EBUSY:
            code = ERROR_BUSY;
            break;
        case ETXTBSY:
            code = ERROR_SHARING_VIOLATION;
            break;
        case EAGAIN:
            code = ERROR_LOCK_VIOLATION;
            break;
        case EINVAL:
        case EFAULT:
            code = ERROR_INVALID_PARAMETER;
            break;
        case ESPIPE:
        case ENOSYS:
        case EOPNOTSUPP:
            code = ERROR_NOT_SUPPORTED;
            break;
        case EIO:
            code = ERROR_WRITE_FAULT;
            break;
        default:
            code = ERROR_INVALID_FUNCTION;
            break;
    }
    SetLastError(code);
    return code;
}

}  // namespace kernel
