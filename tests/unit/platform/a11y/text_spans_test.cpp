// A label's text by offset: each boundary and granularity, at the text's
// ends and inside it, and the spans before and after; its bytes as the bus
// carries them.
#include <gtest/gtest.h>

#include "platform/posix/a11y/semantics.h"
#include "platform/posix/a11y/text_spans.h"

namespace {

using a11y::Span;
using a11y::atspi::TextBoundary;
using a11y::atspi::TextGranularity;

std::string part(const std::string& text, Span s) {
    return text.substr(s.start, s.end - s.start);
}

TEST(AccessibleText, EachBoundaryCutsWhereAtSpiSays) {
    const std::string text = "Fish  and chips";
    const struct {
        int offset;
        TextBoundary boundary;
        const char* at;
        const char* before;
        const char* after;
    } rows[] = {
        {0, TextBoundary::character, "F", "", "i"},
        {14, TextBoundary::character, "s", "p", ""},
        {15, TextBoundary::character, "", "s", ""},  // the end: nothing at it, the last before it
        {2, TextBoundary::word_start, "Fish  ", "", "and "},
        {5, TextBoundary::word_start, "Fish  ", "", "and "},  // in the spaces after a word
        {6, TextBoundary::word_start, "and ", "Fish  ", "chips"},
        {12, TextBoundary::word_start, "chips", "and ", ""},
        {2, TextBoundary::word_end, "Fish", "", "  and"},
        {5, TextBoundary::word_end, "  and", "Fish", " chips"},
        {14, TextBoundary::word_end, " chips", "  and", ""},
        {7, TextBoundary::sentence_start, "Fish  and chips", "", ""},
        {7, TextBoundary::line_end, "Fish  and chips", "", ""},
        {-1, TextBoundary::word_start, "", "", ""},
        {99, TextBoundary::character, "", "", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(part(text, a11y::text_at(text, row.offset, row.boundary)), row.at) << row.offset;
        EXPECT_EQ(part(text, a11y::text_before(text, row.offset, row.boundary)), row.before) << row.offset;
        EXPECT_EQ(part(text, a11y::text_after(text, row.offset, row.boundary)), row.after) << row.offset;
    }
    EXPECT_EQ(a11y::text_at(text, 7, TextBoundary::word_start), (Span{6, 10}));
    EXPECT_EQ(a11y::text_at("", 0, TextBoundary::word_start), (Span{0, 0}));
}

TEST(AccessibleText, GranularitiesRangesAndCharacters) {
    const std::string text = "Generated a new gamble table  ";
    EXPECT_EQ(part(text, a11y::string_at(text, 3, TextGranularity::character)), "e");
    EXPECT_EQ(part(text, a11y::string_at(text, 13, TextGranularity::word)), "new ");
    EXPECT_EQ(part(text, a11y::string_at(text, 13, TextGranularity::sentence)), text);
    EXPECT_EQ(part(text, a11y::string_at(text, 13, TextGranularity::paragraph)), text);
    EXPECT_EQ(a11y::text_range(text, 0, -1), (Span{0, 30}));
    EXPECT_EQ(a11y::text_range(text, 10, 15), (Span{10, 15}));
    EXPECT_EQ(a11y::text_range(text, -4, 500), (Span{0, 30}));
    EXPECT_EQ(a11y::text_range(text, 20, 10), (Span{10, 10}));
    EXPECT_EQ(a11y::character_at(text, 0), 'G');
    EXPECT_EQ(a11y::character_at("\xe9t\xe9", 0), 0xE9);  // Latin-1, not negative
    EXPECT_EQ(a11y::character_at(text, 30), 0);
    EXPECT_EQ(a11y::character_at(text, -1), 0);
}

// The window layer's strings are Latin-1: every byte above 0x7F is its own
// character, two bytes of UTF-8 on the bus.
TEST(AccessibleText, EightBitTextReachesTheBusAsUtf8) {
    const struct {
        std::string text;
        std::string sent;
    } rows[] = {
        {"", ""},
        {"Save & quit", "Save & quit"},
        {"Caf\xE9", "Caf\xC3\xA9"},
        {"\x80\xBF\xC0\xFF", "\xC2\x80\xC2\xBF\xC3\x80\xC3\xBF"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(a11y::utf8(row.text), row.sent) << row.text;
    }
}

}  // namespace
