// The classic window frame the layer draws where the display draws none:
// its pixels, what a click on each part does, and the painter the layer
// hands the display for its own windows.
#include "platform/posix/display/display.h"
#include "platform/posix/display/headless.h"
#include "platform/posix/gdi/gdi_objects.h"
#include "platform/posix/user/controls/look.h"
#include "tests/unit/platform/gdi/canvas.h"
#include "tests/unit/platform/user/test_window.h"

using paint_test::Canvas;
using paint_test::sys;
namespace look = user::look;

namespace {

// The tool's window: 540 x 300 inside a fixed frame of 3 and a caption of 19.
const RECT window{0, 0, 546, 325};
const RECT client{3, 22, 543, 322};
const RECT caption{3, 3, 543, 21};
const RECT close_box{525, 5, 541, 19};
const RECT title_zone{3, 3, 522, 21};
constexpr uint32_t black = 0, white = 0xFFFFFF;

}  // namespace

TEST(PaintLook, WindowFrameHasTheRaisedBorderTheCaptionAndTheCloseBox) {
    Canvas canvas(546, 325);
    look::draw_window_frame(canvas.dc, window, client, "Abc", look::FrameActive | look::FrameCloseBox);
    EXPECT_EQ(canvas.at(0, 0), sys(COLOR_3DLIGHT));
    EXPECT_EQ(canvas.at(1, 1), sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.at(2, 100), sys(COLOR_BTNFACE));
    EXPECT_EQ(canvas.at(545, 324), sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.at(544, 323), sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.count(sys(COLOR_BTNFACE), RECT{3, 21, 543, 22}), 540);  // the line under the caption
    // The client area is left as it was.
    EXPECT_EQ(canvas.count(paint_test::sentinel, client), 540 * 300);
    // The gradient runs from the caption colour to its partner.
    EXPECT_EQ(canvas.at(caption.left, 10), sys(COLOR_ACTIVECAPTION));
    EXPECT_EQ(canvas.at(caption.right - 1, 10), sys(COLOR_GRADIENTACTIVECAPTION));
    // The title, white, at the left; the close box's cross, black.
    const int title_pixels = canvas.count(white, RECT{3, 3, 40, 21});
    EXPECT_GT(title_pixels, 20);
    EXPECT_EQ(canvas.count(white, RECT{40, 3, 522, 21}), 0);
    EXPECT_EQ(canvas.count(black, close_box), 26);
    EXPECT_EQ(canvas.at(close_box.left + 4, close_box.top + 3), black);
    EXPECT_EQ(canvas.at(close_box.left + 3, close_box.top + 10), sys(COLOR_BTNFACE));
}

TEST(PaintLook, WindowFrameInactivePushedAndLongTitles) {
    Canvas canvas(546, 325);
    const unsigned flags = look::FrameCloseBox | look::FrameClosePushed;
    look::draw_window_frame(canvas.dc, window, client, "Abc", flags);
    EXPECT_EQ(canvas.at(caption.left, 10), sys(COLOR_INACTIVECAPTION));
    EXPECT_EQ(canvas.count(white, title_zone), 0);
    EXPECT_GT(canvas.count(sys(COLOR_INACTIVECAPTIONTEXT), RECT{3, 3, 40, 21}), 20);
    // Pushed, the cross moves a pixel down and right.
    EXPECT_EQ(canvas.count(black, close_box), 26);
    EXPECT_EQ(canvas.at(close_box.left + 5, close_box.top + 4), black);

    // A title too long for the caption stops short of the close box; none, nothing.
    look::draw_window_frame(canvas.dc, window, client, std::string(200, 'W').c_str(), look::FrameActive | flags);
    EXPECT_GT(canvas.count(white, RECT{400, 3, 520, 21}), 100);
    EXPECT_EQ(canvas.count(white, RECT{523, 3, close_box.left, 21}), 0);
    look::draw_window_frame(canvas.dc, window, client, "", look::FrameActive);
    EXPECT_EQ(canvas.count(white, caption), 0);
    EXPECT_EQ(canvas.count(black, close_box), 0);  // without WS_SYSMENU no close box
}

// The small icon two pixels in from the caption's left, its clear pixels
// the caption's; the title after it in the bold caption font, all of it
// inside the caption.
TEST(PaintLook, WindowFrameWithTheSmallIcon) {
    std::vector<uint32_t> picture(16 * 16);
    display::draw_default_icon(16, picture.data());
    const look::FrameIconPicture icon{picture.data(), 16};
    Canvas canvas(546, 325), plain(546, 325);
    const unsigned flags = look::FrameActive | look::FrameCloseBox;
    look::draw_window_frame(canvas.dc, window, client, "Abc", flags | look::FrameIcon, &icon);
    look::draw_window_frame(plain.dc, window, client, "Abc", flags);
    for (int y = 0; y < 16; y++) {
        for (int x = 0; x < 16; x++) {
            const uint32_t pixel = picture[y * 16 + x];
            const uint32_t want = pixel >> 24 ? pixel & 0xFFFFFF : plain.at(5 + x, 4 + y);
            ASSERT_EQ(canvas.at(5 + x, 4 + y), want) << x << ", " << y;
        }
    }
    EXPECT_EQ(canvas.count(white, RECT{21, 3, 23, 21}), 0);
    const int title_pixels = canvas.count(white, RECT{23, 3, 60, 21});
    EXPECT_EQ(title_pixels, plain.count(white, RECT{3, 3, 40, 21}));
    EXPECT_EQ(canvas.count(white, RECT{60, 3, 522, 21}), 0);
    EXPECT_EQ(canvas.count(white, RECT{23, 3, 60, 5}) + canvas.count(white, RECT{23, 19, 60, 21}), 0);
    // The bold face's stems: more ink than the regular face's, drawn once.
    bool bold = false;
    gdi::caption_font(&bold);
    EXPECT_TRUE(bold);
    Canvas regular(546, 325);
    SelectObject(regular.dc, GetStockObject(DEFAULT_GUI_FONT));
    SetTextColor(regular.dc, white);
    SetBkMode(regular.dc, TRANSPARENT);
    TextOutA(regular.dc, 0, 0, "Abc", 3);
    EXPECT_GT(title_pixels, regular.count(white, RECT{0, 0, 40, 20}));
    // Without the picture the place is kept and the caption shows.
    look::draw_window_frame(canvas.dc, window, client, "Abc", flags | look::FrameIcon);
    EXPECT_EQ(canvas.count(sys(COLOR_ACTIVECAPTION), RECT{5, 4, 6, 20}), 16);
}

TEST(PaintLook, FramePartsAtEachPoint) {
    struct Row {
        int x, y;
        unsigned flags;
        look::FramePart part;
    };
    const Row rows[] = {
        {3, 22, look::FrameCloseBox, look::FramePart::Client},
        {542, 321, 0, look::FramePart::Client},
        {100, 10, look::FrameCloseBox, look::FramePart::Caption},
        {100, 21, 0, look::FramePart::Caption},
        {533, 12, look::FrameCloseBox, look::FramePart::CloseBox},
        {533, 12, 0, look::FramePart::Caption},
        {524, 12, look::FrameCloseBox, look::FramePart::Caption},
        {541, 12, look::FrameCloseBox, look::FramePart::Caption},
        {1, 10, look::FrameCloseBox, look::FramePart::Border},
        {100, 1, 0, look::FramePart::Border},
        {2, 200, 0, look::FramePart::Border},
        {300, 323, 0, look::FramePart::Border},
        {-5, -5, 0, look::FramePart::Border},
        {3, 3, look::FrameIcon, look::FramePart::Icon},
        {20, 20, look::FrameIcon, look::FramePart::Icon},
        {21, 10, look::FrameIcon, look::FramePart::Caption},
        {10, 21, look::FrameIcon, look::FramePart::Caption},
        {10, 10, look::FrameCloseBox, look::FramePart::Caption},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(look::frame_part_at(window, client, row.flags, row.x, row.y), row.part) << row.x << ", " << row.y;
    }
}

namespace {

// A top-level window, the painter the layer hands the display, and the
// insets it gives that window.
class UserFrame : public user_test::UserTest {
  protected:
    void make_framed(const char* title) {
        top = user_test::make_top(title);
        painter = display::headless::frame_painter();
        ASSERT_NE(painter, nullptr);
        id = reinterpret_cast<display::SurfaceId>(top);
        int left = 0, above = 0, right = 0, below = 0;
        ASSERT_TRUE(painter->insets(id, &left, &above, &right, &below));
        insets = {left, above, right, below};
    }

    HWND top = nullptr;
    const display::FramePainter* painter = nullptr;
    display::SurfaceId id = 0;
    std::vector<int> insets;
};

}  // namespace

// The painter the layer hands the display draws a window's own frame, from
// its style and title; a window without a caption has none.
TEST_F(UserFrame, ThePainterDrawsAWindowsOwnFrame) {
    ASSERT_NO_FATAL_FAILURE(make_framed("Abc"));
    EXPECT_EQ(insets, (std::vector<int>{3, 22, 3, 3}));
    EXPECT_EQ(painter->part_at(id, 533, 12), display::FramePart::CloseBox);
    EXPECT_EQ(painter->part_at(id, 100, 10), display::FramePart::Caption);
    EXPECT_EQ(painter->part_at(id, 10, 30), display::FramePart::Client);

    // The painter lays the face under everything: the client area is drawn over it.
    Canvas framed(546, 325), own(546, 325, sys(COLOR_BTNFACE));
    painter->draw(id, framed.pixels.data(), 546, 325, 546, display::FrameActive | display::FrameClosePushed);
    std::vector<uint32_t> picture(16 * 16);
    display::draw_default_icon(16, picture.data());
    const look::FrameIconPicture icon{picture.data(), 16};
    look::draw_window_frame(own.dc, window, client, "Abc",
                            look::FrameActive | look::FrameCloseBox | look::FrameClosePushed | look::FrameIcon, &icon);
    EXPECT_EQ(framed.pixels, own.pixels);
    EXPECT_EQ(painter->part_at(id, 10, 10), display::FramePart::Icon);

    HWND popup = CreateWindowExA(0, user_test::recorder_class, "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    int left = 0, above = 0, right = 0, below = 0;
    EXPECT_FALSE(painter->insets(reinterpret_cast<display::SurfaceId>(popup), &left, &above, &right, &below));
    DestroyWindow(popup);
    DestroyWindow(top);
}

// At a device scale the frame is in device pixels like the client area:
// each edge mapped on its own (1.5: 3 -> 5, 22 -> 33, 546 -> 819), the
// client area as large as its buffer at the left and top insets, and clicks
// hit-tested at the logical pixel under them.
TEST_F(UserFrame, AtADeviceScaleTheFrameIsInDevicePixels) {
    display::headless::set_device_quarters(6);
    ASSERT_NO_FATAL_FAILURE(make_framed("Abc"));
    EXPECT_EQ(insets, (std::vector<int>{5, 33, 4, 5}));
    EXPECT_EQ(insets[0] + 810 + insets[2], 819);
    EXPECT_EQ(painter->part_at(id, 800, 15), display::FramePart::CloseBox);  // logical 533, 10
    EXPECT_EQ(painter->part_at(id, 150, 15), display::FramePart::Caption);
    EXPECT_EQ(painter->part_at(id, 10, 40), display::FramePart::Client);

    Canvas framed(819, 488);
    painter->draw(id, framed.pixels.data(), 819, 488, 819, display::FrameActive);
    EXPECT_EQ(framed.at(0, 0), sys(COLOR_3DLIGHT));
    EXPECT_EQ(framed.at(818, 487), sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(framed.at(6, 15), sys(COLOR_ACTIVECAPTION));
    // The cross's 26 logical pixels, each 1.5 device pixels a side.
    const int cross = framed.count(black, RECT{787, 7, 812, 29});
    EXPECT_GT(cross, 26 * 2);
    EXPECT_LT(cross, 26 * 4);
    EXPECT_GT(framed.count(white, RECT{35, 5, 90, 31}), 40);
    // The small icon at its size on the device: 24 x 24 from (8, 6), its
    // frame a pixel wide.
    std::vector<uint32_t> picture(24 * 24);
    display::draw_default_icon(24, picture.data());
    EXPECT_EQ(framed.at(8 + 12, 6 + 2), picture[2 * 24 + 12] & 0xFFFFFF);
    EXPECT_EQ(framed.at(8 + 12, 6 + 4), picture[4 * 24 + 12] & 0xFFFFFF);
    EXPECT_EQ(framed.at(8 + 12, 6 + 18), picture[18 * 24 + 12] & 0xFFFFFF);
    DestroyWindow(top);
}
