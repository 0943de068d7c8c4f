// The tool's window built from the real BUTTON and STATIC classes on the
// headless display: painted through the window layer, it must look like the
// reference picture as the look functions alone do.
#include <gtest/gtest.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "tests/unit/platform/user/test_window.h"

namespace {

struct Child {
    const char* cls;
    DWORD style;
    int x, y, width, height;
    const char* text;
};

constexpr DWORD check_style = WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD frame_style = WS_GROUP | BS_GROUPBOX;
constexpr DWORD button_style = WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD static_style = WS_GROUP | SS_LEFT;

const Child children_table[] = {
    {"BUTTON", check_style, 35, 65, 90, 20, "Axes"},
    {"BUTTON", check_style, 35, 90, 90, 20, "Bows"},
    {"BUTTON", check_style, 35, 115, 90, 20, "Crossbows"},
    {"BUTTON", check_style, 35, 140, 90, 20, "Daggers"},
    {"BUTTON", check_style, 35, 165, 90, 20, "Javelins"},
    {"BUTTON", check_style, 35, 190, 90, 20, "Maces"},
    {"BUTTON", check_style, 35, 215, 90, 20, "Polearms"},
    {"BUTTON", check_style, 125, 65, 90, 20, "Scepters"},
    {"BUTTON", check_style, 125, 90, 90, 20, "Spears"},
    {"BUTTON", check_style, 125, 115, 90, 20, "Staves"},
    {"BUTTON", check_style, 125, 140, 90, 20, "Swords"},
    {"BUTTON", check_style, 125, 165, 125, 20, "Throwing Weapons"},
    {"BUTTON", check_style, 125, 190, 90, 20, "Wands"},
    {"BUTTON", check_style, 285, 65, 90, 20, "Helms"},
    {"BUTTON", check_style, 285, 90, 90, 20, "Body Armor"},
    {"BUTTON", check_style, 285, 115, 90, 20, "Shields"},
    {"BUTTON", check_style, 285, 140, 90, 20, "Gloves"},
    {"BUTTON", check_style, 285, 165, 90, 20, "Belts"},
    {"BUTTON", check_style, 285, 190, 90, 20, "Boots"},
    {"BUTTON", check_style, 285, 215, 90, 20, "Misc."},
    {"BUTTON", check_style, 415, 65, 90, 20, "Amazon"},
    {"BUTTON", check_style, 415, 90, 90, 20, "Assassin"},
    {"BUTTON", check_style, 415, 115, 90, 20, "Barbarian"},
    {"BUTTON", check_style, 415, 140, 90, 20, "Druid"},
    {"BUTTON", check_style, 415, 165, 90, 20, "Necromancer"},
    {"BUTTON", check_style, 415, 190, 90, 20, "Paladin"},
    {"BUTTON", check_style, 415, 215, 90, 20, "Sorceress"},
    {"STATIC", static_style, 20, 10, 500, 15,
     "This program can limit the items shown on the gamble screen. You can edit the filter without"},
    {"STATIC", static_style, 20, 25, 500, 15,
     "exiting Vorthane (press Alt+Tab to switch), but you have to start a new game after edit."},
    {"BUTTON", frame_style, 20, 45, 240, 200, "Weapons"},
    {"BUTTON", frame_style, 270, 45, 120, 200, "Armor"},
    {"BUTTON", frame_style, 400, 45, 120, 200, "Class Specific"},
    {"BUTTON", button_style, 20, 260, 80, 25, "Check All"},
    {"BUTTON", button_style, 115, 260, 80, 25, "Uncheck All"},
    {"BUTTON", button_style, 345, 260, 80, 25, "Set Filter"},
    {"BUTTON", button_style, 440, 260, 80, 25, "Exit"},
};

bool read_reference(std::vector<unsigned char>* pixels) {
    std::string path = __FILE__;
    path.erase(path.rfind("/unit/"));
    path += "/data/reference-window.pgm";
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    int width = 0, height = 0, max = 0;
    bool ok = fscanf(file, "P5 %d %d %d", &width, &height, &max) == 3 && width == 540 && height == 300 && max == 255 &&
              fgetc(file) != EOF;
    if (ok) {
        pixels->resize(540 * 300);
        ok = fread(pixels->data(), 1, pixels->size(), file) == pixels->size();
    }
    fclose(file);
    return ok;
}

class PaintToolWindow : public user_test::UserTest {};

}  // namespace

TEST_F(PaintToolWindow, PaintedThroughTheWindowLayerItLooksLikeTheReference) {
    std::vector<unsigned char> reference;
    ASSERT_TRUE(read_reference(&reference));
    HWND top = user_test::make_top("Vorthane Sorvane for TXT by Ondrik");
    ASSERT_NE(top, nullptr);
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    int id = 0;
    for (const Child& c : children_table) {
        HWND child = user_test::make_child(top, c.cls, c.text, c.style, c.x, c.y, c.width, c.height, id);
        ASSERT_NE(child, nullptr) << c.text;
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (id < 27 && id % 3 == 0) {
            SendMessageA(child, BM_SETCHECK, BST_CHECKED, 0);
        }
        ++id;
    }
    user_test::run_script();

    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(display::headless::pixels(reinterpret_cast<display::SurfaceId>(top), &pixels, &width, &height));
    ASSERT_EQ(width, 540);
    ASSERT_EQ(height, 300);
    if (const char* out = getenv("SORVANE_LOOK_OUTPUT_WINDOW")) {
        player::save_bmp(top, out);
    }
    int near = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int ours = static_cast<int>(pixels[static_cast<size_t>(y) * width + x] & 0xFF);
            if (abs(ours - reference[static_cast<size_t>(y) * width + x]) <= 24) {
                ++near;
            }
        }
    }
    EXPECT_GT(static_cast<double>(near) / (width * height), 0.9995);
}
