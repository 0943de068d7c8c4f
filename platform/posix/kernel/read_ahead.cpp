// Reads and the position of file handles, with the read-ahead of handles
// that are their file's only possible writer.
#include "platform/posix/kernel/read_ahead.h"

#include <errno.h>
#include <string.h>

#include <new>

#include "platform/posix/kernel/syscalls.h"

namespace kernel {

namespace {

ssize_t read_once(int fd, char* into, size_t count) {
    for (;;) {
        ssize_t got = sys.read(fd, into, count);
        if (got >= 0 || errno != EINTR) {
            return got;
        }
    }
}

bool read_directly(int fd, char* into, size_t count, size_t* done) {
    while (*done < count) {
        ssize_t got = read_once(fd, into + *done, count - *done);
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            break;  // the end of the file is a successful short read
        }
        *done += static_cast<size_t>(got);
    }
    return true;
}

// Reads into the caller's bytes or refills the buffer, at the descriptor,
// which stands at the handle's position; 0 at the end of the file.
ssize_t read_ahead(OpenFile* file, char* into, size_t wanted) {
    ReadAhead& ahead = file->ahead;
    ahead.start += static_cast<int64_t>(ahead.length);
    ahead.length = 0;
    ahead.cursor = 0;
    if (!ahead.bytes && wanted < read_ahead_size) {
        ahead.bytes.reset(new (std::nothrow) char[read_ahead_size]);
    }
    // Big reads, and reads without a buffer, go straight to the caller.
    if (!ahead.bytes || wanted >= read_ahead_size) {
        ssize_t got = read_once(file->fd, into, wanted);
        if (got > 0) {
            ahead.start += got;
        }
        return got;
    }
    ssize_t got = read_once(file->fd, ahead.bytes.get(), read_ahead_size);
    if (got > 0) {
        ahead.length = static_cast<size_t>(got);
    }
    return got;
}

}  // namespace

bool read_at_position(OpenFile* file, char* into, size_t count, size_t* done) {
    *done = 0;
    if (!file->sole_writer) {
        return read_directly(file->fd, into, count, done);
    }
    ReadAhead& ahead = file->ahead;
    while (*done < count) {
        if (ahead.cursor < ahead.length) {
            size_t part = count - *done < ahead.length - ahead.cursor ? count - *done : ahead.length - ahead.cursor;
            memcpy(into + *done, ahead.bytes.get() + ahead.cursor, part);
            ahead.cursor += part;
            *done += part;
            continue;
        }
        // Nobody else can make the file longer, so its end stays where it was found.
        if (ahead.at_end) {
            break;
        }
        ssize_t got = read_ahead(file, into + *done, count - *done);
        if (got < 0) {
            return false;
        }
        if (got == 0) {
            ahead.at_end = true;
            break;
        }
        if (ahead.length == 0) {
            *done += static_cast<size_t>(got);
        }
    }
    return true;
}

int64_t position_of(OpenFile* file) {
    if (file->sole_writer) {
        return file->ahead.start + static_cast<int64_t>(file->ahead.cursor);
    }
    return sys.lseek(file->fd, 0, SEEK_CUR);
}

bool move_position(OpenFile* file, int64_t target) {
    ReadAhead& ahead = file->ahead;
    if (file->sole_writer && target >= ahead.start && target <= ahead.start + static_cast<int64_t>(ahead.length)) {
        ahead.cursor = static_cast<size_t>(target - ahead.start);
        return true;
    }
    if (sys.lseek(file->fd, static_cast<off_t>(target), SEEK_SET) < 0) {
        return false;
    }
    ahead.start = target;
    ahead.length = 0;
    ahead.cursor = 0;
    ahead.at_end = false;
    return true;
}

bool settle_position(OpenFile* file) {
    ReadAhead& ahead = file->ahead;
    if (!file->sole_writer) {
        return true;
    }
    if (ahead.cursor != ahead.length &&
        sys.lseek(file->fd, static_cast<off_t>(ahead.start) + static_cast<off_t>(ahead.cursor), SEEK_SET) < 0) {
        return false;
    }
    ahead.start += static_cast<int64_t>(ahead.cursor);
    ahead.length = 0;
    ahead.cursor = 0;
    ahead.at_end = false;
    return true;
}

void note_written(OpenFile* file, size_t count) {
    if (file->sole_writer) {
        file->ahead.start += static_cast<int64_t>(count);
    }
}

}  // namespace kernel
