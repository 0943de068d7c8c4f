// The BUTTON and STATIC classes driven by messages and by the player, and
// the painting glue that shows them.
#include <stdio.h>

#include <algorithm>

#include "tests/unit/platform/user/test_window.h"

namespace {

using namespace user_test;

class UserControls : public UserTest {
  protected:
    std::vector<WPARAM> commands_to(HWND parent) {
        std::vector<WPARAM> out;
        for (const Received& r : received()) {
            if (r.hwnd == parent && r.message == WM_COMMAND) {
                out.push_back(r.wparam);
            }
        }
        return out;
    }
};

TEST_F(UserControls, AutomaticCheckboxKeepsAnyValueAboveOneAsCheckedWithoutNotifying) {
    HWND top = make_top();
    HWND box = make_child(top, "BUTTON", "Axes", WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX, 35, 65, 90, 20, 0);
    const struct {
        WPARAM value;
        LRESULT check;
    } cases[] = {{1, 1}, {0, 0}, {2, 1}, {0, 0}, {static_cast<WPARAM>(-1), 1}, {127, 1}, {0, 0}};
    for (const auto& c : cases) {
        SendMessageA(box, BM_SETCHECK, c.value, 0);
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), c.check) << c.value;
    }
    EXPECT_TRUE(commands_to(top).empty());
    // A push button has no check to set.
    HWND push = make_child(top, "BUTTON", "Exit", WS_TABSTOP | BS_PUSHBUTTON, 440, 260, 80, 25, 35);
    SendMessageA(push, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageA(push, BM_GETCHECK, 0, 0), 0);
}

TEST_F(UserControls, ClickTogglesTheCheckboxThenNotifiesTheParent) {
    HWND top = make_top();
    HWND box = make_child(top, "BUTTON", "Bows", WS_TABSTOP | BS_AUTOCHECKBOX, 35, 90, 90, 20, 1);
    player::click(box, 5, 5);
    run_script();
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    player::click(box, 5, 5);
    run_script();
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(commands_to(top), (std::vector<WPARAM>{MAKEWPARAM(1, BN_CLICKED), MAKEWPARAM(1, BN_CLICKED)}));
    for (const Received& r : received()) {
        if (r.message == WM_COMMAND) {
            EXPECT_EQ(reinterpret_cast<HWND>(r.lparam), box);
        }
    }
    // A plain checkbox only notifies; its owner decides.
    HWND plain = make_child(top, "BUTTON", "Plain", WS_TABSTOP | BS_CHECKBOX, 35, 120, 90, 20, 2);
    SendMessageA(plain, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageA(plain, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(commands_to(top).back(), MAKEWPARAM(2, BN_CLICKED));
}

TEST_F(UserControls, SpacePushesOnKeyDownAndClicksOnKeyUp) {
    HWND top = make_top();
    HWND button = make_child(top, "BUTTON", "Check All", WS_TABSTOP | BS_PUSHBUTTON, 20, 260, 80, 25, 32);
    SetFocus(button);
    EXPECT_EQ(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_FOCUS, BST_FOCUS);
    player::key_down(VK_SPACE);
    run_script();
    EXPECT_EQ(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED, BST_PUSHED);
    EXPECT_TRUE(commands_to(top).empty());
    player::key_up(VK_SPACE);
    run_script();
    EXPECT_EQ(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    EXPECT_EQ(commands_to(top), (std::vector<WPARAM>{MAKEWPARAM(32, BN_CLICKED)}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(UserControls, ReleaseOutsideTheButtonIsNoClick) {
    HWND top = make_top();
    HWND button = make_child(top, "BUTTON", "Set Filter", WS_TABSTOP | BS_PUSHBUTTON, 345, 260, 80, 25, 34);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(GetCapture(), button);
    EXPECT_EQ(GetFocus(), button);
    SendMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-20, 5));
    EXPECT_EQ(SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED, 0);
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(-20, 5));
    EXPECT_TRUE(commands_to(top).empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(UserControls, DialogCodesHitTestsAndFonts) {
    HWND top = make_top();
    HWND push = make_child(top, "BUTTON", "p", BS_PUSHBUTTON, 0, 0, 10, 10, 1);
    HWND def = make_child(top, "BUTTON", "d", BS_DEFPUSHBUTTON, 0, 0, 10, 10, 2);
    HWND check = make_child(top, "BUTTON", "c", BS_AUTOCHECKBOX, 0, 0, 10, 10, 3);
    HWND frame = make_child(top, "BUTTON", "f", BS_GROUPBOX, 0, 0, 10, 10, 4);
    HWND text = make_child(top, "STATIC", "s", SS_LEFT, 0, 0, 10, 10, 5);
    EXPECT_EQ(SendMessageA(push, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    EXPECT_EQ(SendMessageA(def, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(SendMessageA(check, WM_GETDLGCODE, 0, 0), DLGC_BUTTON);
    EXPECT_EQ(SendMessageA(frame, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
    EXPECT_EQ(SendMessageA(frame, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    EXPECT_EQ(SendMessageA(text, WM_NCHITTEST, 0, 0), HTTRANSPARENT);
    EXPECT_EQ(SendMessageA(push, WM_NCHITTEST, 0, 0), HTCLIENT);
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    for (HWND h : {push, check, frame, text}) {
        SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(h, WM_GETFONT, 0, 0)), font);
    }
    EXPECT_EQ(SendMessageA(top, WM_GETFONT, 0, 0), 0);  // a plain window keeps none
}

TEST_F(UserControls, PaintingFillsTheClassBrushParentsFirstAndPresentsThePixels) {
    HWND top = make_top();
    HWND child = make_child(top, recorder_class, "", 0, 10, 10, 50, 50, 1);
    HWND button = make_child(top, "BUTTON", "Exit", WS_TABSTOP | BS_PUSHBUTTON, 440, 260, 80, 25, 35);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    run_script();
    std::vector<HWND> painted;
    for (const Received& r : received()) {
        if (r.message == WM_PAINT) {
            painted.push_back(r.hwnd);
        }
    }
    ASSERT_GE(painted.size(), 2u);
    EXPECT_EQ(painted[0], top);
    EXPECT_EQ(painted[1], child);
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(display::headless::pixels(reinterpret_cast<display::SurfaceId>(top), &pixels, &width, &height));
    ASSERT_EQ(width, 540);
    ASSERT_EQ(height, 300);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    uint32_t face_pixel = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    EXPECT_EQ(pixels[5 * 540 + 5], face_pixel);
    // The button drew something other than the face: its bevel and text.
    bool button_drawn = false;
    for (int y = 260; y < 285; ++y) {
        for (int x = 440; x < 520; ++x) {
            button_drawn = button_drawn || pixels[y * 540 + x] != face_pixel;
        }
    }
    EXPECT_TRUE(button_drawn);
    // Nothing invalid is left, so nothing more is painted.
    received().clear();
    run_script();
    EXPECT_TRUE(messages_of(top, {WM_PAINT}).empty());
    // Only the invalid window repaints.
    InvalidateRect(child, nullptr, TRUE);
    run_script();
    EXPECT_TRUE(messages_of(top, {WM_PAINT}).empty());
    EXPECT_EQ(messages_of(child, {WM_PAINT, WM_ERASEBKGND}), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
    // ValidateRect takes the area away before it is painted.
    received().clear();
    InvalidateRect(child, nullptr, FALSE);
    ValidateRect(child, nullptr);
    run_script();
    EXPECT_TRUE(messages_of(child, {WM_PAINT}).empty());

    std::string path = ::testing::TempDir() + "user_controls_frame.bmp";
    ASSERT_TRUE(player::save_bmp(top, path.c_str()));
    FILE* file = fopen(path.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    fseek(file, 0, SEEK_END);
    EXPECT_EQ(ftell(file), 54 + 540 * 3 * 300);
    fclose(file);
    remove(path.c_str());
}

// The brush a parent returns for WM_CTLCOLORSTATIC is the background of its
// checkboxes and static text; for WM_CTLCOLORBTN, what a push button's
// bevel leaves uncovered.
TEST_F(UserControls, TheParentsControlColoursPaintTheControlsUnlessDisabled) {
    static HBRUSH green;
    green = CreateSolidBrush(RGB(0x20, 0x80, 0x40));
    static std::vector<std::pair<UINT, HWND>> asked;
    asked.clear();
    hook() = [](HWND, UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
        if (message != WM_CTLCOLORSTATIC && message != WM_CTLCOLORBTN) {
            return false;
        }
        asked.emplace_back(message, reinterpret_cast<HWND>(lparam));
        SetTextColor(reinterpret_cast<HDC>(wparam), RGB(0xC0, 0, 0));
        *result = reinterpret_cast<LRESULT>(green);
        return true;
    };
    HWND top = make_top();
    HWND checkbox = make_child(top, "BUTTON", "Axes", BS_AUTOCHECKBOX, 10, 10, 120, 20, 1);
    HWND text = make_child(top, "STATIC", "Druid", SS_LEFT, 10, 40, 120, 20, 2);
    HWND button = make_child(top, "BUTTON", "Exit", BS_PUSHBUTTON, 10, 70, 80, 25, 3);
    HWND frame = make_child(top, "BUTTON", "Armor", BS_GROUPBOX, 150, 10, 100, 60, 4);
    make_child(top, "STATIC", "Paladin", SS_LEFT | WS_DISABLED, 150, 80, 100, 20, 5);
    run_script();
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(display::headless::pixels(reinterpret_cast<display::SurfaceId>(top), &pixels, &width, &height));
    auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; };
    const uint32_t green_pixel = 0x208040;
    // Past the label's end, and between the box and the label.
    EXPECT_EQ(at(125, 20), green_pixel);
    EXPECT_EQ(at(10 + 14, 11), green_pixel);
    EXPECT_EQ(at(125, 50), green_pixel);
    EXPECT_EQ(at(10, 41), green_pixel);
    // The box itself stays white; the push button's face stays the face.
    EXPECT_EQ(at(10 + 6, 20), 0xFFFFFFu);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(at(50, 72), (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face));
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(UINT(WM_CTLCOLORSTATIC), checkbox)), asked.end());
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(UINT(WM_CTLCOLORSTATIC), text)), asked.end());
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(UINT(WM_CTLCOLORBTN), button)), asked.end());
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::make_pair(UINT(WM_CTLCOLORSTATIC), frame)), asked.end());
    // Labels in the parent's text colour but for the push button's, the group
    // box's caption gap in its brush; a disabled control stays grey.
    auto count = [&](RECT r, uint32_t colour) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                n += at(x, y) == colour ? 1 : 0;
            }
        }
        return n;
    };
    const uint32_t red_pixel = 0xC00000;
    EXPECT_GT(count(RECT{24, 10, 120, 30}, red_pixel), 0);
    EXPECT_GT(count(RECT{10, 40, 120, 60}, red_pixel), 0);
    EXPECT_EQ(count(RECT{12, 72, 88, 93}, red_pixel), 0);
    EXPECT_GT(count(RECT{158, 10, 240, 24}, red_pixel), 0);
    EXPECT_GT(count(RECT{157, 10, 240, 12}, green_pixel), 0);
    COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
    EXPECT_EQ(count(RECT{150, 80, 250, 100}, red_pixel), 0);
    EXPECT_GT(count(RECT{150, 80, 250, 100}, (GetRValue(grey) << 16) | (GetGValue(grey) << 8) | GetBValue(grey)), 0);
    hook() = nullptr;
    EnumWindows(destroy_each, 0);
    EXPECT_TRUE(DeleteObject(green));
}

}  // namespace
