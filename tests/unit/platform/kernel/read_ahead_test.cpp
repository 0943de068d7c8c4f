// ReadFile through the read-ahead: a byte-at-a-time reader costs a read()
// per 64 KB, and every result is what the file holds at the handle's
// position, across seeks and the handle's own writes.
#include <thread>
#include <vector>

#include "tests/unit/platform/kernel/test_folder.h"

namespace {

class KernelReadAhead : public KernelFolder {};

int reads = 0;

ssize_t counted_read(int fd, void* buffer, size_t count) {
    ++reads;
    return kernel::default_syscalls().read(fd, buffer, count);
}

std::string read_bytes(HANDLE file, DWORD count) {
    std::string bytes(count, '\0');
    DWORD done = 0;
    EXPECT_TRUE(ReadFile(file, &bytes[0], count, &done, nullptr));
    bytes.resize(done);
    return bytes;
}

TEST_F(KernelReadAhead, BytesOneAtATimeCostOneReadPerBufferAndStayExact) {
    std::string data;
    for (int i = 0; i < 100000; ++i) {
        data += static_cast<char>('a' + i % 23);
    }
    put_file("list.lst", data);
    HANDLE file = CreateFileA("list.lst", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    reads = 0;
    kernel::sys.read = counted_read;
    std::string seen;
    for (;;) {
        std::string byte = read_bytes(file, 1);
        if (byte.empty()) {
            break;
        }
        seen += byte;
    }
    EXPECT_EQ(read_bytes(file, 1), "");  // the end, again, without asking Linux
    EXPECT_EQ(seen, data);
    EXPECT_EQ(reads, 3);  // two fills and the one that found the end

    // Back within the buffer, a write through the handle, a read across it.
    EXPECT_EQ(SetFilePointer(file, 10, nullptr, FILE_BEGIN), DWORD(10));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, "XY", 2, &written, nullptr));
    EXPECT_EQ(read_bytes(file, 2), data.substr(12, 2));
    EXPECT_EQ(SetFilePointer(file, -6, nullptr, FILE_CURRENT), DWORD(8));
    EXPECT_EQ(read_bytes(file, 6), data.substr(8, 2) + "XY" + data.substr(12, 2));
    // Past the end, a write makes the file longer, and it reads back.
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_END), DWORD(100000));
    ASSERT_TRUE(WriteFile(file, "end", 3, &written, nullptr));
    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_END), DWORD(99999));
    EXPECT_EQ(read_bytes(file, 10), data.substr(99999) + "end");
    EXPECT_EQ(read_bytes(file, 70000), "");
    CloseHandle(file);
    kernel::reset_syscalls();
    EXPECT_EQ(contents("list.lst"), data.substr(0, 10) + "XY" + data.substr(12) + "end");
}

TEST_F(KernelReadAhead, AHandleOthersMayWriteReadsWhatTheyWrote) {
    put_file("open.txt", "0123456789");
    const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE;
    HANDLE reader = CreateFileA("open.txt", GENERIC_READ, all, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE writer = CreateFileA("open.txt", GENERIC_WRITE, all, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_EQ(read_bytes(reader, 2), "01");
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer, "abcd", 4, &written, nullptr));
    EXPECT_EQ(read_bytes(reader, 3), "cd4");
    CloseHandle(writer);
    CloseHandle(reader);

    // A handle read ahead keeps every writer and truncation out.
    HANDLE alone = CreateFileA("open.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(read_bytes(alone, 2), "ab");
    EXPECT_EQ(CreateFileA("open.txt", GENERIC_WRITE, all, nullptr, CREATE_ALWAYS, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(read_bytes(alone, 20), "cd456789");
    CloseHandle(alone);
}

std::string pattern_of(size_t size, char first) {
    std::string data;
    for (size_t i = 0; i < size; ++i) {
        data += static_cast<char>(first + i % 19);
    }
    return data;
}

std::string read_to_end(HANDLE file) {
    std::string seen;
    for (std::string byte = read_bytes(file, 1); !byte.empty(); byte = read_bytes(file, 1)) {
        seen += byte;
    }
    return seen;
}

// The buffered path looks the handle up like every other call: a closed
// handle whose slot serves a new file reads nothing of it.
TEST_F(KernelReadAhead, AClosedHandleFailsAndItsFileReadsWholeWhenOpenedAgain) {
    put_file("a.lst", pattern_of(5000, 'a'));
    put_file("b.lst", pattern_of(5000, 'A'));
    HANDLE a = CreateFileA("a.lst", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(a, INVALID_HANDLE_VALUE);
    EXPECT_EQ(read_bytes(a, 1), "a");
    EXPECT_EQ(read_bytes(a, 1), "b");
    ASSERT_TRUE(CloseHandle(a));
    HANDLE b = CreateFileA("b.lst", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(b, INVALID_HANDLE_VALUE);
    char byte = '?';
    DWORD done = 7;
    SetLastError(0);
    EXPECT_FALSE(ReadFile(a, &byte, 1, &done, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(byte, '?');
    EXPECT_EQ(read_to_end(b), pattern_of(5000, 'A'));
    HANDLE again = CreateFileA("a.lst", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(read_to_end(again), pattern_of(5000, 'a'));
    CloseHandle(again);
    CloseHandle(b);
}

// Lookups take no lock: a reader on one thread while another thread makes
// and retires thousands of handles, growing the table, reads every byte.
TEST_F(KernelReadAhead, ReadsStayExactWhileAnotherThreadGrowsTheTable) {
    put_file("list.lst", pattern_of(300000, 'a'));
    HANDLE file = CreateFileA("list.lst", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    size_t failed = 0;
    std::thread other([&failed] {
        std::vector<HANDLE> heaps;
        for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < 3000; ++i) {
                heaps.push_back(HeapCreate(0, 0, 0));
                failed += heaps.back() == nullptr;
            }
            for (HANDLE heap : heaps) {
                failed += !HeapDestroy(heap);
            }
            heaps.clear();
        }
    });
    std::string seen = read_to_end(file);
    other.join();
    EXPECT_EQ(failed, 0u);
    EXPECT_TRUE(seen == pattern_of(300000, 'a'));
    CloseHandle(file);
}

}  // namespace
