// The position and the reads of a file handle. A handle that is the file's
// only possible writer (see OpenFile::sole_writer) is read through a buffer
// refilled with one read() of up to 64 KB; what it returns is what reading
// the descriptor directly would return, since nothing else can change the
// file. Every other handle reads the descriptor directly.
#pragma once

#include "platform/posix/kernel/open_file.h"

namespace kernel {

// Serves a one-byte read that the buffer holds, the byte-at-a-time
// reader's every call but one in 64 KB, without a call or a system call;
// false, with nothing done, otherwise. A handle that is not read ahead
// never holds bytes, so it always gets false.
inline bool read_buffered_byte(OpenFile* file, char* into) {
    ReadAhead& ahead = file->ahead;
    if (ahead.cursor >= ahead.length) {
        return false;
    }
    *into = ahead.bytes[ahead.cursor++];
    return true;
}

// Reads up to count bytes at the handle's position, fewer only at the end
// of the file; false with errno after *done bytes on a read error.
bool read_at_position(OpenFile* file, char* into, size_t count, size_t* done);

// The handle's position; -1 with errno.
int64_t position_of(OpenFile* file);

// Moves the handle's position; false with errno.
bool move_position(OpenFile* file, int64_t target);

// Puts the descriptor at the handle's position and forgets what was read
// ahead, before the file is written or truncated; false with errno.
bool settle_position(OpenFile* file);

// After a write of count bytes at the settled position.
void note_written(OpenFile* file, size_t count);

}  // namespace kernel
