// File handles: CreateFileA with its access, sharing and disposition rules,
// reads, writes, the file pointer, and closing.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>

#include <mutex>

#include "platform/posix/kernel/errors.h"
#include "platform/posix/kernel/handle_lookup.h"
#include "platform/posix/kernel/handles.h"
#include "platform/posix/kernel/open_file.h"
#include "platform/posix/kernel/paths.h"
#include "platform/posix/kernel/read_ahead.h"
#include "platform/posix/kernel/sharing.h"
#include "platform/posix/kernel/syscalls.h"

namespace {

using kernel::OpenFile;
using kernel::right_delete;
using kernel::right_read;
using kernel::right_write;

// Held across the sharing check and the registration of the new handle.
std::mutex files_mutex;

unsigned rights_of(DWORD access) {
    unsigned rights = 0;
    if (access & (GENERIC_READ | GENERIC_ALL | GENERIC_EXECUTE | FILE_READ_DATA | FILE_EXECUTE)) {
        rights |= right_read;
    }
    if (access & (GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA)) {
        rights |= right_write;
    }
    if (access & (GENERIC_ALL | DELETE)) {
        rights |= right_delete;
    }
    return rights;
}

OpenFile* file_of(HANDLE handle) {
    auto* file = static_cast<OpenFile*>(kernel::peek_handle(handle, kernel::HandleKind::File));
    if (file == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return file;
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
int open_descriptor(const kernel::ResolvedPath& where, DWORD disposition, DWORD attributes, int flags, bool reads,
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
    // A descriptor that may write also reads where it can, for its share
    // locks; ReadFile still goes by the handle's own rights.
    if (fd < 0 && errno == EACCES && !reads && (flags & O_ACCMODE) == O_RDWR) {
        fd = kernel::sys.open(where.path.c_str(), (flags & ~O_ACCMODE) | O_WRONLY, 0);
    }
    if (fd < 0) {
        kernel::set_error_from_errno(errno);
    }
    return fd;
}

BOOL close_file(HANDLE handle) {
    std::lock_guard<std::mutex> lock(files_mutex);
    OpenFile* file = static_cast<OpenFile*>(kernel::remove_handle(handle, kernel::HandleKind::File));
    if (file == nullptr) {
        return FALSE;
    }
    // The descriptor is gone whatever close reports, as with CloseHandle.
    kernel::sys.close(file->fd);
    delete file;
    return TRUE;
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
    kernel::SharingRequest request = {rights, rights | (truncates ? right_write : 0u), share_mode & kernel::all_rights};
    bool between_processes = false;
    DWORD refusal = kernel::claim_sharing(fd, st, request, &between_processes);
    if (refusal != ERROR_SUCCESS) {
        kernel::sys.close(fd);
        return fail(refusal);
    }
    if (truncates && kernel::sys.ftruncate(fd, 0) != 0) {
        return fail_closing(fd, errno);
    }
    OpenFile* file = new OpenFile{
        fd, (rights & right_read) != 0, (rights & right_write) != 0, rights, request.share, st.st_dev, st.st_ino, false,
        {}};
    file->sole_writer = between_processes && S_ISREG(st.st_mode) && (request.share & right_write) == 0;
    kernel::set_close_hook(kernel::HandleKind::File, close_file);
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
        (dwCreationDisposition == TRUNCATE_EXISTING && !(rights & right_write))) {
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
    // Truncation needs a writable descriptor even when the caller only reads.
    bool linux_write = (rights & right_write) != 0 || truncates;
    int flags = O_CLOEXEC | (linux_write ? O_RDWR : O_RDONLY);
    int fd = open_descriptor(where, dwCreationDisposition, dwFlagsAndAttributes, flags, (rights & right_read) != 0,
                             &truncates);
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

namespace {

// The file a read or a write goes to, after ReadFile's and WriteFile's
// checks in the platform's order; null with the last error set.
OpenFile* file_for_transfer(HANDLE handle, const void* buffer, DWORD count, LPOVERLAPPED overlapped, bool writes) {
    OpenFile* file = file_of(handle);
    if (file == nullptr) {
        return nullptr;
    }
    if (overlapped != nullptr || (buffer == nullptr && count != 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!(writes ? file->can_write : file->can_read)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return file;
}

// ReadFile's every check in the platform's order, and the reads that refill
// the buffer or bypass it. Kept out of line so that the buffered path below
// stays a leaf that saves no registers.
[[gnu::noinline]] BOOL read_file(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                                 LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesRead != nullptr) {
        *lpNumberOfBytesRead = 0;
    }
    OpenFile* file = file_for_transfer(hFile, lpBuffer, nNumberOfBytesToRead, lpOverlapped, false);
    if (file == nullptr) {
        return FALSE;
    }
    size_t done = 0;
    BOOL ok = kernel::read_at_position(file, static_cast<char*>(lpBuffer), nNumberOfBytesToRead, &done);
    if (!ok) {
        kernel::set_error_from_errno(errno);
    }
    if (lpNumberOfBytesRead != nullptr) {
        *lpNumberOfBytesRead = static_cast<DWORD>(done);
    }
    return ok;
}

}  // namespace

// One byte that a live, readable handle's buffer holds is served here,
// with the same results the full path would give; everything else, errors
// included, goes the full path.
BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED lpOverlapped) {
    auto* file = static_cast<OpenFile*>(kernel::lookup_handle(hFile, kernel::HandleKind::File));
    if (file != nullptr && nNumberOfBytesToRead == 1 && lpOverlapped == nullptr && lpBuffer != nullptr &&
        file->can_read && kernel::read_buffered_byte(file, static_cast<char*>(lpBuffer))) {
        if (lpNumberOfBytesRead != nullptr) {
            *lpNumberOfBytesRead = 1;
        }
        return TRUE;
    }
    return read_file(hFile, lpBuffer, nNumberOfBytesToRead, lpNumberOfBytesRead, lpOverlapped);
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      LPOVERLAPPED lpOverlapped) {
    if (lpNumberOfBytesWritten != nullptr) {
        *lpNumberOfBytesWritten = 0;
    }
    OpenFile* file = file_for_transfer(hFile, lpBuffer, nNumberOfBytesToWrite, lpOverlapped, true);
    if (file == nullptr) {
        return FALSE;
    }
    if (!kernel::settle_position(file)) {
        kernel::set_error_from_errno(errno);
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
    kernel::note_written(file, done);
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
        origin = kernel::position_of(file);
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
    if (!kernel::move_position(file, target)) {
        kernel::set_error_from_errno(errno);
        return INVALID_SET_FILE_POINTER;
    }
    if (lpDistanceToMoveHigh != nullptr) {
        *lpDistanceToMoveHigh = static_cast<LONG>(static_cast<uint64_t>(target) >> 32);
    }
    // Lets a caller tell a position of 0xFFFFFFFF from a failure; any other
    // success leaves the last error alone.
    if (static_cast<DWORD>(target) == INVALID_SET_FILE_POINTER) {
        SetLastError(ERROR_SUCCESS);
    }
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
    if (static_cast<DWORD>(size) == invalid_file_size) {
        SetLastError(ERROR_SUCCESS);
    }
    return static_cast<DWORD>(size);
}
