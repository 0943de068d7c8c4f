// The tool's window and its message box drawn at the device scales of a
// desktop (1, 1.25, 1.5, 2, 3) on the headless display: sizes on screen,
// clicks at the edges of every control, text neither clipped nor smoothed
// and of the right size, and at 2 the scale-1 picture in 2 x 2 blocks; a
// window the display moves to another scale is drawn anew at it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/posix/gdi/device_scale.h"
#include "tests/unit/platform/user/test_window.h"
#include "tests/unit/platform/user/tool_layout.h"

namespace {

constexpr uint32_t text_colour = 0x000000;  // COLOR_BTNTEXT, COLOR_WINDOWTEXT
constexpr int child_count = sizeof user_test::tool_children / sizeof user_test::tool_children[0];
constexpr int checkbox_count = 27;
constexpr int first_button = 32;  // Check All, then Uncheck All, Set Filter and Exit

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

Picture capture(HWND top) {
    Picture p;
    display::headless::pixels(reinterpret_cast<display::SurfaceId>(top), &p.pixels, &p.width, &p.height);
    return p;
}

RECT device_of(const RECT& r, int quarters) {
    return RECT{gdi::to_device(r.left, quarters), gdi::to_device(r.top, quarters), gdi::to_device(r.right, quarters),
                gdi::to_device(r.bottom, quarters)};
}

RECT child_rect(const user_test::Child& c) {
    return RECT{c.x, c.y, c.x + c.width, c.y + c.height};
}

// The bounding box of the text-coloured pixels inside a region, empty when
// there are none. Check marks are left out by the regions.
RECT ink_box(const Picture& p, const RECT& region) {
    RECT box{region.right, region.bottom, region.left, region.top};
    for (int y = region.top; y < region.bottom; ++y) {
        for (int x = region.left; x < region.right; ++x) {
            if (p.at(x, y) == text_colour) {
                box = RECT{x < box.left ? x : box.left, y < box.top ? y : box.top, x >= box.right ? x + 1 : box.right,
                           y >= box.bottom ? y + 1 : box.bottom};
            }
        }
    }
    return box;
}

// Where a control draws its label, in logical client coordinates of the
// window: right of a checkbox's box, inside a button's bevel.
RECT label_region(const user_test::Child& c) {
    RECT r = child_rect(c);
    if (c.style == user_test::check_style) {
        r.left += 16;
    } else if (c.style == user_test::button_style) {
        r = RECT{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
    } else if (c.style == user_test::frame_style) {
        r.bottom = r.top + 13;
    }
    return r;
}

RECT grown(const RECT& r, int by) {
    return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by};
}

bool inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// The height of the inked rows of a capital H in the GUI font.
int cap_height(int quarters) {
    const int width = 40 * 4, height = 40 * 4;
    std::vector<uint32_t> pixels(width * height, 0xFFFFFF);
    gdi::PixelBuffer buffer{pixels.data(), width, height, width};
    HDC dc = gdi::create_dc(&buffer, 0, 0, RECT{0, 0, 40, 40}, quarters);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TextOutA(dc, 2, 2, "H", 1);
    gdi::delete_dc(dc);
    Picture p{width, height, pixels};
    const RECT ink = ink_box(p, RECT{0, 0, width, height});
    return ink.bottom - ink.top;
}

class DeviceScaleScenarios : public user_test::UserTest {
  protected:
    HWND build(int quarters, std::vector<HWND>* children) {
        display::headless::set_device_quarters(quarters);
        HWND top = user_test::make_top("Vorthane Sorvane for TXT by Ondrik");
        HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
        int id = 0;
        for (const user_test::Child& c : user_test::tool_children) {
            HWND child = user_test::make_child(top, c.cls, c.text, c.style, c.x, c.y, c.width, c.height, id);
            SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
            if (id < checkbox_count && id % 3 == 0) {
                SendMessageA(child, BM_SETCHECK, BST_CHECKED, 0);
            }
            children->push_back(child);
            ++id;
        }
        user_test::run_script();
        return top;
    }

    // Clicks each checkbox and the first three buttons at their centre and
    // one device pixel inside each edge; gives what did not respond.
    std::vector<std::string> click_every_control(HWND top, const std::vector<HWND>& children, int quarters) {
        std::vector<std::string> failures;
        std::vector<int> targets;
        for (int i = 0; i < checkbox_count; ++i) {
            targets.push_back(i);
        }
        targets.insert(targets.end(), {first_button, first_button + 1, first_button + 2});
        for (int i : targets) {
            const RECT d = device_of(child_rect(user_test::tool_children[i]), quarters);
            const int cx = (d.left + d.right) / 2, cy = (d.top + d.bottom) / 2;
            const POINT points[] = {{cx, cy}, {d.left, cy}, {d.right - 1, cy}, {cx, d.top}, {cx, d.bottom - 1}};
            for (const POINT& p : points) {
                HWND child = children[i];
                const LRESULT check_before = SendMessageA(child, BM_GETCHECK, 0, 0);
                const size_t commands_before = commands_from(top, i);
                player::click_device(top, p.x, p.y);
                player::call([=, &failures] {
                    const bool responded = i < checkbox_count ? SendMessageA(child, BM_GETCHECK, 0, 0) != check_before
                                                              : commands_from(top, i) == commands_before + 1;
                    if (!responded) {
                        failures.push_back(std::string(user_test::tool_children[i].text) + " at " +
                                           std::to_string(p.x) + "," + std::to_string(p.y));
                    }
                });
                // Only one click at a time: its effect is read before the next.
                user_test::run_script();
            }
        }
        return failures;
    }

    static size_t commands_from(HWND top, int id) {
        size_t n = 0;
        for (const user_test::Received& r : user_test::received()) {
            if (r.hwnd == top && r.message == WM_COMMAND && LOWORD(r.wparam) == id && HIWORD(r.wparam) == BN_CLICKED) {
                ++n;
            }
        }
        return n;
    }

    // Shows the box five times and clicks its OK at its centre and inside
    // each edge; gives what did not close it, and the box's surface size.
    std::vector<std::string> click_box_ok(HWND top, int quarters, SIZE* box_size, SIZE* box_client) {
        std::vector<std::string> failures;
        for (int point = 0; point < 5; ++point) {
            player::call([=, &failures] {
                HWND box = FindWindowA(nullptr, "Sorvane");
                HWND ok = box != nullptr ? GetDlgItem(box, IDOK) : nullptr;
                if (ok == nullptr) {
                    failures.push_back("no box");
                    return;
                }
                RECT r;
                GetWindowRect(ok, &r);
                POINT corner{r.left, r.top};
                ScreenToClient(box, &corner);
                const RECT d = device_of(
                    RECT{corner.x, corner.y, corner.x + r.right - r.left, corner.y + r.bottom - r.top}, quarters);
                const int cx = (d.left + d.right) / 2, cy = (d.top + d.bottom) / 2;
                const POINT points[] = {{cx, cy}, {d.left, cy}, {d.right - 1, cy}, {cx, d.top}, {cx, d.bottom - 1}};
                RECT client;
                GetClientRect(box, &client);
                *box_client = SIZE{client.right, client.bottom};
                Picture p = capture(box);
                *box_size = SIZE{p.width, p.height};
                player::click_device(box, points[point].x, points[point].y);
                player::call([=, &failures] {
                    if (IsWindow(box)) {
                        failures.push_back("OK at " + std::to_string(points[point].x) + "," +
                                           std::to_string(points[point].y));
                        player::type_key(VK_RETURN);
                    }
                });
            });
            MessageBoxA(top, "The filter is set.", "Sorvane", MB_OK);
        }
        return failures;
    }
};

}  // namespace

TEST_F(DeviceScaleScenarios, TheToolAtEveryDesktopScale) {
    Picture scale_one;
    std::vector<RECT> ink_one(child_count);
    const int cap_one = cap_height(gdi::unit_quarters);
    for (int quarters : {4, 5, 6, 8, 12}) {
        SCOPED_TRACE("scale " + std::to_string(quarters / 4.0));
        user::drop_desktop();
        player::install();
        user_test::register_recorder();
        user_test::received().clear();
        std::vector<HWND> children;
        std::vector<RECT> ink_at_scale(child_count);
        HWND top = build(quarters, &children);
        ASSERT_NE(top, nullptr);
        const Picture p = capture(top);
        if (const char* out = getenv("SORVANE_SCALE_OUTPUT")) {
            player::save_bmp(top, (std::string(out) + "-" + std::to_string(quarters * 25) + ".bmp").c_str());
        }

        // The window on screen: the client size times the scale, rounded.
        EXPECT_EQ(p.width, gdi::to_device(540, quarters));
        EXPECT_EQ(p.height, gdi::to_device(300, quarters));
        // The program still sees 96 DPI.
        RECT client;
        GetClientRect(top, &client);
        EXPECT_EQ(client.right, 540);
        EXPECT_EQ(client.bottom, 300);
        EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920 * 4 / quarters);

        // Text: never clipped, only the text and background colours, and
        // the capitals the scale-1 height times the scale.
        for (int i = 0; i < child_count; ++i) {
            const user_test::Child& c = user_test::tool_children[i];
            const RECT region = device_of(label_region(c), quarters);
            const RECT ink = ink_box(p, region);
            ASSERT_LT(ink.left, ink.right) << c.text;
            if (quarters == gdi::unit_quarters) {
                ink_one[i] = ink;
                continue;
            }
            ink_at_scale[i] = ink;
            // Not clipped: the ink keeps off the control's far edges, where a
            // glyph cut by the clip would end, and spans about what the
            // scale-1 text spans times the scale (the larger face's hinting
            // makes short words up to a few pixels narrower).
            const RECT control = device_of(child_rect(c), quarters);
            EXPECT_TRUE(ink.top > control.top && ink.right < control.right && ink.bottom < control.bottom) << c.text;
            const RECT expected = device_of(ink_one[i], quarters);
            const int slack = gdi::line_width(quarters) + 1;
            EXPECT_NEAR(ink.left, expected.left, slack) << c.text;
            EXPECT_NEAR(ink.top, expected.top, slack) << c.text;
            EXPECT_NEAR(ink.bottom, expected.bottom, slack) << c.text;
            EXPECT_GE((ink.right - ink.left) * 100, (expected.right - expected.left) * 85) << c.text;
            const RECT around = device_of(grown(ink_one[i], 1), quarters);
            int stray = 0;
            for (int y = around.top; y < around.bottom; ++y) {
                for (int x = around.left; x < around.right; ++x) {
                    stray += p.at(x, y) != text_colour && p.at(x, y) != GetSysColor(COLOR_BTNFACE);
                }
            }
            EXPECT_EQ(stray, 0) << c.text;
        }
        const int cap = cap_height(quarters);
        EXPECT_LE(abs(cap * 4 - cap_one * quarters), 4) << cap << " at scale 1: " << cap_one;

        // At 2, every pixel away from the text is a 2 x 2 block of scale 1.
        if (quarters == gdi::unit_quarters) {
            scale_one = p;
        } else if (quarters == 8) {
            int differing = 0;
            POINT first{-1, -1};
            for (int y = 0; y < 300; ++y) {
                for (int x = 0; x < 540; ++x) {
                    bool text = false;
                    for (int i = 0; i < child_count; ++i) {
                        const RECT& ink = ink_at_scale[i];
                        text = text || inside(grown(ink_one[i], 2), x, y) ||
                               inside(RECT{ink.left / 2 - 1, ink.top / 2 - 1, ink.right / 2 + 2, ink.bottom / 2 + 2}, x,
                                      y);
                    }
                    for (int i = 0; !text && i < 4; ++i) {
                        if (p.at(2 * x + i % 2, 2 * y + i / 2) != scale_one.at(x, y)) {
                            first = differing++ == 0 ? POINT{x, y} : first;
                        }
                    }
                }
            }
            EXPECT_EQ(differing, 0) << "the first at " << first.x << "," << first.y;
        }

        const std::vector<std::string> missed = click_every_control(top, children, quarters);
        EXPECT_TRUE(missed.empty()) << missed.size() << " clicks missed, the first: " << missed.front();

        SIZE box_size{}, box_client{};
        const std::vector<std::string> box_missed = click_box_ok(top, quarters, &box_size, &box_client);
        EXPECT_TRUE(box_missed.empty()) << box_missed.front();
        EXPECT_EQ(box_size.cx, gdi::to_device(box_client.cx, quarters));
        EXPECT_EQ(box_size.cy, gdi::to_device(box_client.cy, quarters));
        DestroyWindow(top);
    }
}

// A display that moves the window to another scale (a Wayland output of
// another scale): the same pixels as a window made at that scale, and
// clicks land.
TEST_F(DeviceScaleScenarios, AWindowRescaledIsDrawnAsOneMadeAtTheScale) {
    std::vector<HWND> made_at_two;
    HWND reference = build(8, &made_at_two);
    const Picture want = capture(reference);
    DestroyWindow(reference);
    user_test::run_script();

    std::vector<HWND> children;
    HWND top = build(4, &children);
    display::headless::set_device_quarters(8);
    display::Input input;
    input.kind = display::InputKind::Rescaled;
    input.surface = reinterpret_cast<display::SurfaceId>(top);
    user::queue_input(input);
    user_test::run_script();
    const Picture p = capture(top);
    EXPECT_EQ(p.width, 1080);
    EXPECT_EQ(p.height, 600);
    EXPECT_TRUE(p.pixels == want.pixels);
    const std::vector<std::string> missed = click_every_control(top, children, 8);
    EXPECT_TRUE(missed.empty()) << missed.size() << " clicks missed, the first: " << missed.front();
}
