// The rules: byte i is category i's state as a signed byte, 0 past the end;
// a signed sum of 0 checks everything. A save overwrites bytes 0 to 26 in
// place with the states' low bytes, one byte at a time, and never touches a
// later byte; when byte k cannot be written the save fails and the k bytes
// already written get their earlier values back (0 where the file had none),
// so the file reads as before.
#include "fuzz/state_file_model.h"

namespace fuzz {

namespace {

const size_t state_bytes = 27;

}  // namespace

std::vector<int8_t> expected_selection(const std::string& file) {
    std::vector<int8_t> selection(state_bytes, 0);
    int sum = 0;
    for (size_t i = 0; i < state_bytes; ++i) {
        selection[i] = i < file.size() ? static_cast<int8_t>(file[i]) : 0;
        sum += selection[i];
    }
    if (sum == 0) {
        selection.assign(state_bytes, 1);
    }
    return selection;
}

SaveOutcome expected_save(const std::string& file, const int32_t* states, Disk disk, int failing_write) {
    size_t failing = state_bytes;
    if ((disk == Disk::FailsOnce || disk == Disk::MovesNothing) && failing_write >= 0) {
        failing = static_cast<size_t>(failing_write);
    } else if (disk == Disk::Full) {
        failing = file.size();
    }
    if (failing >= state_bytes) {
        std::string saved = file.size() > state_bytes ? file : std::string(state_bytes, '\0');
        for (size_t i = 0; i < state_bytes; ++i) {
            saved[i] = static_cast<char>(states[i] & 0xFF);
        }
        if (file.size() > state_bytes) {
            saved.replace(state_bytes, std::string::npos, file.substr(state_bytes));
        }
        return {true, saved};
    }
    std::string kept = file;
    if (kept.size() < failing) {
        kept.resize(failing, '\0');
    }
    return {false, kept};
}

}  // namespace fuzz
