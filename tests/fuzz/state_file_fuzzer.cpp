// State files through load_selection and save_selection, checked against the
// model. Byte 0 picks how the disk behaves during the save, the next 27 are
// the checkbox states (signed), the rest is the state file as it was.
#include <errno.h>
#include <stddef.h>
#include <stdint.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "app/state_file.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/state_file_model.h"
#include "platform/posix/kernel/syscalls.h"
#include "runtime/files/channels.h"

namespace {

const int state_count = 27;

int32_t states[state_count];
fuzz::Disk disk;
int failing_write;
int writes_seen;

int32_t state_of(int32_t index) {
    fuzz::require(index >= 0 && index < state_count, "a category lookup out of range");
    return states[index];
}

ssize_t disk_write(int fd, const void* buffer, size_t count) {
    const kernel::Syscalls& real = kernel::default_syscalls();
    int index = writes_seen++;
    if (index == failing_write && disk == fuzz::Disk::FailsOnce) {
        errno = EIO;
        return -1;
    }
    if (index == failing_write && disk == fuzz::Disk::MovesNothing) {
        return 0;
    }
    if (disk == fuzz::Disk::Full) {
        struct stat st;
        off_t position = real.lseek(fd, 0, SEEK_CUR);
        if (real.fstat(fd, &st) != 0 || position < 0 || position + static_cast<off_t>(count) > st.st_size) {
            errno = ENOSPC;
            return -1;
        }
    }
    return real.write(fd, buffer, count);
}

std::string as_text(const std::vector<int8_t>& values) {
    return std::string(values.begin(), values.end());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::start_in_private_folder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 + state_count) {
        return 0;
    }
    disk = static_cast<fuzz::Disk>(data[0] & 3);
    failing_write = (data[0] >> 2) % 32;
    for (int i = 0; i < state_count; ++i) {
        states[i] = static_cast<int8_t>(data[1 + i]);
    }
    std::string before(reinterpret_cast<const char*>(data) + 1 + state_count, size - 1 - state_count);
    fuzz::put_file(STATE_FILE_NAME, before);

    declare_selection_array();
    fuzz::require(load_selection() == Success, "load_selection");
    apply_default_selection();
    std::string loaded(reinterpret_cast<const char*>(selection_array), state_count);
    std::string expected = as_text(fuzz::expected_selection(before));
    if (loaded != expected) {
        fuzz::mismatch("loaded selection", expected, loaded);
    }
    fuzz::require(fuzz::file_bytes(STATE_FILE_NAME) == before, "loading leaves the file alone");

    writes_seen = 0;
    kernel::sys.write = disk_write;
    Failure saved = save_selection(state_of);
    kernel::reset_syscalls();
    fuzz::require(file_table[STATE_FILE_CHANNEL] == 0, "channel 1 closed");

    fuzz::SaveOutcome model = fuzz::expected_save(before, states, disk, failing_write);
    fuzz::require((saved == Success) == model.saved, model.saved ? "the save succeeds" : "the save fails");
    fuzz::require(saved == Success || saved == StateUnopenable, "a failed save is StateUnopenable");
    std::string after = fuzz::file_bytes(STATE_FILE_NAME);
    if (after != model.file) {
        fuzz::mismatch("state file after the save", model.file, after);
    }
    return 0;
}
