// Private heaps: zero fill, contents across moves, destruction, handle checks.
#include <gtest/gtest.h>

#include <thread>

#include "platform/posix/kernel/syscalls.h"
#include "platform/win32.h"

namespace {

bool all_zero(const unsigned char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

TEST(KernelHeap, ZeroFillCoversNewBlocksAndTheGrownPartOfReallocations) {
    HANDLE heap = HeapCreate(0, 0, 0);
    ASSERT_NE(heap, nullptr);
    unsigned char* block = static_cast<unsigned char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 40));
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(all_zero(block, 40));
    memset(block, 0xAB, 40);
    // Grow far enough that the block almost surely moves.
    block = static_cast<unsigned char*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, 1 << 20));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(block[i], 0xAB) << i;
    }
    EXPECT_TRUE(all_zero(block + 40, (1 << 20) - 40));
    EXPECT_EQ(HeapSize(heap, 0, block), SIZE_T(1 << 20));

    block = static_cast<unsigned char*>(HeapReAlloc(heap, 0, block, 10));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[9], 0xAB);
    EXPECT_EQ(HeapSize(heap, 0, block), SIZE_T(10));
    EXPECT_TRUE(HeapFree(heap, 0, block));
    EXPECT_TRUE(HeapDestroy(heap));
}

TEST(KernelHeap, DestroyReleasesEveryBlockAndRetiresTheHandle) {
    HANDLE heap = HeapCreate(0, 0, 0);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_NE(HeapAlloc(heap, 0, 16 + i), nullptr);
    }
    void* block = HeapAlloc(heap, 0, 8);
    ASSERT_TRUE(HeapDestroy(heap));  // the leak checker of the asan build confirms

    SetLastError(0);
    EXPECT_EQ(HeapAlloc(heap, 0, 8), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(HeapFree(heap, 0, block));
    EXPECT_EQ(HeapReAlloc(heap, 0, block, 20), nullptr);
    EXPECT_EQ(HeapSize(heap, 0, block), SIZE_T(-1));
    EXPECT_FALSE(HeapDestroy(heap));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    // A new heap may take the old slot, but the old handle stays dead.
    HANDLE next = HeapCreate(0, 0, 0);
    EXPECT_NE(next, heap);
    EXPECT_EQ(HeapAlloc(heap, 0, 8), nullptr);
    EXPECT_TRUE(HeapDestroy(next));
}

TEST(KernelHeap, ForeignHandlesAndBlocksAreRefusedQuietly) {
    HANDLE first = HeapCreate(0, 0, 0);
    HANDLE second = HeapCreate(0, 0, 0);
    void* block = HeapAlloc(first, 0, 32);
    int local = 0;

    SetLastError(0);
    EXPECT_FALSE(HeapFree(second, 0, block));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(HeapSize(second, 0, block), SIZE_T(-1));
    EXPECT_EQ(HeapReAlloc(second, 0, &local, 8), nullptr);

    for (HANDLE bogus : {HANDLE(nullptr), INVALID_HANDLE_VALUE, HANDLE(&local), HANDLE(uintptr_t(0x1000))}) {
        SetLastError(0);
        EXPECT_EQ(HeapAlloc(bogus, 0, 8), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_FALSE(HeapDestroy(bogus));
    }
    EXPECT_TRUE(HeapFree(first, 0, nullptr));
    EXPECT_TRUE(HeapFree(first, 0, block));
    EXPECT_FALSE(HeapFree(first, 0, block));  // twice is refused, not a double free
    EXPECT_TRUE(HeapDestroy(first));
    EXPECT_TRUE(HeapDestroy(second));
}

TEST(KernelHeap, ZeroSizedBlocksAreDistinctAndLimitsHold) {
    HANDLE heap = HeapCreate(0, 0, 100);
    void* a = HeapAlloc(heap, 0, 0);
    void* b = HeapAlloc(heap, 0, 0);
    ASSERT_NE(a, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(HeapSize(heap, 0, a), SIZE_T(0));
    void* c = HeapAlloc(heap, 0, 60);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(HeapAlloc(heap, 0, 60), nullptr);
    EXPECT_EQ(HeapReAlloc(heap, 0, c, 120), nullptr);
    EXPECT_EQ(HeapSize(heap, 0, c), SIZE_T(60));  // a failed growth leaves the block
    EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, a, 4), nullptr);
    EXPECT_TRUE(HeapDestroy(heap));
}

void* refuse_allocation(size_t) {
    return nullptr;
}
void* refuse_zeroed_allocation(size_t, size_t) {
    return nullptr;
}
void* refuse_reallocation(void*, size_t) {
    return nullptr;
}

TEST(KernelHeap, AllocationFailureLeavesTheHeapIntact) {
    HANDLE heap = HeapCreate(0, 0, 0);
    char* block = static_cast<char*>(HeapAlloc(heap, 0, 4));
    memcpy(block, "abc", 4);
    kernel::sys.malloc = refuse_allocation;
    kernel::sys.realloc = refuse_reallocation;
    kernel::sys.calloc = refuse_zeroed_allocation;
    EXPECT_EQ(HeapAlloc(heap, 0, 16), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    SetLastError(0);
    EXPECT_EQ(HeapAlloc(heap, HEAP_ZERO_MEMORY, 16), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(HeapReAlloc(heap, 0, block, 4096), nullptr);
    kernel::reset_syscalls();
    EXPECT_STREQ(block, "abc");
    EXPECT_EQ(HeapSize(heap, 0, block), SIZE_T(4));
    EXPECT_TRUE(HeapDestroy(heap));
}

TEST(KernelCrt, StricmpIgnoresAsciiCaseOnly) {
    EXPECT_EQ(_stricmp("Check All", "CHECK all"), 0);
    EXPECT_LT(_stricmp("abc", "ABD"), 0);
    EXPECT_GT(_stricmp("abcd", "ABC"), 0);
    EXPECT_LT(_stricmp("", "a"), 0);
    // '_' lies between the upper and lower letters: the lowered bytes decide.
    EXPECT_LT(_stricmp("_", "A"), 0);
    EXPECT_NE(_stricmp("\xC4", "\xE4"), 0);
    EXPECT_GT(_stricmp("\xE4", "a"), 0);
}

TEST(KernelErrors, LastErrorBelongsToTheThread) {
    SetLastError(1234);
    DWORD seen = 0;
    std::thread other([&seen] {
        seen = GetLastError();
        SetLastError(5);
    });
    other.join();
    EXPECT_EQ(seen, DWORD(0));
    EXPECT_EQ(GetLastError(), DWORD(1234));
}

}  // namespace
