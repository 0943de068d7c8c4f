#include "app/categories.h"

#include <set>

#include "unit/support/memory_fixture.h"

namespace {

class ClassifyTest : public MemoryTest {
  protected:
    LineClass classify(const char* line) {
        char* start = result_cursor;
        LineClass result = classify_line(line);
        EXPECT_EQ(result_cursor, start);
        return result;
    }
};

TEST_F(ClassifyTest, KindsOfLines) {
    EXPECT_EQ(classify("").kind, EmptyLine);
    EXPECT_EQ(classify(nullptr).kind, EmptyLine);
    EXPECT_EQ(classify("'").kind, CommentLine);
    EXPECT_EQ(classify("'#AXES").kind, CommentLine);
    EXPECT_EQ(classify(" ").kind, ItemLine);
    EXPECT_EQ(classify(" 'x").kind, ItemLine);
    EXPECT_EQ(classify("Hand Axe\thax").kind, ItemLine);
    EXPECT_EQ(classify("Hand Axe\thax").section, NO_SECTION);
}

TEST_F(ClassifyTest, KeywordsAreExactAndCaseSensitive) {
    for (const char* line : {"#axes", "#AXES ", "#AXES\t", " #AXES", "#AXE", "#Always", "#"}) {
        EXPECT_EQ(classify(line).kind, ItemLine) << line;
    }
    LineClass always = classify("#ALWAYS");
    EXPECT_EQ(always.kind, KeywordLine);
    EXPECT_EQ(always.section, ALWAYS_SECTION);
    for (const Category& category : categories) {
        LineClass line_class = classify(category.keyword);
        EXPECT_EQ(line_class.kind, KeywordLine);
        EXPECT_EQ(line_class.section, category.index);
    }
}

TEST(CategoryTable, NamesThatDifferFromTheirKeywords) {
    EXPECT_STREQ(categories[11].label, "Throwing Weapons");
    EXPECT_STREQ(categories[11].keyword, "#THROWING");
    EXPECT_STREQ(categories[14].label, "Body Armor");
    EXPECT_STREQ(categories[14].keyword, "#BODY");
    EXPECT_STREQ(categories[19].label, "Misc.");
    EXPECT_STREQ(categories[19].keyword, "#MISC");
    EXPECT_STREQ(categories[4].label, "Javelins");
    EXPECT_STREQ(categories[5].label, "Maces");
}

TEST(CategoryTable, KeywordListOrderAndIndices) {
    EXPECT_STREQ(keywords[0].text, "#ALWAYS");
    for (int i = 0; i < CATEGORY_COUNT; ++i) {
        EXPECT_EQ(categories[i].index, i);
        EXPECT_STREQ(keywords[i + 1].text, categories[i].keyword);
        EXPECT_EQ(keywords[i + 1].section, i);
        EXPECT_EQ(categories[i].width, i == 11 ? 125 : 90);
        EXPECT_EQ(categories[i].height, 20);
    }
}

TEST(MainWindowLayout, ControlNumbersAreUsedOnce) {
    std::set<intptr_t> numbers;
    for (const Category& category : categories) {
        numbers.insert(category.index);
    }
    for (int i = 0; i < OTHER_CONTROL_COUNT; ++i) {
        EXPECT_EQ(other_controls[i].number, FIRST_OTHER_CONTROL + i);
        numbers.insert(other_controls[i].number);
    }
    EXPECT_EQ(numbers.size(), static_cast<size_t>(MAIN_WINDOW_CONTROL_COUNT));
    EXPECT_EQ(*numbers.rbegin(), 35);
    EXPECT_STREQ(other_controls[SET_FILTER_BUTTON - FIRST_OTHER_CONTROL].text, "Set Filter");
    EXPECT_EQ(other_controls[EXIT_BUTTON - FIRST_OTHER_CONTROL].kind, ButtonLayout);
    EXPECT_EQ(other_controls[29 - FIRST_OTHER_CONTROL].kind, FrameLayout);
}

}  // namespace
