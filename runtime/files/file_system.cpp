#include "runtime/files/file_system.h"

#include <string.h>

#include "platform/win32.h"

int32_t file_size(const char* name) {
    if (!name || !name[0]) {
        return FILE_SIZE_MISSING;
    }
    size_t length = strlen(name);
    if (length >= FILE_NAME_WORK_SIZE) {
        return FILE_SIZE_MISSING;
    }
    char work[FILE_NAME_WORK_SIZE];
    memcpy(work, name, length + 1);

    if ((length == 2 || length == 3) && work[1] == ':') {
        if (length == 2) {
            work[2] = '\\';
            work[3] = 0;
        }
        UINT type = GetDriveTypeA(work);
        return type == DRIVE_UNKNOWN || type == DRIVE_NO_ROOT_DIR ? FILE_SIZE_MISSING : FILE_SIZE_DIRECTORY;
    }

    if (work[length - 1] == '\\') {
        work[length - 1] = 0;
    }
    WIN32_FIND_DATAA found;
    memset(&found, 0, sizeof found);
    HANDLE search = FindFirstFileA(work, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return FILE_SIZE_MISSING;
    }
    int32_t result;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        result = FILE_SIZE_DIRECTORY;
    } else if (found.nFileSizeHigh != 0 || found.nFileSizeLow > static_cast<DWORD>(FILE_SIZE_LARGEST)) {
        result = FILE_SIZE_LARGEST;
    } else {
        result = static_cast<int32_t>(found.nFileSizeLow);
    }
    FindClose(search);
    return result;
}

int32_t make_directory(const char* path) {
    return CreateDirectoryA(path, nullptr);
}
