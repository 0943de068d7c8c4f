// A fresh temporary working folder for each kernel test, removed afterwards,
// and the system call table put back whatever the test changed.
#pragma once

#include <fcntl.h>
#include <ftw.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/posix/kernel/syscalls.h"
#include "platform/win32.h"

class KernelFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(getcwd(previous_, sizeof previous_), nullptr);
        char pattern[] = "/tmp/kernel_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        ASSERT_EQ(chdir(folder_.c_str()), 0);
    }

    void TearDown() override {
        kernel::reset_syscalls();
        ASSERT_EQ(chdir(previous_), 0);
        nftw(folder_.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
    }

    // Writes a file directly through Linux, bypassing the layer under test.
    static void put_file(const char* name, const std::string& bytes, mode_t mode = 0644) {
        int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC, mode);
        ASSERT_GE(fd, 0) << name;
        ASSERT_EQ(write(fd, bytes.data(), bytes.size()), ssize_t(bytes.size()));
        close(fd);
        chmod(name, mode);
    }

    static std::string contents(const char* name) {
        std::string bytes;
        int fd = open(name, O_RDONLY);
        if (fd < 0) {
            return "<missing>";
        }
        char buffer[256];
        ssize_t count;
        while ((count = read(fd, buffer, sizeof buffer)) > 0) {
            bytes.append(buffer, size_t(count));
        }
        close(fd);
        return bytes;
    }

    std::string folder_;

  private:
    static int remove_entry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }
    char previous_[PATH_MAX];
};
