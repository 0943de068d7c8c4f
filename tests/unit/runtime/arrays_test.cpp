#include "runtime/memory/arrays.h"

#include <stddef.h>

#include "runtime/memory/strings.h"
#include "unit/support/memory_fixture.h"

namespace {

class ArraysTest : public MemoryTest {
  protected:
    char* stored(const char* text) {
        char* variable = nullptr;
        char* start = result_cursor;
        left_string(text, 1000);
        assign_string(&variable, start);
        return variable;
    }
    bool released(void* block) { return HeapSize(main_heap, 0, block) == static_cast<SIZE_T>(-1); }
};

TEST_F(ArraysTest, ByteArrayIncludesTheUpperBound) {
    int8_t* selection = nullptr;
    free_array(selection);
    allocate_array(&selection, 27, 1, nullptr, 1);
    ASSERT_NE(selection, nullptr);
    ArrayHeader* header = array_header(selection);
    EXPECT_EQ(header->element_size, 1);
    EXPECT_EQ(header->upper_bound, 27);
    EXPECT_EQ(header->element_kind, 1);
    EXPECT_EQ(header->owner_variable, static_cast<void*>(&selection));
    EXPECT_EQ(HeapSize(main_heap, 0, header), sizeof(ArrayHeader) + 28);
    for (int i = 0; i <= 27; ++i) {
        EXPECT_EQ(selection[i], 0);
    }
    free_array(selection);
    EXPECT_TRUE(released(header));
}

TEST_F(ArraysTest, StringArrayReleasesEveryStoredStringAndSkipsMissingOnes) {
    char** lines = nullptr;
    free_string_array(lines);
    allocate_array(&lines, 430, sizeof(char*), string_element_layout, 8);
    ASSERT_NE(lines, nullptr);
    for (int i = 0; i <= 430; ++i) {
        EXPECT_EQ(lines[i], nullptr);
    }
    char* first = lines[0] = stored("a");
    char* last = lines[430] = stored("z");
    free_string_array(lines);
    EXPECT_TRUE(released(first));
    EXPECT_TRUE(released(last));
}

struct Inner {
    char* name;
    int32_t number;
    char* code;
};

struct Outer {
    int32_t tag;
    char* title;
    Inner members[3];
};

const LayoutEntry inner_layout[] = {offsetof(Inner, name), offsetof(Inner, code), LAYOUT_END};
const LayoutEntry outer_layout[] = {offsetof(Outer, title),
                                    LAYOUT_GROUP,
                                    3,
                                    offsetof(Outer, members),
                                    sizeof(Inner),
                                    reinterpret_cast<LayoutEntry>(inner_layout),
                                    LAYOUT_END};

TEST_F(ArraysTest, NestedGroupsAreWalkedMemberByMember) {
    Outer* records = nullptr;
    allocate_array(&records, 1, sizeof(Outer), outer_layout, 16);
    ASSERT_NE(records, nullptr);
    char* strings[] = {stored("t"), stored("n0"), stored("c2"), stored("t1"), stored("c1")};
    records[0].title = strings[0];
    records[0].members[0].name = strings[1];
    records[0].members[2].code = strings[2];
    records[1].title = strings[3];
    records[1].members[1].code = strings[4];
    char* kept = stored("kept");
    free_string_array(records);
    for (char* text : strings) {
        EXPECT_TRUE(released(text));
    }
    EXPECT_FALSE(released(kept));
}

TEST_F(ArraysTest, LayoutWalkLeavesReferencesInPlace) {
    Inner element = {stored("x"), 7, nullptr};
    char* name = element.name;
    free_strings_by_layout(&element, inner_layout);
    EXPECT_TRUE(released(name));
    EXPECT_EQ(element.name, name);
    EXPECT_EQ(element.number, 7);
}

}  // namespace
