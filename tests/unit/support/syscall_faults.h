// Faults injected through the kernel layer's system call table: each file
// system call is counted, and the one at a chosen position, or every one
// from there on, fails as a disk would.
//
// Memory calls (malloc, realloc, free) and process calls are passed through
// and not counted: the program does not test allocation failures anywhere.
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

namespace faults {

enum class Mode {
    FailsOnce,         // the call fails with EIO; later calls work
    FailsFromThereOn,  // it and every later call fail with EIO
    HalfThenFullDisk,  // a write moves half its bytes, then the disk is full:
                       // writes that would make a file longer fail with ENOSPC
    MovesNothing,      // a write returns 0: no error, no byte written
};

const char* mode_name(Mode mode);

// Whether the mode means anything for a call other than a write.
bool applies_to_every_call(Mode mode);

struct Call {
    std::string name;
    bool is_write;
};

// Counts and records every call, failing none.
void record();

// Counts and records every call; the one at position fails as the mode says.
void arm(Mode mode, size_t position);

// Puts the real calls back.
void disarm();

// The calls since record() or arm().
const std::vector<Call>& calls();

// True once an injected fault hit a write (an error, a short write or a
// write that moved nothing).
bool failed_a_write();

}  // namespace faults
