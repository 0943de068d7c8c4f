#include "app/state_file.h"

#include <errno.h>
#include <sys/stat.h>

#include <string>

#include "unit/support/app_fixture.h"

namespace {

class StateFileTest : public AppTest {
  protected:
    std::string loaded() {
        EXPECT_EQ(load_selection(), Success);
        EXPECT_EQ(file_table[1], nullptr);
        apply_default_selection();
        return std::string(reinterpret_cast<char*>(selection_array), CATEGORY_COUNT);
    }
};

const std::string all_checked(CATEGORY_COUNT, '\1');

TEST_F(StateFileTest, MissingFileIsCreatedEmptyAndChecksEverything) {
    EXPECT_EQ(loaded(), all_checked);
    EXPECT_EQ(read_whole_file("sorvane.sav"), "");
    EXPECT_EQ(selection_array[27], 0);
}

TEST_F(StateFileTest, AllZeroBytesCheckEverything) {
    write_whole_file("sorvane.sav", std::string(CATEGORY_COUNT, '\0'));
    EXPECT_EQ(loaded(), all_checked);
}

TEST_F(StateFileTest, OneCheckedCategoryIsKept) {
    std::string bytes(CATEGORY_COUNT, '\0');
    bytes[0] = 1;
    write_whole_file("sorvane.sav", bytes);
    EXPECT_EQ(loaded(), bytes);
}

TEST_F(StateFileTest, TheDefaultTestsTheSignedSum) {
    std::string bytes(CATEGORY_COUNT, '\0');
    bytes[3] = 1;
    bytes[9] = '\xff';
    write_whole_file("sorvane.sav", bytes);
    EXPECT_EQ(loaded(), all_checked);
}

TEST_F(StateFileTest, OtherBytesLoadSignExtended) {
    std::string bytes(CATEGORY_COUNT, '\0');
    bytes[2] = '\xfe';
    bytes[5] = 7;
    write_whole_file("sorvane.sav", bytes.substr(0, 10));
    EXPECT_EQ(loaded(), bytes);
    EXPECT_EQ(selection_array[2], -2);
}

TEST_F(StateFileTest, SaveOverwritesTheFirstBytesOnly) {
    std::string bytes(40, '\x55');
    write_whole_file("sorvane.sav", bytes);
    set_all_states(0);
    scripted_states[1] = 1;
    scripted_states[2] = 0x102;  // the low byte only
    scripted_states[26] = -1;
    ASSERT_EQ(save_selection(scripted_state), Success);
    EXPECT_EQ(file_table[1], nullptr);
    std::string expected(CATEGORY_COUNT, '\0');
    expected[1] = 1;
    expected[2] = 2;
    expected[26] = '\xff';
    EXPECT_EQ(read_whole_file("sorvane.sav"), expected + bytes.substr(CATEGORY_COUNT));
}

TEST_F(StateFileTest, ReadOnlyStateFileIsUnopenable) {
    write_whole_file("sorvane.sav", all_checked);
    ASSERT_EQ(chmod("sorvane.sav", 0444), 0);
    EXPECT_EQ(load_selection(), StateUnopenable);
    EXPECT_EQ(save_selection(scripted_state), StateUnopenable);
    EXPECT_EQ(read_whole_file("sorvane.sav"), all_checked);
}

int writes_allowed = 0;

TEST_F(StateFileTest, FailedByteWriteIsUnopenable) {
    writes_allowed = 5;
    kernel::sys.write = [](int fd, const void* buffer, size_t count) -> ssize_t {
        if (writes_allowed-- <= 0) {
            errno = EIO;
            return -1;
        }
        return kernel::default_syscalls().write(fd, buffer, count);
    };
    EXPECT_EQ(save_selection(scripted_state), StateUnopenable);
    kernel::reset_syscalls();
    EXPECT_EQ(file_table[1], nullptr);
    EXPECT_EQ(read_whole_file("sorvane.sav"), std::string(5, '\0'));
}

int failing_write = 0;

ssize_t fails_one_write(int fd, const void* buffer, size_t count) {
    if (failing_write-- == 0) {
        errno = EIO;
        return -1;
    }
    return kernel::default_syscalls().write(fd, buffer, count);
}

// A full disk refuses only writes that would make a file longer.
ssize_t full_disk_write(int fd, const void* buffer, size_t count) {
    struct stat st;
    off_t position = kernel::default_syscalls().lseek(fd, 0, SEEK_CUR);
    if (kernel::default_syscalls().fstat(fd, &st) != 0 || position < 0) {
        return -1;
    }
    if (position + static_cast<off_t>(count) > st.st_size) {
        errno = ENOSPC;
        return -1;
    }
    return kernel::default_syscalls().write(fd, buffer, count);
}

TEST_F(StateFileTest, AFailedByteWritePutsTheEarlierSelectionBack) {
    std::string before(40, '\0');
    for (size_t i = 0; i < before.size(); i += 3) {
        before[i] = 1;
    }
    write_whole_file("sorvane.sav", before);
    set_all_states(1);
    for (int failing : {0, 1, 9, 26}) {
        failing_write = failing;
        kernel::sys.write = fails_one_write;
        EXPECT_EQ(save_selection(scripted_state), StateUnopenable) << failing;
        kernel::reset_syscalls();
        EXPECT_EQ(file_table[1], nullptr);
        EXPECT_EQ(read_whole_file("sorvane.sav"), before) << failing;
    }
    ASSERT_EQ(save_selection(scripted_state), Success);
    EXPECT_EQ(read_whole_file("sorvane.sav"), std::string(CATEGORY_COUNT, '\1') + before.substr(CATEGORY_COUNT));
}

TEST_F(StateFileTest, AFullDiskLeavesAShortFileMeaningWhatItDid) {
    std::string before(12, '\1');
    write_whole_file("sorvane.sav", before);
    set_all_states(0);
    scripted_states[20] = 1;
    kernel::sys.write = full_disk_write;
    EXPECT_EQ(save_selection(scripted_state), StateUnopenable);
    kernel::reset_syscalls();
    EXPECT_EQ(read_whole_file("sorvane.sav"), before);
    EXPECT_EQ(loaded(), before + std::string(CATEGORY_COUNT - before.size(), '\0'));
}

}  // namespace
