// Text: metrics of the GUI font, measuring, DrawTextA's layout and prefixes.
#include <gtest/gtest.h>
#include <string.h>

#include "tests/unit/platform/gdi/canvas.h"

using paint_test::Canvas;

namespace {

struct TextCanvas : Canvas {
    TextCanvas(int w, int h) : Canvas(w, h, 0xFFFFFF) {
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
    }
    int width_of(const char* s) {
        SIZE size{};
        GetTextExtentPoint32A(dc, s, static_cast<int>(strlen(s)), &size);
        return size.cx;
    }
    RECT calc(const char* s, UINT format, int width = 0) {
        RECT r{0, 0, width, 0};
        DrawTextA(dc, s, -1, &r, format | DT_CALCRECT);
        return r;
    }
};

}  // namespace

TEST(PaintText, GuiFontHasTheClassicSize) {
    TextCanvas canvas(10, 10);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(canvas.dc, &tm));
    EXPECT_GE(tm.tmHeight, 12);
    EXPECT_LE(tm.tmHeight, 14);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    EXPECT_GE(tm.tmAveCharWidth, 4);
    EXPECT_LE(tm.tmAveCharWidth, 7);
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32A(canvas.dc, "Axes", 4, &size));
    EXPECT_EQ(size.cy, tm.tmHeight);

    // The tool's help lines fit their 500-pixel texts; its longest checkbox
    // label fits beside the box.
    EXPECT_LE(
        canvas.width_of("This program can limit the items shown on the gamble screen. You can edit the filter without"),
        500);
    EXPECT_LE(
        canvas.width_of("exiting Vorthane (press Alt+Tab to switch), but you have to start a new game after edit."),
        500);
    EXPECT_LE(canvas.width_of("Throwing Weapons"), 125 - 17);
    EXPECT_LE(canvas.width_of("Necromancer"), 90 - 17);
}

TEST(PaintText, ExtentsAddUpAndAgreeWithCalcRect) {
    TextCanvas canvas(10, 10);
    EXPECT_EQ(canvas.width_of("Set") + canvas.width_of(" Filter"), canvas.width_of("Set Filter"));
    EXPECT_EQ(canvas.width_of(""), 0);
    const RECT r = canvas.calc("Set Filter", DT_SINGLELINE);
    EXPECT_EQ(r.right - r.left, canvas.width_of("Set Filter"));
    TEXTMETRICA tm{};
    GetTextMetricsA(canvas.dc, &tm);
    EXPECT_EQ(r.bottom - r.top, tm.tmHeight);
    RECT moved{5, 7, 5, 7};
    EXPECT_EQ(DrawTextA(canvas.dc, "Exit", 4, &moved, DT_CALCRECT), tm.tmHeight);
    EXPECT_EQ(moved.left, 5);
    EXPECT_EQ(moved.right, 5 + canvas.width_of("Exit"));
    EXPECT_EQ(moved.bottom, 7 + tm.tmHeight);
    // CALCRECT draws nothing.
    EXPECT_EQ(canvas.count(0xFFFFFF, RECT{0, 0, 10, 10}), 100);
}

TEST(PaintText, WordBreakingKeepsLinesWithinTheWidth) {
    TextCanvas canvas(200, 100);
    TEXTMETRICA tm{};
    GetTextMetricsA(canvas.dc, &tm);
    const int width = canvas.width_of("one two") + 2;
    RECT r = canvas.calc("one two three", DT_WORDBREAK, width);
    EXPECT_EQ(r.bottom - r.top, 2 * tm.tmHeight);
    EXPECT_LE(r.right - r.left, width);
    EXPECT_EQ(r.right - r.left, canvas.width_of("one two"));
    // Spaces at a break vanish; a word wider than the line stays whole.
    r = canvas.calc("a    b", DT_WORDBREAK, canvas.width_of("a") + 1);
    EXPECT_EQ(r.bottom - r.top, 2 * tm.tmHeight);
    r = canvas.calc("Necromancer x", DT_WORDBREAK, 10);
    EXPECT_EQ(r.bottom - r.top, 2 * tm.tmHeight);
    EXPECT_EQ(r.right - r.left, canvas.width_of("Necromancer"));
    // Line ends break lines unless single-line.
    EXPECT_EQ(canvas.calc("one\r\ntwo\nthree", 0).bottom, 3 * tm.tmHeight);
    EXPECT_EQ(canvas.calc("one\ntwo", DT_SINGLELINE).bottom, tm.tmHeight);
    // Drawn, the second line sits one line below the first.
    RECT box{0, 0, width, 100};
    EXPECT_EQ(DrawTextA(canvas.dc, "one two three", -1, &box, DT_WORDBREAK), 2 * tm.tmHeight);
    const RECT ink = canvas.ink();
    EXPECT_GT(ink.bottom, tm.tmHeight);
    EXPECT_LE(ink.bottom, 2 * tm.tmHeight);
    EXPECT_LE(ink.right, width);
}

TEST(PaintText, PrefixesAreHiddenAndUnderlined) {
    TextCanvas canvas(100, 20);
    EXPECT_EQ(canvas.calc("&File", DT_SINGLELINE).right, canvas.width_of("File"));
    EXPECT_EQ(canvas.calc("&File", DT_SINGLELINE | DT_NOPREFIX).right, canvas.width_of("&File"));
    EXPECT_EQ(canvas.calc("A&&B", DT_SINGLELINE).right, canvas.width_of("A&B"));

    TEXTMETRICA tm{};
    GetTextMetricsA(canvas.dc, &tm);
    RECT r{0, 0, 100, 20};
    DrawTextA(canvas.dc, "&File", -1, &r, DT_SINGLELINE);
    const int underline_row = tm.tmAscent + 1;
    const int f_width = canvas.width_of("F");
    EXPECT_EQ(canvas.count(0, RECT{0, underline_row, f_width, underline_row + 1}), f_width);
    EXPECT_EQ(canvas.count(0, RECT{f_width + 1, underline_row, 100, underline_row + 1}), 0);
}

TEST(PaintText, AlignmentAndClipping) {
    TEXTMETRICA tm{};
    {
        TextCanvas canvas(100, 40);
        GetTextMetricsA(canvas.dc, &tm);
        RECT r{0, 0, 100, 40};
        DrawTextA(canvas.dc, "Exit", -1, &r, DT_SINGLELINE | DT_RIGHT | DT_VCENTER);
        const RECT ink = canvas.ink();
        EXPECT_LE(ink.right, 100);
        EXPECT_GE(ink.right, 100 - 3);
        const int top = (40 - tm.tmHeight) / 2;
        EXPECT_GE(ink.top, top);
        EXPECT_LE(ink.bottom, top + tm.tmHeight);
    }
    {
        TextCanvas canvas(100, 20);
        RECT r{0, 0, 100, 20};
        DrawTextA(canvas.dc, "Exit", -1, &r, DT_SINGLELINE | DT_CENTER);
        const RECT ink = canvas.ink();
        EXPECT_NEAR((ink.left + ink.right) / 2.0, 50.0, 2.0);
    }
    {
        // The rectangle clips unless DT_NOCLIP.
        TextCanvas canvas(100, 20);
        RECT r{0, 0, 20, 20};
        DrawTextA(canvas.dc, "Throwing Weapons", -1, &r, DT_SINGLELINE);
        EXPECT_LE(canvas.ink().right, 20);
        EXPECT_GT(canvas.ink().right, 10);
        DrawTextA(canvas.dc, "Throwing Weapons", -1, &r, DT_SINGLELINE | DT_NOCLIP);
        EXPECT_GT(canvas.ink().right, 60);
    }
}

TEST(PaintText, BackgroundModeAndColours) {
    TextCanvas canvas(60, 20);
    TEXTMETRICA tm{};
    GetTextMetricsA(canvas.dc, &tm);
    EXPECT_EQ(SetBkMode(canvas.dc, OPAQUE), TRANSPARENT);
    SetBkColor(canvas.dc, RGB(0, 0, 255));
    EXPECT_EQ(SetTextColor(canvas.dc, RGB(255, 0, 0)), RGB(0, 0, 0));
    ASSERT_TRUE(TextOutA(canvas.dc, 2, 3, "Hi", 2));
    const int width = canvas.width_of("Hi");
    // The cell is filled with the background; the glyphs are red.
    EXPECT_EQ(canvas.at(2, 3), 0x0000FFu);
    EXPECT_EQ(canvas.at(2 + width - 1, 3 + tm.tmHeight - 1), 0x0000FFu);
    EXPECT_EQ(canvas.at(2 + width, 3), 0xFFFFFFu);
    EXPECT_EQ(canvas.at(2, 3 + tm.tmHeight), 0xFFFFFFu);
    EXPECT_GT(canvas.count(0xFF0000, RECT{0, 0, 60, 20}), 5);
    // Glyphs rest on the baseline: nothing of "Hi" below it.
    EXPECT_EQ(canvas.count(0xFF0000, RECT{0, 3 + tm.tmAscent, 60, 20}), 0);
}
