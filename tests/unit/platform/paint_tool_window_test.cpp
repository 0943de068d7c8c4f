// The tool's window built from the real BUTTON and STATIC classes on the
// headless display: painted through the window layer, it must look like the
// reference picture as the look functions alone do.
#include <gtest/gtest.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "user_test_window.h"

namespace {

struct Child {
    const char* cls;
    DWORD style;
    int x, y, width, height;
    const char* text;
};

constexpr DWORD kCheck = WS_GROUP | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kFrame = WS_GROUP | BS_GROUPBOX;
constexpr DWORD kButton = WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kText = WS_GROUP | SS_LEFT;

const Child kChildren[] = {
    {"BUTTON", kCheck, 35, 65, 90, 20, "Axes"},
    {"BUTTON", kCheck, 35, 90, 90, 20, "Bows"},
    {"BUTTON", kCheck, 35, 115, 90, 20, "Crossbows"},
    {"BUTTON", kCheck, 35, 140, 90, 20, "Daggers"},
    {"BUTTON", kCheck, 35, 165, 90, 20, "Javelins"},
    {"BUTTON", kCheck, 35, 190, 90, 20, "Maces"},
    {"BUTTON", kCheck, 35, 215, 90, 20, "Polearms"},
    {"BUTTON", kCheck, 125, 65, 90, 20, "Scepters"},
    {"BUTTON", kCheck, 125, 90, 90, 20, "Spears"},
    {"BUTTON", kCheck, 125, 115, 90, 20, "Staves"},
    {"BUTTON", kCheck, 125, 140, 90, 20, "Swords"},
    {"BUTTON", kCheck, 125, 165, 125, 20, "Throwing Weapons"},
    {"BUTTON", kCheck, 125, 190, 90, 20, "Wands"},
    {"BUTTON", kCheck, 285, 65, 90, 20, "Helms"},
    {"BUTTON", kCheck, 285, 90, 90, 20, "Body Armor"},
    {"BUTTON", kCheck, 285, 115, 90, 20, "Shields"},
    {"BUTTON", kCheck, 285, 140, 90, 20, "Gloves"},
    {"BUTTON", kCheck, 285, 165, 90, 20, "Belts"},
    {"BUTTON", kCheck, 285, 190, 90, 20, "Boots"},
    {"BUTTON", kCheck, 285, 215, 90, 20, "Misc."},
    {"BUTTON", kCheck, 415, 65, 90, 20, "Amazon"},
    {"BUTTON", kCheck, 415, 90, 90, 20, "Assassin"},
    {"BUTTON", kCheck, 415, 115, 90, 20, "Barbarian"},
    {"BUTTON", kCheck, 415, 140, 90, 20, "Druid"},
    {"BUTTON", kCheck, 415, 165, 90, 20, "Necromancer"},
    {"BUTTON", kCheck, 415, 190, 90, 20, "Paladin"},
    {"BUTTON", kCheck, 415, 215, 90, 20, "Sorceress"},
    {"STATIC", kText, 20, 10, 500, 15,
     "This program can limit the items shown on the gamble screen. You can edit the filter without"},
    {"STATIC", kText, 20, 25, 500, 15,
     "exiting Vorthane (press Alt+Tab to switch), but you have to start a new game after edit."},
    {"BUTTON", kFrame, 20, 45, 240, 200, "Weapons"},
    {"BUTTON", kFrame, 270, 45, 120, 200, "Armor"},
    {"BUTTON", kFrame, 400, 45, 120, 200, "Class Specific"},
    {"BUTTON", kButton, 20, 260, 80, 25, "Check All"},
    {"BUTTON", kButton, 115, 260, 80, 25, "Uncheck All"},
    {"BUTTON", kButton, 345, 260, 80, 25, "Set Filter"},
    {"BUTTON", kButton, 440, 260, 80, 25, "Exit"},
};

bool read_reference(std::vector<unsigned char>* pixels) {
    std::string path = __FILE__;
    path.erase(path.rfind("/unit/"));
    path += "/data/reference-window.pgm";
    FILE* file = fopen(path.c_str(), "rb");
    if (!file)
        return false;
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
    for (const Child& c : kChildren) {
        HWND child = user_test::make_child(top, c.cls, c.text, c.style, c.x, c.y, c.width, c.height, id);
        ASSERT_NE(child, nullptr) << c.text;
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        if (id < 27 && id % 3 == 0)
            SendMessageA(child, BM_SETCHECK, BST_CHECKED, 0);
        ++id;
    }
    user_test::run_script();

    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(display::headless::pixels(reinterpret_cast<display::SurfaceId>(top), &pixels, &width, &height));
    ASSERT_EQ(width, 540);
    ASSERT_EQ(height, 300);
    if (const char* out = getenv("SORVANE_LOOK_OUTPUT_WINDOW"))
        player::save_bmp(top, out);
    int near = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int ours = static_cast<int>(pixels[static_cast<size_t>(y) * width + x] & 0xFF);
            if (abs(ours - reference[static_cast<size_t>(y) * width + x]) <= 24)
                ++near;
        }
    }
    EXPECT_GT(static_cast<double>(near) / (width * height), 0.9995);
}
