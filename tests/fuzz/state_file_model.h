// An independent model of the state file: what loading yields and what the
// file holds after a save, also when a byte write fails.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace fuzz {

// The 27 selection values loaded from a file, the all-zero default applied.
std::vector<int8_t> expected_selection(const std::string& file);

// How the disk treats the save's writes.
enum class Disk {
    Sound,
    FailsOnce,     // the write with the given index fails, with an error
    MovesNothing,  // the write with the given index reports no byte written
    Full,          // every write that would make the file longer fails
};

struct SaveOutcome {
    bool saved;
    std::string file;
};

// The result of saving the states over a file, with the disk as given.
SaveOutcome expected_save(const std::string& file, const int32_t* states, Disk disk, int failing_write);

}  // namespace fuzz
