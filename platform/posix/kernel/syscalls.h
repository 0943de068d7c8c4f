// The one table through which the kernel layer reaches Linux. Tests replace
// single entries to inject failures (a refused open, a short write, a full
// disk) and put the defaults back with reset_syscalls().
//
// Files of platform/posix/kernel:
//   syscalls.h, .cpp     this table and its default entries
//   errors.h, .cpp       the last error and the one translation of errno
//   handles.h, .cpp      the one handle table: kernel objects, windows,
//                        accelerator tables and GDI objects; CloseHandle
//                        through the close hook each kind registers
//   handle_lookup.h      the slots' layout and the lookup without a lock
//   heap.cpp             private heaps
//   heap_blocks.h, .cpp  a heap's record of its blocks
//   files.cpp            CreateFileA, reads, writes, the file pointer
//   open_file.h          what a file handle holds
//   sharing.h, .cpp      share modes, within the process and between processes
//   read_ahead.h, .cpp   ReadFile served from a per-handle buffer
//   find.cpp             FindFirstFileA, FindNextFileA, FindClose
//   paths.h, .cpp        Win32 names to Linux paths, drive letters
//   attributes.h, .cpp   file attributes and times, GetFileAttributesA
//   directories.cpp      CreateDirectoryA
//   process.h, .cpp      process identity, command line, module handle
//   crt.cpp              _stricmp
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <stddef.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/vfs.h>
#include <time.h>

namespace kernel {

using SignalHandler = void (*)(int);

struct Syscalls {
    int (*open)(const char* path, int flags, mode_t mode);
    int (*close)(int fd);
    ssize_t (*read)(int fd, void* buffer, size_t count);
    ssize_t (*write)(int fd, const void* buffer, size_t count);
    off_t (*lseek)(int fd, off_t offset, int whence);
    int (*ftruncate)(int fd, off_t length);
    int (*fstat)(int fd, struct stat* st);
    int (*fstatfs)(int fd, struct statfs* fs);
    int (*fcntl)(int fd, int command, struct flock* lock);  // the lock commands only
    int (*flock)(int fd, int operation);
    int (*nanosleep)(const struct timespec* wait, struct timespec* left);
    int (*stat)(const char* path, struct stat* st);
    int (*lstat)(const char* path, struct stat* st);
    int (*mkdir)(const char* path, mode_t mode);
    DIR* (*opendir)(const char* path);
    struct dirent* (*readdir)(DIR* dir);
    int (*closedir)(DIR* dir);
    char* (*getcwd)(char* buffer, size_t size);
    void* (*malloc)(size_t size);
    void* (*calloc)(size_t count, size_t size);  // zeroed blocks: fresh pages stay untouched
    void* (*realloc)(void* block, size_t size);
    void (*free)(void* block);
    pid_t (*getpid)();
    pid_t (*gettid)();
    SignalHandler (*signal)(int number, SignalHandler handler);
    void (*exit)(int status);
};

// The live table; every call of the layer goes through it.
extern Syscalls sys;

// The table as built, for restoring entries one by one.
const Syscalls& default_syscalls();
void reset_syscalls();

}  // namespace kernel
