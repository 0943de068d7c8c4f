// A fresh memory runtime, file table and temporary working folder per test.
#pragma once

#include <ftw.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "platform/posix/kernel/syscalls.h"
#include "runtime/files/channels.h"
#include "unit/support/memory_fixture.h"

inline void write_whole_file(const std::string& name, const std::string& bytes) {
    FILE* file = fopen(name.c_str(), "wb");
    ASSERT_NE(file, nullptr) << name;
    ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    fclose(file);
}

inline std::string read_whole_file(const std::string& name) {
    std::string bytes;
    FILE* file = fopen(name.c_str(), "rb");
    if (!file) {
        return "<missing>";
    }
    char chunk[4096];
    size_t count;
    while ((count = fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.append(chunk, count);
    }
    fclose(file);
    return bytes;
}

class FileTest : public MemoryTest {
  protected:
    std::string folder;
    std::string previous_folder;

    void SetUp() override {
        MemoryTest::SetUp();
        init_files();
        char buffer[4096];
        ASSERT_NE(getcwd(buffer, sizeof buffer), nullptr);
        previous_folder = buffer;
        char pattern[] = "/tmp/sorvane-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        ASSERT_EQ(chdir(folder.c_str()), 0);
    }

    void TearDown() override {
        kernel::reset_syscalls();
        close_all_files();
        MemoryTest::TearDown();
        EXPECT_EQ(chdir(previous_folder.c_str()), 0);
        nftw(
            folder.c_str(), [](const char* path, const struct stat*, int, struct FTW*) { return remove(path); }, 16,
            FTW_DEPTH | FTW_PHYS);
    }
};
