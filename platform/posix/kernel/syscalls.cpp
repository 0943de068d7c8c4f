// Default entries of the system call table: thin wrappers where the libc
// signature is variadic or differs, the libc function itself otherwise.
#include "platform/posix/kernel/syscalls.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kernel {

namespace {

int open_default(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}
int fcntl_default(int fd, int command, struct flock* lock) {
    return ::fcntl(fd, command, lock);
}
pid_t getpid_default() {
    return ::getpid();
}
pid_t gettid_default() {
    return static_cast<pid_t>(::syscall(SYS_gettid));
}
void exit_default(int status) {
    ::_exit(status);
}

const Syscalls defaults = {
    open_default, ::close,        ::read,         ::write,     ::lseek,      ::ftruncate, ::fstat,
    ::fstatfs,    fcntl_default,  ::flock,        ::nanosleep, ::stat,       ::lstat,     ::mkdir,
    ::opendir,    ::readdir,      ::closedir,     ::getcwd,    ::malloc,     ::calloc,    ::realloc,
    ::free,       getpid_default, gettid_default, ::signal,    exit_default,
};

}  // namespace

Syscalls sys = defaults;

const Syscalls& default_syscalls() {
    return defaults;
}

void reset_syscalls() {
    sys = defaults;
}

}  // namespace kernel
