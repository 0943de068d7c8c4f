#include "unit/support/syscall_faults.h"

#include <errno.h>
#include <unistd.h>

#include "platform/posix/kernel/syscalls.h"

namespace faults {

namespace {

bool armed = false;
Mode mode = Mode::FailsOnce;
size_t target = 0;
size_t next_position = 0;
bool disk_full = false;
bool write_failed = false;
std::vector<Call> seen;

const kernel::Syscalls& real() {
    return kernel::default_syscalls();
}

// Records the call and tells whether it is to fail outright.
bool strikes(const char* name, bool is_write) {
    size_t position = next_position++;
    seen.push_back({name, is_write});
    if (!armed) {
        return false;
    }
    return (mode == Mode::FailsOnce && position == target) || (mode == Mode::FailsFromThereOn && position >= target);
}

template <typename T>
T failed(T result) {
    errno = EIO;
    return result;
}

int open_call(const char* path, int flags, mode_t permissions) {
    return strikes("open", false) ? failed(-1) : real().open(path, flags, permissions);
}

// The descriptor is gone even when close reports an error.
int close_call(int fd) {
    bool strike = strikes("close", false);
    int result = real().close(fd);
    return strike ? failed(-1) : result;
}

ssize_t read_call(int fd, void* buffer, size_t count) {
    return strikes("read", false) ? failed<ssize_t>(-1) : real().read(fd, buffer, count);
}

bool would_grow(int fd, size_t count) {
    struct stat st;
    off_t position = real().lseek(fd, 0, SEEK_CUR);
    return real().fstat(fd, &st) != 0 || position < 0 || position + static_cast<off_t>(count) > st.st_size;
}

ssize_t write_call(int fd, const void* buffer, size_t count) {
    size_t position = next_position;
    if (strikes("write", true)) {
        write_failed = true;
        return failed<ssize_t>(-1);
    }
    if (armed && position == target && mode == Mode::MovesNothing) {
        write_failed = true;
        return 0;
    }
    if (armed && mode == Mode::HalfThenFullDisk && position >= target) {
        if (position == target) {
            disk_full = true;
            if (count / 2 > 0) {
                write_failed = true;
                return real().write(fd, buffer, count / 2);
            }
        }
        if (disk_full && would_grow(fd, count)) {
            write_failed = true;
            errno = ENOSPC;
            return -1;
        }
    }
    return real().write(fd, buffer, count);
}

off_t lseek_call(int fd, off_t offset, int whence) {
    return strikes("lseek", false) ? failed<off_t>(-1) : real().lseek(fd, offset, whence);
}

int ftruncate_call(int fd, off_t length) {
    return strikes("ftruncate", false) ? failed(-1) : real().ftruncate(fd, length);
}

int fstat_call(int fd, struct stat* st) {
    return strikes("fstat", false) ? failed(-1) : real().fstat(fd, st);
}

int fstatfs_call(int fd, struct statfs* fs) {
    return strikes("fstatfs", false) ? failed(-1) : real().fstatfs(fd, fs);
}

int fcntl_call(int fd, int command, struct flock* lock) {
    return strikes("fcntl", false) ? failed(-1) : real().fcntl(fd, command, lock);
}

int flock_call(int fd, int operation) {
    return strikes("flock", false) ? failed(-1) : real().flock(fd, operation);
}

int stat_call(const char* path, struct stat* st) {
    return strikes("stat", false) ? failed(-1) : real().stat(path, st);
}

int lstat_call(const char* path, struct stat* st) {
    return strikes("lstat", false) ? failed(-1) : real().lstat(path, st);
}

int mkdir_call(const char* path, mode_t permissions) {
    return strikes("mkdir", false) ? failed(-1) : real().mkdir(path, permissions);
}

DIR* opendir_call(const char* path) {
    return strikes("opendir", false) ? failed<DIR*>(nullptr) : real().opendir(path);
}

struct dirent* readdir_call(DIR* dir) {
    return strikes("readdir", false) ? failed<struct dirent*>(nullptr) : real().readdir(dir);
}

int closedir_call(DIR* dir) {
    bool strike = strikes("closedir", false);
    int result = real().closedir(dir);
    return strike ? failed(-1) : result;
}

char* getcwd_call(char* buffer, size_t size) {
    return strikes("getcwd", false) ? failed<char*>(nullptr) : real().getcwd(buffer, size);
}

void install() {
    next_position = 0;
    disk_full = false;
    write_failed = false;
    seen.clear();
    kernel::sys.open = open_call;
    kernel::sys.close = close_call;
    kernel::sys.read = read_call;
    kernel::sys.write = write_call;
    kernel::sys.lseek = lseek_call;
    kernel::sys.ftruncate = ftruncate_call;
    kernel::sys.fstat = fstat_call;
    kernel::sys.fstatfs = fstatfs_call;
    kernel::sys.fcntl = fcntl_call;
    kernel::sys.flock = flock_call;
    kernel::sys.stat = stat_call;
    kernel::sys.lstat = lstat_call;
    kernel::sys.mkdir = mkdir_call;
    kernel::sys.opendir = opendir_call;
    kernel::sys.readdir = readdir_call;
    kernel::sys.closedir = closedir_call;
    kernel::sys.getcwd = getcwd_call;
}

}  // namespace

const char* mode_name(Mode m) {
    switch (m) {
        case Mode::FailsOnce:
            return "fails once";
        case Mode::FailsFromThereOn:
            return "fails from there on";
        case Mode::HalfThenFullDisk:
            return "half a write, then a full disk";
        case Mode::MovesNothing:
            return "a write that moves nothing";
    }
    return "?";
}

bool applies_to_every_call(Mode m) {
    return m == Mode::FailsOnce || m == Mode::FailsFromThereOn;
}

void record() {
    armed = false;
    install();
}

void arm(Mode m, size_t position) {
    armed = true;
    mode = m;
    target = position;
    install();
}

void disarm() {
    armed = false;
    kernel::reset_syscalls();
}

const std::vector<Call>& calls() {
    return seen;
}

bool failed_a_write() {
    return write_failed;
}

}  // namespace faults
