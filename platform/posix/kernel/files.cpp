// File handles: CreateFileA with its access, sharing and disposition rules,
// unbuffered reads and writes, the file pointer, and closing.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>

#include <mutex>

#include "platform/posix/kernel/errors.h"
#include "platform/posix/kernel/handles.h"
#include "platform/posix/kernel/paths.h"
#include "platform/posix/kernel/syscalls.h"

namespace {

// Rights in the bit positions of the FILE_SHARE_* flags that admit them, so
// a sharing conflict is a plain mask test.
const unsigned share_read = FILE_SHARE_READ;
const unsigned share_write = FILE_SHARE_WRITE;
const unsigned share_delete = FILE_SHARE_DELETE;

// Specific rights that callers may ask for instead of the generic ones.
const DWORD file_read_data = FILE_READ_DATA;
const DWORD file_write_data = FILE_WRITE_DATA;
const DWORD file_append_data = FILE_APPEND_DATA;
const DWORD file_execute = FILE_EXECUTE;
const DWORD delete_right = DELETE;

struct OpenFile {
    int fd;
    bool can_read;
    bool can_write;
    unsigned rights;  // what other opens must share
    DWORD share;
    dev_t device;
    ino_t inode;
};

// Held across the sharing check and the registration of the new handle.
std::mutex files_mutex;

unsigned rights_of(DWORD access) {
    unsigned rights = 0;
    if (access & (GENERIC_READ | GENERIC_ALL | GENERIC_EXECUTE | file_read_data | file_execute)) {
        rights |= share_read;
    }
    if (access & (GENERIC_WRITE | GENERIC_ALL | file_write_data | file_append_data)) {
        rights |= share_write;
    }
    if (access & (GENERIC_ALL | delete_right)) {
        rights |= share_delete;
    }
    return rights;
}

struct SharingQuery {
    dev_t device;
    ino_t inode;
    unsigned rights;
    DWORD share;
    bool conflict;
};

bool check_sharing(void* object, void* context) {
    const OpenFile* open = static_cast<const OpenFile*>(object);
    SharingQuery* query = static_cast<SharingQuery*>(context);
    // Opens without data access neither restrict nor are restricted.
    if (open->rights == 0 || query->rights == 0 || open->device != query->device || open->inode != query->inode) {
        return true;
    }
    // Both ways: the newcomer must be admitted by the holder's share mode,
    // and must itself admit what the holder already does.
    if ((query->rights & ~open->share) != 0 || (open->rights & ~query->share) != 0) {
        query->conflict = true;
        return false;
    }
    return true;
}

OpenFile* file_of(HANDLE handle) {
    return static_cast<OpenFile*>(kernel::find_handle(handle, kernel::HandleKind::File));
}

// Windows has no signal for exceeding the file size limit; the write comes
// back short instead, which is what WriteFile reports.
void ignore_file_size_signal() {
    static std::once_flag once;
    std::call_once(once, [] { kernel::sys.signal(SIGXFSZ, SIG_IGN); });
}

HANDLE fail(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

HANDLE fail_closing(int fd, int error) {
    kernel::sys.close(fd);
    kernel::set_error_from_errno(error);
    return INVALID_HANDLE_VALUE;
}

// Why an existing file cannot be opened so; ERROR_SUCCESS when it can.
DWORD refusal_of_existing(const kernel::ResolvedPath& where, DWORD disposition, bool writes) {
    if (disposition == CREATE_NEW) {
        return ERROR_FILE_EXISTS;
    }
    if (S_ISDIR(where.st.st_mode)) {
        return ERROR_ACCESS_DENIED;
    }
    if (where.trailing_separator) {
        return ERROR_INVALID_NAME;
    }
    // No write bit for anyone is the read-only attribute, which binds root
    // as well.
    if (writes && (where.st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        return ERROR_ACCESS_DENIED;
    }
    return ERROR_SUCCESS;
}

// Opens or creates the file as the disposition says. Gives the descriptor,
// or -1 with the last error set; *truncates is cleared for a new file.
int open_descriptor(const kernel::ResolvedPath& where, DWORD disposition, DWORD attributes, int flags,
                    bool* truncates) {
    if (!where.exists) {
        if (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING) {
            fail(ERROR_FILE_NOT_FOUND);
            return -1;
        }
        if (where.trailing_separator || where.last.empty()) {
            fail(ERROR_INVALID_NAME);
            return -1;
        }
        *truncates = false;
        mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
        int fd = kernel::sys.open(where.path.c_str(), flags | O_CREAT | O_EXCL, mode);
        if (fd < 0) {
            kernel::set_error_from_errno(errno);
        }
        return fd;
    }
    DWORD error = refusal_of_existing(where, disposition, (flags & O_ACCMODE) != O_RDONLY);
    if (error != ERROR_SUCCESS) {
        fail(error);
        return -1;
    }
    int fd = kernel::sys.open(where.path.c_str(), flags, 0);
    if (fd < 0) {
        kernel::set_error_from_errno(errno);
    }
    return fd;
}

// Admits the open descriptor past the other handles' share modes, truncates
// it if asked, and gives it a handle; closes it on any failure.
HANDLE register_file(int fd, unsigned rights, DWORD share_mode, bool truncates) {
    struct stat st;
    if (kernel::sys.fstat(fd, &st) != 0) {
        return fail_closing(fd, errno);
    }
    if (S_ISDIR(st.st_mode)) {
        return fail_closing(fd, EISDIR);
    }
    std::lock_guard<std::mutex> lock(files_mutex);
    // Truncating counts as writing for the holders' share modes.
    SharingQuery query = {st.st_dev, st.st_ino, rights | (truncates ? share_write : 0u),
                          share_mode & (share_read | share_write | share_delete), false};
    kernel::for_each_handle(kernel::HandleKind::File, check_sharing, &query);
    if (query.conflict) {
        kernel::sys.close(fd);
        return fail(ERROR_SHARING_VIOLATION);
    }
    if (truncates && kernel::sys.ftruncate(fd, 0) != 0) {
        return fail_closing(fd, errno);
    }
    OpenFile* file = new OpenFile{
        fd, (rights & share_read) != 0, (rights & share_write) != 0, rights, query.share, st.st_dev, st.st_ino};
    HANDLE handle = kernel::insert_handle(kernel::HandleKind::File, file);
    if (handle == nullptr) {
        kernel::sys.close(fd);
        delete file;
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

}  // namespace

HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
    (void)lpSecurityAttributes;
    (void)hTemplateFile;
    unsigned rights = rights_of(dwDesiredAccess);
    bool truncates = dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == TRUNCATE_EXISTING;
    if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING ||
        (dwCreationDisposition == TRUNCATE_EXISTING && !(rights & share_write))) {
        return fail(ERROR_INVALID_PARAMETER);
    }
    kernel::ResolvedPath where;
    if (!kernel::resolve_path(lpFileName, &where)) {
        return INVALID_HANDLE_VALUE;
    }
    if (!where.parent_exists) {
        return fail(ERROR_PATH_NOT_FOUND);
    }
    ignore_file_size_signal();
    bool can_read = (rights & share_read) != 0;
    // Truncation needs a writable descriptor even when the caller only reads.
    bool linux_write = (rights & share_write) != 0 || truncates;
    int flags = O_CLOEXEC | (linux_write ? (can_read ? O_RDWR : O_WRONLY) : O_RDONLY);
    int fd = open_descriptor(where, dwCreationDisposition, dwFlagsAndAttributes, flags, &truncates);
    if (fd < 0) {
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = register_file(fd, rights, dwShareMode, truncates);
    if (handle == INVALID_HANDLE_VALUE) {
        return handle;
    }
    bool reports_existing =
        where.exists && (dwCreationDisposition == CREATE_ALWAYS || dwCreationDisposition == OPEN_ALWAYS);
    SetLastError(reports_existing ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesRead != nullptr) {
        *lpNumberOfBytesRead = 0;
    }
    OpenFile* file = file_of(hFile);
    if (file == nullptr) {
        return FALSE;
    }
    if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToRead != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!file->can_read) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    char* bytes = static_cast<char*>(lpBuffer);
    DWORD done = 0;
    while (done < nNumberOfBytesToRead) {
        ssize_t count = kernel::sys.read(file->fd, bytes + done, nNumberOfBytesToRead - done);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            kernel::set_error_from_errno(errno);
            if (lpNumberOfBytesRead != nullptr) {
                *lpNumberOfBytesRead = done;
            }
            return FALSE;
        }
        if (count == 0) {
            break;  // the end of the file is a successful short read
        }
        done += static_cast<DWORD>(count);
    }
    if (lpNumberOfBytesRead != nullptr) {
        *lpNumberOfBytesRead = done;
    }
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesWritten != nullptr) {
        *lpNumberOfBytesWritten = 0;
    }
    OpenFile* file = file_of(hFile);
    if (file == nullptr) {
        return FALSE;
    }
    if (lpOverlapped != nullptr || (lpBuffer == nullptr && nNumberOfBytesToWrite != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!file->can_write) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const char* bytes = static_cast<const char*>(lpBuffer);
    DWORD done = 0;
    BOOL ok = TRUE;
    while (done < nNumberOfBytesToWrite) {
        ssize_t count = kernel::sys.write(file->fd, bytes + done, nNumberOfBytesToWrite - done);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            // A write that moves nothing without an error means no room.
            kernel::set_error_from_errno(count < 0 ? errno : ENOSPC);
            ok = FALSE;
            break;
        }
        done += static_cast<DWORD>(count);
    }
    if (lpNumberOfBytesWritten != nullptr) {
        *lpNumberOfBytesWritten = done;
    }
    return ok;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod) {
    OpenFile* file = file_of(hFile);
    if (file == nullptr) {
        return INVALID_SET_FILE_POINTER;
    }
    int64_t distance = lDistanceToMove;
    if (lpDistanceToMoveHigh != nullptr) {
        distance = static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
                                        static_cast<uint32_t>(lDistanceToMove));
    }
    int64_t origin;
    if (dwMoveMethod == FILE_BEGIN) {
        origin = 0;
    } else if (dwMoveMethod == FILE_CURRENT) {
        origin = kernel::sys.lseek(file->fd, 0, SEEK_CUR);
    } else if (dwMoveMethod == FILE_END) {
        struct stat st;
        origin = kernel::sys.fstat(file->fd, &st) == 0 ? st.st_size : -1;
    } else {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (origin < 0) {
        kernel::set_error_from_errno(errno);
        return INVALID_SET_FILE_POINTER;
    }
    if ((distance > 0 && origin > INT64_MAX - distance)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t target = origin + distance;
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high part the caller could not see a position past 4 GiB.
    if (lpDistanceToMoveHigh == nullptr && target > 0xFFFFFFFELL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (kernel::sys.lseek(file->fd, static_cast<off_t>(target), SEEK_SET) < 0) {
        kernel::set_error_from_errno(errno);
        return INVALID_SET_FILE_POINTER;
    }
    if (lpDistanceToMoveHigh != nullptr) {
        *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
    }
    // Lets a caller tell a position of 0xFFFFFFFF from a failure.
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(target);
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    const DWORD invalid_file_size = 0xFFFFFFFF;
    OpenFile* file = file_of(hFile);
    if (file == nullptr) {
        return invalid_file_size;
    }
    struct stat st;
    if (kernel::sys.fstat(file->fd, &st) != 0) {
        kernel::set_error_from_errno(errno);
        return invalid_file_size;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (lpFileSizeHigh != nullptr) {
        *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

namespace kernel {

BOOL close_file_handle(HANDLE handle) {
    std::lock_guard<std::mutex> lock(files_mutex);
    OpenFile* file = static_cast<OpenFile*>(remove_handle(handle, HandleKind::File));
    if (file == nullptr) {
        return FALSE;
    }
    // The descriptor is gone whatever close reports, as with CloseHandle.
    sys.close(file->fd);
    delete file;
    return TRUE;
}

}  // namespace kernel
