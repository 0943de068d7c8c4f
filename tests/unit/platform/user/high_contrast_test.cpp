// The High Contrast schemes: the tables, the scheme the desktop's settings
// ask for, and the tool's window drawn in one by the real controls on the
// headless display, every pixel one of the scheme's colours, disabled and
// focused controls included; WM_SYSCOLORCHANGE to the top-level window;
// and classic again, byte for byte.
#include <fstream>
#include <iterator>
#include <set>

#include "platform/posix/appearance/appearance.h"
#include "platform/posix/gdi/gdi_objects.h"
#include "platform/posix/gdi/system_colours.h"
#include "platform/posix/user/controls/look.h"
#include "tests/unit/platform/gdi/canvas.h"
#include "tests/unit/platform/user/test_window.h"
#include "tests/unit/platform/user/tool_layout.h"

namespace {

using gdi::ColourScheme;

// The platform's eight, as 0xRRGGBB: background, text, hyperlink, inactive
// text, selection, selected text, button face, button text.
const uint32_t black_eight[8] = {0x000000, 0xFFFFFF, 0xFFFF00, 0x3FF23F, 0x1AEBFF, 0x000000, 0x000000, 0xFFFFFF};
const uint32_t white_eight[8] = {0xFFFFFF, 0x000000, 0x00009F, 0x600000, 0x37006E, 0xFFFFFF, 0xFFFFFF, 0x000000};
const int eight_indices[8] = {COLOR_WINDOW,    COLOR_WINDOWTEXT,    COLOR_HOTLIGHT, COLOR_GRAYTEXT,
                              COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE,  COLOR_BTNTEXT};

uint32_t rgb(COLORREF c) {
    return static_cast<uint32_t>(GetRValue(c)) << 16 | static_cast<uint32_t>(GetGValue(c)) << 8 | GetBValue(c);
}

bus::Message glib_message(const char* seed) {
    std::ifstream in(std::string(SORVANE_SOURCE_DIR) + "/tests/fuzz/seeds/bus_message_fuzzer/" + seed,
                     std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bus::Message m;
    EXPECT_TRUE(bytes.size() > 2 && bus::parse_message(bytes.substr(2), &m)) << seed;
    return m;
}

TEST(ColourSchemes, TheTablesHoldTheEightAndOnlyThem) {
    for (const auto& [scheme, eight] : {std::pair{ColourScheme::high_contrast_black, black_eight},
                                        std::pair{ColourScheme::high_contrast_white, white_eight}}) {
        for (int i = 0; i < 8; i++) {
            EXPECT_EQ(rgb(gdi::scheme_colour(scheme, eight_indices[i])), eight[i]) << eight_indices[i];
        }
        const std::set<uint32_t> allowed(eight, eight + 8);
        for (int index = COLOR_SCROLLBAR; index <= COLOR_MENUBAR; index++) {
            EXPECT_EQ(allowed.count(rgb(gdi::scheme_colour(scheme, index))), 1u) << "index " << index;
        }
        // Each pair the controls draw one on the other differs.
        for (const auto& [ink, ground] :
             {std::pair{COLOR_BTNTEXT, COLOR_BTNFACE}, std::pair{COLOR_WINDOWTEXT, COLOR_WINDOW},
              std::pair{COLOR_GRAYTEXT, COLOR_BTNFACE}, std::pair{COLOR_CAPTIONTEXT, COLOR_ACTIVECAPTION},
              std::pair{COLOR_INACTIVECAPTIONTEXT, COLOR_INACTIVECAPTION}, std::pair{COLOR_BTNSHADOW, COLOR_BTNFACE}}) {
            EXPECT_NE(gdi::scheme_colour(scheme, ink), gdi::scheme_colour(scheme, ground)) << ink << " on " << ground;
        }
    }
    // The classic scheme is the one the reference pictures were made with.
    EXPECT_EQ(rgb(gdi::scheme_colour(ColourScheme::classic, COLOR_BTNFACE)), 0xF5F5F5u);
    EXPECT_EQ(rgb(gdi::scheme_colour(ColourScheme::classic, COLOR_BTNSHADOW)), 0xA6A6A6u);
    EXPECT_EQ(rgb(gdi::scheme_colour(ColourScheme::classic, COLOR_ACTIVECAPTION)), 0x0A246Au);
}

TEST(ColourSchemes, TheDesktopsSettingsChooseTheScheme) {
    struct Case {
        appearance::Settings settings;
        ColourScheme scheme;
    } cases[] = {
        {{0, 0, false}, ColourScheme::classic},
        {{0, 1, false}, ColourScheme::classic},  // dark alone is no more contrast
        {{1, 0, false}, ColourScheme::high_contrast_white},
        {{1, 1, false}, ColourScheme::high_contrast_black},
        {{1, 2, false}, ColourScheme::high_contrast_white},
        {{0, 1, true}, ColourScheme::high_contrast_black},
        {{2, 1, false}, ColourScheme::classic},  // a value the portal does not define
    };
    for (const Case& c : cases) {
        EXPECT_EQ(user::scheme_for(appearance::preference_of(c.settings)), c.scheme)
            << c.settings.contrast << " " << c.settings.color_scheme << " " << c.settings.gnome_high_contrast;
    }
    // As GLib wrote the portal's answers.
    appearance::Settings s;
    ASSERT_TRUE(appearance::read_all_answer(glib_message("read-all-reply"), &s));
    EXPECT_EQ(s.contrast, 1u);
    EXPECT_EQ(s.color_scheme, 1u);
    EXPECT_TRUE(s.gnome_high_contrast);
    ASSERT_TRUE(appearance::setting_changed(glib_message("setting-changed"), &s));
    EXPECT_EQ(s.contrast, 0u);
    EXPECT_EQ(s.color_scheme, 1u);
    EXPECT_FALSE(appearance::setting_changed(glib_message("status-reply"), &s));
    EXPECT_FALSE(appearance::read_all_answer(glib_message("error-reply"), &s));
}

class HighContrastWindow : public user_test::UserTest {
  protected:
    void TearDown() override {
        gdi::set_colour_scheme(ColourScheme::classic);
        UserTest::TearDown();
    }
};

std::vector<uint32_t> window_pixels(HWND top) {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    display::headless::pixels(reinterpret_cast<display::SurfaceId>(top), &pixels, &width, &height);
    return pixels;
}

TEST_F(HighContrastWindow, EveryPixelIsTheSchemesAndBackIsClassic) {
    HWND top = user_test::make_top("Vorthane Sorvane for TXT by Ondrik");
    ASSERT_NE(top, nullptr);
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    int id = 0;
    HWND exit_button = nullptr;
    for (const user_test::Child& c : user_test::tool_children) {
        HWND child = user_test::make_child(top, c.cls, c.text, c.style, c.x, c.y, c.width, c.height, id);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (id < 27 && id % 3 == 0) {
            SendMessageA(child, BM_SETCHECK, BST_CHECKED, 0);
        }
        if (id < 27 && id % 9 == 0) {
            EnableWindow(child, FALSE);  // disabled, checked and not
        }
        exit_button = child;
        ++id;
    }
    SetFocus(exit_button);
    user_test::run_script();
    const std::vector<uint32_t> classic = window_pixels(top);
    ASSERT_EQ(classic.size(), 540u * 300u);
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);

    for (const auto& [preference, eight] : {std::pair{appearance::Preference{true, true}, black_eight},
                                            std::pair{appearance::Preference{true, false}, white_eight}}) {
        user_test::received().clear();
        user::follow_desktop_colours(preference);
        EXPECT_EQ(user_test::messages_of(top, {WM_SYSCOLORCHANGE}).size(), 1u);
        user_test::run_script();
        const std::set<uint32_t> allowed(eight, eight + 8);
        std::set<uint32_t> used, odd;
        for (uint32_t p : window_pixels(top)) {
            (allowed.count(p) ? used : odd).insert(p);
        }
        EXPECT_TRUE(odd.empty()) << odd.size() << " colours outside the scheme, the first " << std::hex
                                 << (odd.empty() ? 0 : *odd.begin());
        EXPECT_EQ(used.count(eight[3]), 1u) << "the disabled boxes' text in the inactive text colour";
        EXPECT_EQ(used.count(eight[7]), 1u) << "the text and the bevels";
        // The brush handed out before keeps its handle and paints the new face.
        COLORREF colour = 0;
        EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
        ASSERT_TRUE(gdi::brush_colour(face, &colour));
        EXPECT_EQ(rgb(colour), eight[6]);
    }
    user::follow_desktop_colours(appearance::Preference{});
    user_test::run_script();
    EXPECT_TRUE(window_pixels(top) == classic) << "the classic window again, byte for byte";
}

// The frame the layer draws on a compositor without decorations, active
// and not, its close box pushed: the scheme's colours alone (the small
// icon aside, a picture of its own as on the platform).
TEST_F(HighContrastWindow, TheFrameTheLayerDrawsTakesTheScheme) {
    const RECT window{0, 0, 546, 325}, client{3, 22, 543, 322};
    for (const auto& [scheme, eight] : {std::pair{ColourScheme::high_contrast_black, black_eight},
                                        std::pair{ColourScheme::high_contrast_white, white_eight}}) {
        gdi::set_colour_scheme(scheme);
        const std::set<uint32_t> allowed(eight, eight + 8);
        for (unsigned state : {0u, unsigned{user::look::FrameActive}, unsigned{user::look::FrameClosePushed}}) {
            paint_test::Canvas canvas(546, 325, eight[0]);
            user::look::draw_window_frame(canvas.dc, window, client, "Vorthane Sorvane for TXT by Ondrik",
                                          state | user::look::FrameCloseBox);
            std::set<uint32_t> odd;
            for (uint32_t p : canvas.pixels) {
                if (!allowed.count(p)) {
                    odd.insert(p);
                }
            }
            EXPECT_TRUE(odd.empty()) << "state " << state << ": " << odd.size() << " colours outside the scheme";
        }
    }
}

}  // namespace
