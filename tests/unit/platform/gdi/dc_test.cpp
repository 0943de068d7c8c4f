// Device contexts and the shape drawing calls: clipping, origin, the drawn
// area, GDI objects, 3D edges and the focus rectangle.
#include <gtest/gtest.h>

#include "platform/posix/gdi/device_context.h"
#include "tests/unit/platform/gdi/canvas.h"

using paint_test::Canvas;
using paint_test::sentinel;
using paint_test::sys;
using paint_test::sys_brush;

TEST(PaintDc, DrawingStaysInsideTheClipAndHonoursTheOrigin) {
    std::vector<uint32_t> pixels(40 * 30, sentinel);
    gdi::PixelBuffer buffer{pixels.data(), 40, 30, 40};
    const RECT clip{12, 6, 20, 15};
    HDC dc = gdi::create_dc(&buffer, 10, 5, clip);
    ASSERT_NE(dc, nullptr);

    RECT everything{-50, -50, 100, 100};
    EXPECT_NE(FillRect(dc, &everything, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))), 0);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
            ASSERT_EQ(pixels[y * 40 + x], inside ? 0xFFFFFFu : sentinel) << x << "," << y;
        }
    }
    RECT drawn = gdi::dc_drawn_area(dc);
    EXPECT_EQ(drawn.left, clip.left);
    EXPECT_EQ(drawn.top, clip.top);
    EXPECT_EQ(drawn.right, clip.right);
    EXPECT_EQ(drawn.bottom, clip.bottom);

    // Client (3, 2) is buffer (13, 7); client (0, 0) lies outside the clip.
    SetPixel(dc, 3, 2, RGB(0x11, 0x22, 0x33));
    SetPixel(dc, 0, 0, RGB(0, 0, 0));
    EXPECT_EQ(pixels[7 * 40 + 13], 0x112233u);
    EXPECT_EQ(pixels[5 * 40 + 10], sentinel);

    // Lines and text are clipped the same way.
    MoveToEx(dc, -10, 12, nullptr);
    LineTo(dc, 40, 12);
    SetBkMode(dc, OPAQUE);
    TextOutA(dc, -5, -5, "WWWWWWWWWWWW", 12);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) {
                ASSERT_EQ(pixels[y * 40 + x], sentinel) << x << "," << y;
            }
        }
    }
    gdi::delete_dc(dc);
}

TEST(PaintDc, DrawnAreaCoversWhatWasDrawnOnly) {
    Canvas canvas(50, 40, sentinel, 5, 5);
    RECT area = gdi::dc_drawn_area(canvas.dc);
    EXPECT_TRUE(area.right <= area.left || area.bottom <= area.top);
    // A hollow brush and an empty rectangle draw nothing.
    RECT r{1, 1, 10, 10};
    FillRect(canvas.dc, &r, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    RECT none{4, 4, 4, 9};
    FillRect(canvas.dc, &none, sys_brush(COLOR_BTNFACE));
    area = gdi::dc_drawn_area(canvas.dc);
    EXPECT_TRUE(area.right <= area.left || area.bottom <= area.top);

    SetPixel(canvas.dc, 2, 3, RGB(1, 2, 3));
    SetPixel(canvas.dc, 10, 20, RGB(1, 2, 3));
    area = gdi::dc_drawn_area(canvas.dc);
    EXPECT_EQ(area.left, 7);
    EXPECT_EQ(area.top, 8);
    EXPECT_EQ(area.right, 16);
    EXPECT_EQ(area.bottom, 26);
}

// Text blends a glyph's coverage block at once: the same pixels and the same
// drawn area as blending it pixel by pixel, the clip cutting through it.
TEST(PaintDc, ACoverageBlockBlendsAsItsPixelsDoOneByOne) {
    const int width = 5, height = 4;
    const uint8_t coverage[width * height] = {0,   255, 255, 0,   0, 128, 255, 0, 64, 255,
                                              255, 0,   1,   254, 0, 0,   0,   0, 0,  0};
    const RECT clip{3, 2, 9, 9};
    std::vector<uint32_t> whole(12 * 10, sentinel), by_pixel(12 * 10, sentinel);
    gdi::PixelBuffer whole_buffer{whole.data(), 12, 10, 12}, by_pixel_buffer{by_pixel.data(), 12, 10, 12};
    HDC whole_dc = gdi::create_dc(&whole_buffer, 0, 0, clip);
    HDC by_pixel_dc = gdi::create_dc(&by_pixel_buffer, 0, 0, clip);
    gdi::find_dc(whole_dc)->blend_coverage(1, 3, width, height, coverage, RGB(10, 200, 30));
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            gdi::find_dc(by_pixel_dc)
                ->blend_device(1 + column, 3 + row, RGB(10, 200, 30), coverage[row * width + column]);
        }
    }
    EXPECT_EQ(whole, by_pixel);
    const RECT a = gdi::dc_drawn_area(whole_dc), b = gdi::dc_drawn_area(by_pixel_dc);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.top, b.top);
    EXPECT_EQ(a.right, b.right);
    EXPECT_EQ(a.bottom, b.bottom);
    EXPECT_EQ(a.left, 3);
    EXPECT_EQ(a.bottom, 6);
    gdi::delete_dc(whole_dc);
    gdi::delete_dc(by_pixel_dc);
}

TEST(PaintDc, FillRectTakesASystemColourIndexPlusOne) {
    Canvas canvas(10, 10);
    RECT r{0, 0, 5, 5};
    EXPECT_NE(FillRect(canvas.dc, &r, sys_brush(COLOR_BTNFACE)), 0);
    EXPECT_EQ(canvas.at(4, 4), sys(COLOR_BTNFACE));
    EXPECT_EQ(canvas.at(5, 5), sentinel);
    RECT s{5, 5, 10, 10};
    FillRect(canvas.dc, &s, GetSysColorBrush(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.at(9, 9), sys(COLOR_BTNSHADOW));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(canvas.dc, &r, red);
    EXPECT_EQ(canvas.at(0, 0), 0xFF0000u);
    EXPECT_TRUE(DeleteObject(red));
}

TEST(PaintDc, ClassicSystemColours) {
    // The classic grey scheme: light face, white highlight, two shadows.
    const uint32_t face = sys(COLOR_BTNFACE);
    EXPECT_EQ(face, 0xF5F5F5u);
    EXPECT_EQ(sys(COLOR_BTNHIGHLIGHT), 0xFFFFFFu);
    EXPECT_LT(sys(COLOR_BTNSHADOW) & 0xFF, face & 0xFF);
    EXPECT_LT(sys(COLOR_3DDKSHADOW) & 0xFF, sys(COLOR_BTNSHADOW) & 0xFF);
    EXPECT_EQ(sys(COLOR_WINDOW), 0xFFFFFFu);
    EXPECT_EQ(sys(COLOR_WINDOWTEXT), 0u);
    EXPECT_EQ(sys(COLOR_BTNTEXT), 0u);
}

TEST(PaintDc, HandlesAreValidatedAndStockObjectsSurviveDeletion) {
    Canvas canvas(10, 10);
    RECT r{0, 0, 10, 10};
    HBRUSH bogus = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(0x5000));
    EXPECT_EQ(FillRect(canvas.dc, &r, bogus), 0);
    EXPECT_EQ(canvas.at(0, 0), sentinel);
    HDC bogus_dc = reinterpret_cast<HDC>(&r);
    EXPECT_EQ(FillRect(bogus_dc, &r, sys_brush(COLOR_WINDOW)), 0);
    EXPECT_EQ(SelectObject(bogus_dc, GetStockObject(WHITE_BRUSH)), nullptr);
    EXPECT_EQ(SelectObject(canvas.dc, bogus), nullptr);
    EXPECT_FALSE(DrawEdge(bogus_dc, &r, EDGE_RAISED, BF_RECT));
    EXPECT_EQ(GetStockObject(99), nullptr);

    HGDIOBJ gui = GetStockObject(DEFAULT_GUI_FONT);
    HGDIOBJ system = GetStockObject(SYSTEM_FONT);
    ASSERT_NE(gui, nullptr);
    ASSERT_NE(system, nullptr);
    EXPECT_NE(gui, system);
    // The DC starts with the system font; selecting returns the previous one.
    EXPECT_EQ(SelectObject(canvas.dc, gui), system);
    EXPECT_EQ(SelectObject(canvas.dc, system), gui);
    EXPECT_TRUE(DeleteObject(gui));
    EXPECT_EQ(SelectObject(canvas.dc, gui), system);

    // An object in use by a DC is not freed under it; once deselected it is,
    // and its handle is dead afterwards.
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HGDIOBJ previous = SelectObject(canvas.dc, pen);
    ASSERT_NE(previous, nullptr);
    EXPECT_FALSE(DeleteObject(pen));
    MoveToEx(canvas.dc, 0, 5, nullptr);
    LineTo(canvas.dc, 3, 5);
    EXPECT_EQ(canvas.at(0, 5), 0x0000FFu);
    EXPECT_EQ(SelectObject(canvas.dc, previous), pen);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_FALSE(DeleteObject(pen));
    EXPECT_EQ(SelectObject(canvas.dc, pen), nullptr);

    // A deleted DC is dead too.
    std::vector<uint32_t> pixels(4, sentinel);
    gdi::PixelBuffer buffer{pixels.data(), 2, 2, 2};
    HDC dc = gdi::create_dc(&buffer, 0, 0, RECT{0, 0, 2, 2});
    gdi::delete_dc(dc);
    gdi::delete_dc(dc);
    EXPECT_EQ(FillRect(dc, &r, sys_brush(COLOR_WINDOW)), 0);
    EXPECT_EQ(pixels[0], sentinel);
    EXPECT_EQ(SetTextColor(dc, 0), 0xFFFFFFFFu);
}

TEST(PaintDc, LineToLeavesOutTheEndPoint) {
    Canvas canvas(10, 10);
    POINT old{};
    MoveToEx(canvas.dc, 1, 1, nullptr);
    MoveToEx(canvas.dc, 2, 3, &old);
    EXPECT_EQ(old.x, 1);
    EXPECT_EQ(old.y, 1);
    LineTo(canvas.dc, 2, 7);
    for (int y = 3; y < 7; ++y) {
        EXPECT_EQ(canvas.at(2, y), 0u) << y;
    }
    EXPECT_EQ(canvas.at(2, 7), sentinel);
    LineTo(canvas.dc, 6, 7);  // continues from the last end point
    EXPECT_EQ(canvas.at(2, 7), 0u);
    EXPECT_EQ(canvas.at(6, 7), sentinel);
}

TEST(PaintDc, EdgesUseTheTwoToneBevelColours) {
    const uint32_t hi = sys(COLOR_BTNHIGHLIGHT), light = sys(COLOR_3DLIGHT), shadow = sys(COLOR_BTNSHADOW),
                   dark = sys(COLOR_3DDKSHADOW), face = sys(COLOR_BTNFACE);
    {
        // A push button's bevel: white then light at the top left, the dark
        // shadow outside the shadow at the bottom right, which owns the
        // far corners.
        Canvas canvas(10, 10);
        RECT r{0, 0, 10, 10};
        EXPECT_TRUE(DrawEdge(canvas.dc, &r, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE));
        EXPECT_EQ(canvas.at(0, 0), hi);
        EXPECT_EQ(canvas.at(5, 0), hi);
        EXPECT_EQ(canvas.at(0, 5), hi);
        EXPECT_EQ(canvas.at(1, 1), light);
        EXPECT_EQ(canvas.at(9, 0), dark);
        EXPECT_EQ(canvas.at(0, 9), dark);
        EXPECT_EQ(canvas.at(9, 9), dark);
        EXPECT_EQ(canvas.at(8, 8), shadow);
        EXPECT_EQ(canvas.at(8, 1), shadow);
        EXPECT_EQ(canvas.at(5, 5), face);
        EXPECT_EQ(r.left, 0);  // no BF_ADJUST
    }
    {
        Canvas canvas(10, 10);
        RECT r{0, 0, 10, 10};
        DrawEdge(canvas.dc, &r, EDGE_RAISED, BF_RECT);
        EXPECT_EQ(canvas.at(0, 0), light);
        EXPECT_EQ(canvas.at(1, 1), hi);
        EXPECT_EQ(canvas.at(5, 5), paint_test::sentinel);
    }
    {
        Canvas canvas(10, 10);
        RECT r{0, 0, 10, 10};
        DrawEdge(canvas.dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        EXPECT_EQ(canvas.at(0, 0), shadow);
        EXPECT_EQ(canvas.at(1, 1), dark);
        EXPECT_EQ(canvas.at(9, 9), hi);
        EXPECT_EQ(canvas.at(8, 8), light);
        EXPECT_EQ(r.left, 2);
        EXPECT_EQ(r.top, 2);
        EXPECT_EQ(r.right, 8);
        EXPECT_EQ(r.bottom, 8);
    }
    {
        Canvas canvas(10, 10);
        RECT r{0, 0, 10, 10};
        DrawEdge(canvas.dc, &r, EDGE_ETCHED, BF_RECT);
        EXPECT_EQ(canvas.at(0, 0), shadow);
        EXPECT_EQ(canvas.at(1, 1), hi);
        EXPECT_EQ(canvas.at(9, 9), hi);
        EXPECT_EQ(canvas.at(8, 8), shadow);
    }
    {
        // Only the sides asked for, and a single ring adjusts by one.
        Canvas canvas(10, 10);
        RECT r{0, 0, 10, 10};
        DrawEdge(canvas.dc, &r, BDR_SUNKENOUTER, BF_TOP | BF_ADJUST);
        EXPECT_EQ(canvas.at(4, 0), shadow);
        EXPECT_EQ(canvas.at(0, 4), paint_test::sentinel);
        EXPECT_EQ(canvas.at(4, 9), paint_test::sentinel);
        EXPECT_EQ(r.top, 1);
        EXPECT_EQ(r.left, 0);
    }
    {
        Canvas canvas(10, 10);
        RECT r{0, 0, 10, 10};
        DrawEdge(canvas.dc, &r, EDGE_SUNKEN, BF_RECT | BF_FLAT);
        EXPECT_EQ(canvas.at(0, 0), shadow);
        EXPECT_EQ(canvas.at(9, 9), shadow);
        EXPECT_EQ(canvas.at(1, 1), face);
        DrawEdge(canvas.dc, &r, EDGE_SUNKEN, BF_RECT | BF_MONO);
        EXPECT_EQ(canvas.at(0, 0), sys(COLOR_WINDOWFRAME));
        EXPECT_EQ(canvas.at(1, 1), sys(COLOR_WINDOW));
    }
}

TEST(PaintDc, FocusRectangleDotsEveryOtherPixelAndUndoesItself) {
    Canvas canvas(12, 12, 0xF5F5F5);
    const RECT r{2, 2, 10, 9};
    ASSERT_TRUE(DrawFocusRect(canvas.dc, &r));
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool outline = x >= r.left && x < r.right && y >= r.top && y < r.bottom &&
                                 (x == r.left || x == r.right - 1 || y == r.top || y == r.bottom - 1);
            const bool dotted = outline && ((x + y) & 1);
            EXPECT_EQ(canvas.at(x, y), dotted ? 0x0A0A0Au : 0xF5F5F5u) << x << "," << y;
        }
    }
    DrawFocusRect(canvas.dc, &r);
    EXPECT_EQ(canvas.count(0xF5F5F5, RECT{0, 0, 12, 12}), 144);
}
