// CreateFileA and the handle calls: dispositions, sharing, read-only files,
// access checks, injected failures, the file pointer and stale handles.
#include <errno.h>
#include <sys/resource.h>

#include "tests/unit/platform/kernel/test_folder.h"

namespace {

using KernelFiles = KernelFolder;

HANDLE open_with(const char* name, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileA(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string read_all(HANDLE file) {
    std::string bytes;
    char buffer[64];
    DWORD count = 0;
    while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0) {
        bytes.append(buffer, count);
    }
    return bytes;
}

TEST_F(KernelFiles, EveryDispositionOverAMissingAndAnExistingFile) {
    const DWORD rw = GENERIC_READ | GENERIC_WRITE;
    struct Case {
        DWORD disposition;
        bool opens_missing;
        DWORD missing_error;
        bool opens_existing;
        DWORD existing_error;
        const char* left;  // contents of the existing file afterwards
    };
    const Case cases[] = {
        {CREATE_NEW, true, ERROR_SUCCESS, false, ERROR_FILE_EXISTS, "old"},
        {CREATE_ALWAYS, true, ERROR_SUCCESS, true, ERROR_ALREADY_EXISTS, ""},
        {OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, true, ERROR_SUCCESS, "old"},
        {OPEN_ALWAYS, true, ERROR_SUCCESS, true, ERROR_ALREADY_EXISTS, "old"},
        {TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, true, ERROR_SUCCESS, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.disposition);
        unlink("new.txt");
        SetLastError(1234);
        HANDLE made = open_with("new.txt", rw, 0, c.disposition);
        EXPECT_EQ(made != INVALID_HANDLE_VALUE, c.opens_missing);
        EXPECT_EQ(GetLastError(), c.missing_error);
        EXPECT_EQ(contents("new.txt"), c.opens_missing ? "" : "<missing>");
        CloseHandle(made);

        put_file("old.txt", "old");
        SetLastError(1234);
        HANDLE opened = open_with("old.txt", rw, 0, c.disposition);
        EXPECT_EQ(opened != INVALID_HANDLE_VALUE, c.opens_existing);
        EXPECT_EQ(GetLastError(), c.existing_error);
        EXPECT_EQ(contents("old.txt"), c.left);
        CloseHandle(opened);

        SetLastError(0);
        EXPECT_EQ(open_with("nowhere/new.txt", rw, 0, c.disposition), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    }
    EXPECT_EQ(open_with("old.txt", GENERIC_READ, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(open_with("old.txt", GENERIC_READ, 0, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(open_with("old.txt", GENERIC_READ, 0, 6), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(open_with("", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(open_with("a*b", GENERIC_READ, 0, OPEN_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME));
}

TEST_F(KernelFiles, ShareModesAreEnforcedBothWays) {
    put_file("f.txt", "0123456789");
    HANDLE held = open_with("f.txt", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    // The holder shares reading only.
    EXPECT_EQ(open_with("f.txt", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    HANDLE reader = open_with("F.TXT", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(read_all(reader), "0123456789");
    // A reader that will not share writing cannot join a writer.
    EXPECT_EQ(open_with("f.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    // Truncating is writing: refused, and the file keeps its bytes.
    EXPECT_EQ(open_with("f.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_ALWAYS),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(contents("f.txt"), "0123456789");
    EXPECT_TRUE(CloseHandle(held));
    EXPECT_TRUE(CloseHandle(reader));

    // The reverse: a reader that shares nothing keeps a later writer out.
    HANDLE exclusive = open_with("f.txt", GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    EXPECT_EQ(open_with("f.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    // Opening with no data access does not conflict.
    HANDLE query = open_with("f.txt", 0, 0, OPEN_EXISTING);
    EXPECT_NE(query, INVALID_HANDLE_VALUE);
    CloseHandle(query);
    EXPECT_TRUE(CloseHandle(exclusive));

    HANDLE again = open_with("f.txt", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    CloseHandle(again);
}

TEST_F(KernelFiles, ReadOnlyFilesAndFoldersRefuseWriting) {
    put_file("locked.txt", "keep", 0444);
    for (DWORD disposition : {OPEN_EXISTING, OPEN_ALWAYS, CREATE_ALWAYS, TRUNCATE_EXISTING}) {
        SetLastError(0);
        EXPECT_EQ(open_with("locked.txt", GENERIC_WRITE, 0, disposition), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    }
    EXPECT_EQ(contents("locked.txt"), "keep");
    HANDLE reader = open_with("locked.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(read_all(reader), "keep");
    CloseHandle(reader);
    EXPECT_EQ(GetFileAttributesA("LOCKED.TXT") & FILE_ATTRIBUTE_READONLY, DWORD(FILE_ATTRIBUTE_READONLY));

    ASSERT_EQ(mkdir("folder", 0755), 0);
    for (DWORD access : {DWORD(GENERIC_READ), DWORD(GENERIC_WRITE)}) {
        for (DWORD disposition : {OPEN_EXISTING, OPEN_ALWAYS, CREATE_ALWAYS}) {
            SetLastError(0);
            EXPECT_EQ(open_with("folder", access, FILE_SHARE_READ, disposition), INVALID_HANDLE_VALUE);
            EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
        }
    }
    EXPECT_EQ(open_with("folder", GENERIC_READ, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));

    // Created read-only: the new handle may still write, later ones may not.
    HANDLE made = CreateFileA("made.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY, nullptr);
    ASSERT_NE(made, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(made, "x", 1, &written, nullptr));
    CloseHandle(made);
    EXPECT_EQ(open_with("made.txt", GENERIC_WRITE, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
}

TEST_F(KernelFiles, ReadingAndWritingNeedTheMatchingAccess) {
    HANDLE writer = open_with("w.txt", GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    char byte = 'q';
    DWORD count = 99;
    EXPECT_FALSE(ReadFile(writer, &byte, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(count, DWORD(0));
    EXPECT_TRUE(WriteFile(writer, "abc", 3, &count, nullptr));
    EXPECT_EQ(count, DWORD(3));
    EXPECT_TRUE(WriteFile(writer, "", 0, &count, nullptr));
    CloseHandle(writer);

    HANDLE reader = open_with("w.txt", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    count = 99;
    EXPECT_FALSE(WriteFile(reader, "z", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(count, DWORD(0));
    char buffer[8];
    EXPECT_TRUE(ReadFile(reader, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(count, DWORD(3));
    for (int i = 0; i < 2; ++i) {  // at the end: success with nothing read
        count = 99;
        EXPECT_TRUE(ReadFile(reader, buffer, 1, &count, nullptr));
        EXPECT_EQ(count, DWORD(0));
    }
    CloseHandle(reader);
    EXPECT_EQ(contents("w.txt"), "abc");
}

// Injected write failures: the first call lands half, the next one fails.
int injected_errno;
ssize_t half_then_fail(int fd, const void* buffer, size_t count) {
    static bool failed_once = false;
    if (!failed_once && count > 1) {
        failed_once = true;
        return kernel::default_syscalls().write(fd, buffer, count / 2);
    }
    failed_once = false;
    errno = injected_errno;
    return -1;
}

TEST_F(KernelFiles, ShortWritesReportTheBytesThatLanded) {
    HANDLE file = open_with("full.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    kernel::sys.write = half_then_fail;
    for (int error : {ENOSPC, EFBIG}) {
        injected_errno = error;
        DWORD written = 99;
        EXPECT_FALSE(WriteFile(file, "abcdefgh", 8, &written, nullptr));
        EXPECT_EQ(written, DWORD(4));
        EXPECT_EQ(GetLastError(), error == ENOSPC ? DWORD(ERROR_DISK_FULL) : DWORD(ERROR_HANDLE_DISK_FULL));
    }
    kernel::reset_syscalls();
    CloseHandle(file);
    EXPECT_EQ(contents("full.txt"), "abcdabcd");
}

TEST_F(KernelFiles, AFileSizeLimitGivesAShortWriteNotASignal) {
    HANDLE file = open_with("limited.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit small = saved;
    small.rlim_cur = 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    DWORD written = 0;
    BOOL ok = WriteFile(file, "0123456789ABCDEF", 16, &written, nullptr);
    DWORD error = GetLastError();
    setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(ok);
    EXPECT_EQ(written, DWORD(10));
    EXPECT_EQ(error, DWORD(ERROR_HANDLE_DISK_FULL));
    CloseHandle(file);
}

int refuse_open(const char*, int, mode_t) {
    errno = injected_errno;
    return -1;
}

TEST_F(KernelFiles, FailedOpensBecomeWin32Errors) {
    put_file("there.txt", "x");
    kernel::sys.open = refuse_open;
    const struct {
        int error;
        DWORD code;
    } cases[] = {{EMFILE, ERROR_TOO_MANY_OPEN_FILES}, {EACCES, ERROR_ACCESS_DENIED}, {EROFS, ERROR_WRITE_PROTECT}};
    for (const auto& c : cases) {
        injected_errno = c.error;
        EXPECT_EQ(open_with("there.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.code);
    }
    injected_errno = ENOSPC;
    EXPECT_EQ(open_with("new.txt", GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL));
}

TEST_F(KernelFiles, SetFilePointerMovesAndRefusesBadMoves) {
    put_file("p.txt", "0123456789");
    HANDLE file = open_with("p.txt", GENERIC_READ, 0, OPEN_EXISTING);
    EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_BEGIN), DWORD(4));
    EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_CURRENT), DWORD(7));
    EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_CURRENT), DWORD(6));
    char byte = 0;
    DWORD count = 0;
    ASSERT_TRUE(ReadFile(file, &byte, 1, &count, nullptr));
    EXPECT_EQ(byte, '6');
    EXPECT_EQ(SetFilePointer(file, -2, nullptr, FILE_END), DWORD(8));

    EXPECT_EQ(SetFilePointer(file, -9, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, 3), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), DWORD(8));  // unmoved by the failures

    LONG high = 1;  // 4 GiB + 5 past the end is a valid position
    EXPECT_EQ(SetFilePointer(file, 5, &high, FILE_BEGIN), DWORD(5));
    EXPECT_EQ(high, 1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));  // a success leaves it
    high = -1;                                                  // together with the low part: -1
    EXPECT_EQ(SetFilePointer(file, -1, &high, FILE_END), DWORD(9));
    EXPECT_EQ(high, 0);
    DWORD size_high = 7;
    EXPECT_EQ(GetFileSize(file, &size_high), DWORD(10));
    EXPECT_EQ(size_high, DWORD(0));
    CloseHandle(file);
}

TEST_F(KernelFiles, StaleAndForeignHandlesFailQuietly) {
    HANDLE first = open_with("a.txt", GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(CloseHandle(first));
    HANDLE second = open_with("b.txt", GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
    EXPECT_NE(second, first);  // the slot may be reused, the handle is not

    HANDLE heap = HeapCreate(0, 0, 0);
    int local = 0;
    char byte;
    DWORD count;
    for (HANDLE bad : {first, HANDLE(nullptr), INVALID_HANDLE_VALUE, heap, HANDLE(&local)}) {
        SetLastError(0);
        EXPECT_FALSE(ReadFile(bad, &byte, 1, &count, nullptr));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_FALSE(WriteFile(bad, "x", 1, &count, nullptr));
        EXPECT_EQ(SetFilePointer(bad, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
        EXPECT_EQ(GetFileSize(bad, nullptr), INVALID_SET_FILE_POINTER);
        EXPECT_FALSE(CloseHandle(bad));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
    EXPECT_EQ(HeapAlloc(second, 0, 8), nullptr);  // a file is no heap
    EXPECT_TRUE(HeapDestroy(heap));
    EXPECT_TRUE(WriteFile(second, "x", 1, &count, nullptr));
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_FALSE(CloseHandle(second));
}

TEST_F(KernelFiles, NamesMatchWithoutRegardToCase) {
    ASSERT_TRUE(CreateDirectoryA("Data", nullptr));
    ASSERT_TRUE(CreateDirectoryA("Data/Global", nullptr));
    ASSERT_TRUE(CreateDirectoryA("data\\global\\Excel", nullptr));
    HANDLE table = open_with("./data/global/excel/gamble.txt", GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
    ASSERT_NE(table, INVALID_HANDLE_VALUE);
    CloseHandle(table);
    EXPECT_EQ(contents("Data/Global/Excel/gamble.txt"), "");

    // The exact spelling wins; otherwise the first in sorted order.
    put_file("abc", "lower");
    put_file("ABC", "upper");
    const struct {
        const char* name;
        const char* expected;
    } cases[] = {{"abc", "lower"}, {"ABC", "upper"}, {"Abc", "upper"}, {"aBC", "upper"}};
    for (const auto& c : cases) {
        HANDLE file = open_with(c.name, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
        EXPECT_EQ(read_all(file), c.expected) << c.name;
        CloseHandle(file);
    }

    // Absolute names on drive Z:, dots and doubled separators.
    std::string absolute = "z:" + folder_ + "\\DATA\\.\\x\\..\\Global//EXCEL\\GAMBLE.TXT";
    for (char& c : absolute) {
        c = c == '/' ? '\\' : c;
    }
    HANDLE same = open_with(absolute.c_str(), GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_NE(same, INVALID_HANDLE_VALUE) << absolute;
    CloseHandle(same);
    EXPECT_EQ(open_with("C:\\gamble.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    // A file in place of a folder means the path is not there.
    EXPECT_EQ(open_with("abc\\x.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

}  // namespace

// Every folder down to the current one is there once the current one is: a
// relative name costs one status for them all, however deep the folder.
// From a folder that is gone, nothing is found.
TEST_F(KernelFiles, ARelativeNameLooksUpTheCurrentFolderOnce) {
    ASSERT_TRUE(CreateDirectoryA("a", nullptr) && CreateDirectoryA("a/b", nullptr) &&
                CreateDirectoryA("a/b/c", nullptr));
    ASSERT_EQ(chdir("a/b/c"), 0);
    put_file("there.txt", "x");
    static int stats = 0;
    kernel::sys.stat = [](const char* path, struct stat* st) {
        ++stats;
        return stat(path, st);
    };
    kernel::sys.lstat = [](const char* path, struct stat* st) {
        ++stats;
        return lstat(path, st);
    };
    const struct {
        const char* name;
        int stats;  // the current folder's included
    } cases[] = {
        {"there.txt", 2},
        {"THERE.TXT", 4},                // the exact spelling missing (stat, lstat), then the match
        {"..\\..\\B\\c\\there.txt", 6},  // B as c is: 3; c, there.txt: 1 each
    };
    for (const auto& c : cases) {
        stats = 0;
        EXPECT_NE(GetFileAttributesA(c.name), INVALID_FILE_ATTRIBUTES) << c.name;
        EXPECT_EQ(stats, c.stats) << c.name;
    }
    ASSERT_EQ(unlink("there.txt"), 0);
    ASSERT_EQ(rmdir("../c"), 0);
    EXPECT_EQ(GetFileAttributesA("there.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA("."), INVALID_FILE_ATTRIBUTES);
}
