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

namespace {

struct Mapping {
    int error;
    DWORD code;
};

const Mapping mappings[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND},      {ENXIO, ERROR_FILE_NOT_FOUND},
    {ENODEV, ERROR_FILE_NOT_FOUND},      {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {ELOOP, ERROR_PATH_NOT_FOUND},       {EPERM, ERROR_ACCESS_DENIED},
    {EACCES, ERROR_ACCESS_DENIED},       {EISDIR, ERROR_ACCESS_DENIED},
    {EROFS, ERROR_WRITE_PROTECT},        {EEXIST, ERROR_ALREADY_EXISTS},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES}, {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},   {EBADF, ERROR_INVALID_HANDLE},
    {ENOSPC, ERROR_DISK_FULL},           {EDQUOT, ERROR_DISK_FULL},
    {EFBIG, ERROR_HANDLE_DISK_FULL},     {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},    {EBUSY, ERROR_BUSY},
    {ETXTBSY, ERROR_SHARING_VIOLATION},  {EAGAIN, ERROR_LOCK_VIOLATION},
    {EINVAL, ERROR_INVALID_PARAMETER},   {EFAULT, ERROR_INVALID_PARAMETER},
    {ESPIPE, ERROR_NOT_SUPPORTED},       {ENOSYS, ERROR_NOT_SUPPORTED},
    {EOPNOTSUPP, ERROR_NOT_SUPPORTED},   {EIO, ERROR_WRITE_FAULT},
};

}  // namespace

namespace kernel {

// 0 is success; an errno without a row is ERROR_INVALID_FUNCTION.
DWORD set_error_from_errno(int error) {
    DWORD code = error == 0 ? ERROR_SUCCESS : ERROR_INVALID_FUNCTION;
    for (const Mapping& mapping : mappings) {
        if (mapping.error == error) {
            code = mapping.code;
            break;
        }
    }
    SetLastError(code);
    return code;
}

}  // namespace kernel
