// File attributes derived from the status of a file, and GetFileAttributesA.
#include "platform/posix/kernel/attributes.h"

#include "platform/posix/kernel/paths.h"

namespace kernel {

DWORD attributes_of(const struct stat& st) {
    DWORD attributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    // Nobody may write: the read-only attribute, as CreateFileA enforces it.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    return attributes;
}

FILETIME filetime_of(const struct timespec& time) {
    // 100-nanosecond ticks since 1601-01-01.
    const int64_t epoch_difference = 11644473600LL;
    int64_t ticks = (static_cast<int64_t>(time.tv_sec) + epoch_difference) * 10000000LL + time.tv_nsec / 100;
    if (ticks < 0) {
        ticks = 0;
    }
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks));
    result.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
    return result;
}

}  // namespace kernel

DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName) {
    kernel::ResolvedPath where;
    if (!kernel::resolve_path(lpFileName, &where)) {
        return INVALID_FILE_ATTRIBUTES;
    }
    if (!where.parent_exists) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (!where.exists) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    if (where.trailing_separator && !S_ISDIR(where.st.st_mode)) {
        SetLastError(ERROR_INVALID_NAME);
        return INVALID_FILE_ATTRIBUTES;
    }
    return kernel::attributes_of(where.st);
}
