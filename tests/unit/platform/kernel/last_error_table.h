// What every call of the Win32 subset does to the last error, on success
// and on each failure it can report. Built into the unit tests against our
// layer and, by scripts/last-error-probe, with MinGW-w64 into a program that
// runs the same rows under Wine: so each code below was seen on the
// platform, except where a row says why Wine is not the contract.
#pragma once

#include <stddef.h>

#include "platform/win32.h"

namespace last_error {

// Preset before each call; a row that expects it means "left untouched".
constexpr DWORD untouched = 0x2000A5A5;
// A row's wine field when Wine agrees with the row.
constexpr DWORD as_expected = 0xFFFFFFFF;

struct Row {
    const char* call;
    const char* path;
    DWORD expected;
    // Makes the call with the last error preset; true when its result shows
    // the path the row names.
    bool (*run)();
    DWORD wine = as_expected;  // what Wine leaves instead, where the documentation wins
};

struct Outcome {
    bool path_taken;
    DWORD error;  // the last error right after the call
};

Outcome run_row(const Row& row);

// Makes the files, class and windows the rows use, in the working folder,
// which must be empty; false when any of it fails.
bool set_up();
void tear_down();

const Row* rows();
size_t row_count();

}  // namespace last_error
