// Drawing at a device scale: fills edge by edge without gaps or overlaps,
// bevels and focus dots in whole lines of round(scale) pixels, and text in
// the text colour alone.
#include <gtest/gtest.h>

#include <vector>

#include "platform/posix/gdi/dc.h"
#include "platform/win32.h"

namespace {

constexpr int logical_size = 40;

struct Canvas {
    explicit Canvas(int quarters)
        : size(gdi::to_device(logical_size, quarters)),
          pixels(static_cast<size_t>(size) * size, 0xFFFFFF),
          buffer{pixels.data(), size, size, size} {}
    int size;
    std::vector<uint32_t> pixels;
    gdi::PixelBuffer buffer;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * size + x]; }
};

HBRUSH sys_brush(int index) {
    return reinterpret_cast<HBRUSH>(static_cast<intptr_t>(index + 1));
}

uint32_t sys_pixel(int index) {
    const COLORREF c = GetSysColor(index);
    return static_cast<uint32_t>(GetRValue(c)) << 16 | static_cast<uint32_t>(GetGValue(c)) << 8 | GetBValue(c);
}

}  // namespace

TEST(ScaledDrawing, EdgesMeetAndLinesAreWholeRoundedPixels) {
    for (int quarters : {4, 5, 6, 7, 8, 10, 12, 16}) {
        SCOPED_TRACE(quarters);
        const int line = gdi::line_width(quarters);
        Canvas canvas(quarters);
        // A DC whose client origin is off the device grid.
        HDC dc = gdi::create_dc(&canvas.buffer, 3, 1, RECT{0, 0, logical_size, logical_size}, quarters);
        // Columns of two colours, one logical pixel each: every device pixel
        // of the row is painted once, by the column that owns it.
        for (int x = -3; x < logical_size - 3; ++x) {
            RECT r{x, 0, x + 1, 5};
            FillRect(dc, &r, sys_brush(x % 2 == 0 ? COLOR_WINDOWTEXT : COLOR_BTNFACE));
        }
        const int row = gdi::to_device(3, quarters);
        for (int x = 0; x < canvas.size; ++x) {
            const int logical = gdi::to_logical(x, quarters) - 3;
            ASSERT_EQ(canvas.at(x, row), sys_pixel(logical % 2 == 0 ? COLOR_WINDOWTEXT : COLOR_BTNFACE)) << x;
        }

        // A sunken edge: two rings, each a line wide, from the device edge
        // of the rectangle; the middle meets them.
        RECT box{2, 10, 20, 30};
        DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST);
        EXPECT_EQ(box.left, 4);
        EXPECT_EQ(box.bottom, 28);
        const int left = gdi::to_device(2 + 3, quarters), y = gdi::to_device(20 + 1, quarters);
        for (int i = 0; i < 3 * line; ++i) {
            const int expected = i < line ? COLOR_BTNSHADOW : i < 2 * line ? COLOR_3DDKSHADOW : COLOR_BTNFACE;
            EXPECT_EQ(canvas.at(left + i, y), sys_pixel(expected)) << i;
        }

        // The focus rectangle: dots a line square, each outline pixel once.
        std::vector<uint32_t> before = canvas.pixels;
        const RECT focus{22, 10, 38, 30};
        DrawFocusRect(dc, &focus);
        // Along the top, past the left side: half the pixels, and none below.
        const int fx = gdi::to_device(22 + 3, quarters) + line, fy = gdi::to_device(10 + 1, quarters);
        int inverted = 0;
        for (int i = 0; i < 4 * line; ++i) {
            inverted += canvas.at(fx + i, fy) != before[static_cast<size_t>(fy) * canvas.size + fx + i];
            EXPECT_EQ(canvas.at(fx + i, fy + line), before[static_cast<size_t>(fy + line) * canvas.size + fx + i]);
        }
        EXPECT_EQ(inverted, 2 * line);
        DrawFocusRect(dc, &focus);
        EXPECT_EQ(canvas.pixels, before);

        // Text in the text colour over an opaque background, and nothing else.
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        TextOutA(dc, 0, 31, "Ag&", 3);
        int ink = 0;
        for (int py = gdi::to_device(31 + 1, quarters); py < canvas.size; ++py) {
            for (int px = 0; px < canvas.size; ++px) {
                ASSERT_TRUE(canvas.at(px, py) == 0 || canvas.at(px, py) == 0xFFFFFF) << px << "," << py;
                ink += canvas.at(px, py) == 0;
            }
        }
        EXPECT_GT(ink, 10 * quarters / 4);
        gdi::delete_dc(dc);
    }
}
