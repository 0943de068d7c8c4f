#include "runtime/files/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "unit/support/file_fixture.h"

namespace {

class FileSystemTest : public FileTest {};

TEST_F(FileSystemTest, SizesOfFilesAndFolders) {
    EXPECT_EQ(file_size(nullptr), -1);
    EXPECT_EQ(file_size(""), -1);
    EXPECT_EQ(file_size("missing"), -1);
    write_whole_file("empty", "");
    EXPECT_EQ(file_size("empty"), 0);
    write_whole_file("five", "12345");
    EXPECT_EQ(file_size("five"), 5);
    EXPECT_EQ(file_size("FIVE"), 5);
    ASSERT_EQ(mkdir("folder", 0777), 0);
    EXPECT_EQ(file_size("folder"), -2);
    EXPECT_EQ(file_size("folder\\"), -2);
    EXPECT_EQ(file_size((folder + "/five").c_str()), 5);
}

TEST_F(FileSystemTest, DriveNames) {
    EXPECT_EQ(file_size("Q:"), -1);
    EXPECT_EQ(file_size("Q:\\"), -1);
    EXPECT_EQ(file_size("Z:"), -2);
    EXPECT_EQ(file_size("Z:\\"), -2);
}

TEST_F(FileSystemTest, WildcardsReportTheFirstMatch) {
    write_whole_file("b.lst", "123");
    write_whole_file("a.lst", "1");
    EXPECT_EQ(file_size("*.lst"), 1);
    EXPECT_EQ(file_size("?.txt"), -1);
}

TEST_F(FileSystemTest, APatternReportsTheMatchThePlatformListsFirst) {
    write_whole_file("a_b", "123");
    write_whole_file("aB", "12");
    EXPECT_EQ(file_size("a*"), 2);
    EXPECT_EQ(file_size("A?*"), 2);
}

TEST_F(FileSystemTest, NamesTooLongForTheWorkArea) {
    std::string name(1024, 'n');
    EXPECT_EQ(file_size(name.c_str()), -1);
    std::string longer(100000, 'n');
    EXPECT_EQ(file_size(longer.c_str()), -1);
    // 1023 bytes still fit.
    write_whole_file("f", "xy");
    std::string fits;
    for (int i = 0; i < 511; ++i) {
        fits += "./";
    }
    fits += "f";
    ASSERT_EQ(fits.size(), 1023u);
    EXPECT_EQ(file_size(fits.c_str()), 2);
}

TEST_F(FileSystemTest, HugeFilesReportTheLargestSize) {
    for (off_t size : {off_t(0x7FFFFFFF), off_t(0x80000000), off_t(0x100000005)}) {
        int fd = open("huge", O_CREAT | O_WRONLY | O_TRUNC, 0666);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, size), 0);
        close(fd);
        EXPECT_EQ(file_size("huge"), 0x7FFFFFFF) << size;
    }
}

TEST_F(FileSystemTest, MakeDirectoryCreatesOneLevel) {
    EXPECT_EQ(make_directory("Data/Global"), 0);
    EXPECT_NE(make_directory("Data"), 0);
    EXPECT_EQ(make_directory("Data"), 0);
    EXPECT_EQ(make_directory("data"), 0);
    EXPECT_NE(make_directory("data/Global"), 0);
    EXPECT_EQ(file_size("Data/Global"), -2);
    write_whole_file("plain", "");
    EXPECT_EQ(make_directory("plain"), 0);
    EXPECT_EQ(file_size("plain"), 0);
}

}  // namespace
