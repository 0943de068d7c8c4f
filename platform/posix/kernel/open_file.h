// What a file handle holds: its descriptor, the rights it was opened with,
// what it lets others do, and its read-ahead.
#pragma once

#include <sys/types.h>

#include <memory>

#include "platform/posix/win32_kernel.h"

namespace kernel {

// Rights in the bit positions of the FILE_SHARE_* flags that admit them, so
// a sharing conflict is a plain mask test.
constexpr unsigned right_read = FILE_SHARE_READ;
constexpr unsigned right_write = FILE_SHARE_WRITE;
constexpr unsigned right_delete = FILE_SHARE_DELETE;
constexpr unsigned all_rights = right_read | right_write | right_delete;

constexpr size_t read_ahead_size = 64 * 1024;

// Bytes of the file read ahead of the handle's position. The descriptor
// stands at start + length; the handle's position is start + cursor.
struct ReadAhead {
    std::unique_ptr<char[]> bytes;  // allocated by the first fill
    int64_t start = 0;
    size_t length = 0;
    size_t cursor = 0;
    bool at_end = false;  // the last fill found the end of the file at start + length
};

struct OpenFile {
    int fd;
    bool can_read;
    bool can_write;
    unsigned rights;  // what other opens must share
    DWORD share;
    dev_t device;
    ino_t inode;
    // Nobody else, in this process or another, can change the file: reads
    // may be served ahead.
    bool sole_writer;
    ReadAhead ahead;
};

}  // namespace kernel
