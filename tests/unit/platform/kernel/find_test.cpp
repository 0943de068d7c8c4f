// File search, attributes, folders, drives, and process identity.
#include <sys/wait.h>

#include <string>
#include <vector>

#include "platform/posix/kernel/process.h"
#include "tests/unit/platform/kernel/test_folder.h"

namespace {

using KernelFind = KernelFolder;

std::vector<std::string> search(const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE handle = FindFirstFileA(pattern, &found);
    if (handle == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileA(handle, &found));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(handle));
    return names;
}

using Names = std::vector<std::string>;

TEST_F(KernelFind, MatchesComeInCaseInsensitiveOrderWithDotsFirst) {
    ASSERT_EQ(mkdir("folder", 0755), 0);
    for (const char* name : {"folder/b.txt", "folder/A.txt", "folder/c.TXT", "folder/_x", "folder/ab", "folder/B2"}) {
        put_file(name, "");
    }
    EXPECT_EQ(search("folder\\*"), (Names{".", "..", "A.txt", "ab", "b.txt", "B2", "c.TXT", "_x"}));
    EXPECT_EQ(search("FOLDER/*.txt"), (Names{"A.txt", "b.txt", "c.TXT"}));
    EXPECT_EQ(search("folder\\*.*"), search("folder\\*"));
    EXPECT_EQ(search("folder\\?.txt"), (Names{"A.txt", "b.txt", "c.TXT"}));
    EXPECT_EQ(search("folder\\??"), (Names{"..", "ab", "B2", "_x"}));
    EXPECT_EQ(search("folder\\b*"), (Names{"b.txt", "B2"}));
    EXPECT_EQ(search("folder\\*b*"), (Names{"ab", "b.txt", "B2"}));

    SetLastError(0);
    EXPECT_EQ(search("folder\\*.bmp"), Names{});
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    WIN32_FIND_DATAA found;
    EXPECT_EQ(FindFirstFileA("folder\\", &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileA("missing\\*", &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

// The characters between the upper- and lower-case letters sort after the
// letters, as names are compared folded to upper case.
TEST_F(KernelFind, PunctuationSortsAfterTheLetters) {
    ASSERT_EQ(mkdir("folder", 0755), 0);
    for (const char* name : {"folder/x[1", "folder/xZ", "folder/x^", "folder/x]", "folder/xa", "folder/x_"}) {
        put_file(name, "");
    }
    EXPECT_EQ(search("folder\\x*"), (Names{"xa", "xZ", "x[1", "x]", "x^", "x_"}));
}

TEST_F(KernelFind, RecordsDescribeTheEntryFound) {
    ASSERT_EQ(mkdir("folder", 0755), 0);
    put_file("folder/Data.bin", std::string(1234, 'x'));
    put_file("folder/locked", "", 0444);

    WIN32_FIND_DATAA found;
    HANDLE handle = FindFirstFileA("FOLDER", &found);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(found.cFileName, "folder");  // the name as on disk
    EXPECT_EQ(found.dwFileAttributes, DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(FindNextFileA(handle, &found));
    EXPECT_TRUE(CloseHandle(handle));  // a search handle closes like any other
    EXPECT_FALSE(FindNextFileA(handle, &found));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(FindClose(handle));

    handle = FindFirstFileA("folder\\data.BIN", &found);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(found.cFileName, "Data.bin");
    EXPECT_EQ(found.nFileSizeLow, DWORD(1234));
    EXPECT_EQ(found.nFileSizeHigh, DWORD(0));
    EXPECT_EQ(found.dwFileAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_NE(found.ftLastWriteTime.dwHighDateTime, DWORD(0));
    FindClose(handle);

    handle = FindFirstFileA("folder/LOCKED", &found);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(found.dwFileAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY));
    FindClose(handle);

    EXPECT_EQ(GetFileAttributesA("folder\\"), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesA("Folder\\DATA.bin"), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetFileAttributesA("folder\\none"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA("none\\none"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA("Z:\\"), DWORD(FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(KernelFind, CreateDirectoryMakesOneLevelOverNoExistingName) {
    EXPECT_TRUE(CreateDirectoryA("Data", nullptr));
    EXPECT_EQ(GetFileAttributesA("data"), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(search("*"), (Names{".", "..", "Data"}));  // keeps the case it was given

    SetLastError(0);
    EXPECT_FALSE(CreateDirectoryA("DATA", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    put_file("file", "x");
    EXPECT_FALSE(CreateDirectoryA("File", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(contents("file"), "x");
    EXPECT_FALSE(CreateDirectoryA("Missing\\Child", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(CreateDirectoryA("file\\Child", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(CreateDirectoryA("", nullptr));
    EXPECT_FALSE(CreateDirectoryA(nullptr, nullptr));
    EXPECT_TRUE(CreateDirectoryA("data\\Global\\", nullptr));
    EXPECT_EQ(search("Data\\*"), (Names{".", "..", "Global"}));
}

TEST(KernelDrives, OnlyZIsADrive) {
    EXPECT_EQ(GetDriveTypeA("Z:\\"), UINT(DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeA("z:/"), UINT(DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeA("Z:"), UINT(DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeA(nullptr), UINT(DRIVE_FIXED));
    EXPECT_EQ(GetDriveTypeA("\\"), UINT(DRIVE_FIXED));
    for (const char* name : {"C:\\", "c:", "A:", "Q:\\", "Z:\\tmp", "1:\\", "::"}) {
        EXPECT_EQ(GetDriveTypeA(name), UINT(DRIVE_NO_ROOT_DIR)) << name;
    }
}

TEST(KernelProcess, IdentityAndModule) {
    HMODULE instance = GetModuleHandleA(nullptr);
    EXPECT_NE(instance, nullptr);
    EXPECT_EQ(GetModuleHandleA(nullptr), instance);
    SetLastError(0);
    EXPECT_EQ(GetModuleHandleA("user32.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(GetCurrentProcessId(), DWORD(getpid()));
    EXPECT_EQ(GetCurrentThreadId(), DWORD(gettid()));
    EXPECT_EQ(GetCommandLineA(), GetCommandLineA());
    EXPECT_NE(strstr(GetCommandLineA(), "unit_tests"), nullptr);
}

// The arguments as /proc/self/cmdline holds them, each ended by a NUL.
template <size_t N>
std::string arguments(const char (&text)[N]) {
    return std::string(text, N - 1);
}

TEST(KernelProcess, CommandLineQuotesWhatWouldSplit) {
    EXPECT_EQ(kernel::command_line_from(arguments("sorvane\0-x\0")), "sorvane -x");
    EXPECT_EQ(kernel::command_line_from(arguments("/a b/tool\0two words\0\0")), "\"/a b/tool\" \"two words\" \"\"");
    EXPECT_EQ(kernel::command_line_from(arguments("t\0say \"hi\"\0dir\\ x\\\0")),
              "t \"say \\\"hi\\\"\" \"dir\\ x\\\\\"");
}

TEST(KernelProcess, ExitProcessFlushesAndEndsWithTheCode) {
    int pipe_ends[2];
    ASSERT_EQ(pipe(pipe_ends), 0);
    fflush(stdout);  // else the child also flushes the parent's pending output into the pipe
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(pipe_ends[1], 1);
        printf("pending");  // still in the stdio buffer: stdout is a pipe
        ExitProcess(7);
    }
    close(pipe_ends[1]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    char buffer[16] = {};
    EXPECT_EQ(read(pipe_ends[0], buffer, sizeof buffer - 1), 7);
    close(pipe_ends[0]);
    EXPECT_STREQ(buffer, "pending");
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

}  // namespace
