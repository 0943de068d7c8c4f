#include "runtime/memory/strings.h"

#include <string.h>

#include <string>

#include "platform/posix/kernel/syscalls.h"
#include "unit/support/memory_fixture.h"

namespace {

class StringsTest : public MemoryTest {};

TEST_F(StringsTest, EqualityIsExactAndTreatsMissingAsEmpty) {
    EXPECT_EQ(string_equal(nullptr, ""), 1);
    EXPECT_EQ(string_equal("", nullptr), 1);
    EXPECT_EQ(string_equal(nullptr, nullptr), 1);
    EXPECT_EQ(string_equal("#AXES", "#AXES"), 1);
    EXPECT_EQ(string_equal("#AXES ", "#AXES"), 0);
    EXPECT_EQ(string_equal("#axes", "#AXES"), 0);
    EXPECT_EQ(string_equal("#AXE", "#AXES"), 0);
    EXPECT_EQ(string_equal("\xff", "\x7f"), 0);
}

TEST_F(StringsTest, LeftStringBuildsAtTheCursor) {
    char* start = result_cursor;
    char* result = left_string("'#AXES", 1);
    EXPECT_EQ(result, start);
    EXPECT_STREQ(result, "'");
    EXPECT_EQ(result_cursor, start + 1);
    EXPECT_EQ(*result_cursor, 0);
    result_cursor = start;

    EXPECT_STREQ(left_string("ab", 5), "ab");
    EXPECT_EQ(result_cursor, start + 2);
    result_cursor = start;
    for (int32_t n : {0, -1, -2147483647 - 1}) {
        EXPECT_STREQ(left_string("ab", n), "");
        EXPECT_EQ(result_cursor, start);
    }
    EXPECT_STREQ(left_string(nullptr, 1), "");
    EXPECT_STREQ(left_string("", 1), "");
    EXPECT_EQ(result_cursor, start);
}

TEST_F(StringsTest, LeftStringStopsAtTheBufferEnd) {
    std::string big(STRING_BUFFER_SIZE + 100, 'x');
    char* start = result_cursor;
    char* result = left_string(big.c_str(), static_cast<int32_t>(big.size()));
    EXPECT_EQ(strlen(result), static_cast<size_t>(STRING_BUFFER_SIZE - 1));
    EXPECT_EQ(string_room(), 0u);
    // A result begun on the last byte is empty, not past the end.
    char* tail = left_string("abc", 3);
    EXPECT_EQ(tail, start + STRING_BUFFER_SIZE - 1);
    EXPECT_STREQ(tail, "");
    result_cursor = start;
}

TEST_F(StringsTest, InitialisingTwiceKeepsTheBuffer) {
    char* first = result_cursor;
    left_string("abc", 3);
    char* moved = result_cursor;
    init_string_buffer();
    EXPECT_EQ(result_cursor, moved);
    result_cursor = first;
}

TEST_F(StringsTest, AssignStoresAnExactCopyAndRewinds) {
    char* variable = nullptr;
    char* start = result_cursor;
    left_string("Hand Axe\thax", 100);
    assign_string(&variable, start);
    EXPECT_EQ(result_cursor, start);
    EXPECT_STREQ(variable, "Hand Axe\thax");
    EXPECT_EQ(HeapSize(main_heap, 0, variable), 13u);

    left_string("", 1);
    assign_string(&variable, start);
    ASSERT_NE(variable, nullptr);
    EXPECT_EQ(string_equal(variable, ""), 1);
    EXPECT_EQ(HeapSize(main_heap, 0, variable), 1u);
    EXPECT_EQ(result_cursor, start);
}

TEST_F(StringsTest, ReassigningReleasesTheOldBlock) {
    char* variable = nullptr;
    char* start = result_cursor;
    left_string("first", 5);
    assign_string(&variable, start);
    char* old = variable;
    left_string("second", 6);
    assign_string(&variable, start);
    EXPECT_STREQ(variable, "second");
    // The old block is gone from the heap, unless the new one reuses it.
    EXPECT_TRUE(old == variable || HeapSize(main_heap, 0, old) == static_cast<SIZE_T>(-1));
}

int live_blocks = 0;

TEST_F(StringsTest, ManyAssignmentsLeaveOnlyTheLastBlock) {
    kernel::sys.malloc = [](size_t size) {
        ++live_blocks;
        return kernel::default_syscalls().malloc(size);
    };
    kernel::sys.free = [](void* block) {
        --live_blocks;
        kernel::default_syscalls().free(block);
    };
    live_blocks = 0;
    char* variable = nullptr;
    char* start = result_cursor;
    for (int i = 0; i < 100; ++i) {
        left_string(i % 2 ? "odd" : "even!", 10);
        assign_string(&variable, start);
    }
    kernel::reset_syscalls();
    EXPECT_EQ(live_blocks, 1);
    EXPECT_STREQ(variable, "odd");
}

}  // namespace
