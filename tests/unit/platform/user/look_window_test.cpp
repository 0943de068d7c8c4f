// The tool's whole window drawn with the control look, compared with the
// reference platform's picture of it. Set SORVANE_LOOK_OUTPUT to a file
// name to keep the rendered window as a PPM picture.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "platform/posix/gdi/dc.h"
#include "platform/posix/user/controls/look.h"
#include "platform/win32.h"

namespace {

enum class Kind { Text, Frame, Checkbox, Button };

struct Control {
    Kind kind;
    int x, y, width, height;
    const char* text;
};

// The tool's window: 27 category checkboxes, two lines of help, three
// frames and four buttons.
const Control layout[] = {
    {Kind::Checkbox, 35, 65, 90, 20, "Axes"},
    {Kind::Checkbox, 35, 90, 90, 20, "Bows"},
    {Kind::Checkbox, 35, 115, 90, 20, "Crossbows"},
    {Kind::Checkbox, 35, 140, 90, 20, "Daggers"},
    {Kind::Checkbox, 35, 165, 90, 20, "Javelins"},
    {Kind::Checkbox, 35, 190, 90, 20, "Maces"},
    {Kind::Checkbox, 35, 215, 90, 20, "Polearms"},
    {Kind::Checkbox, 125, 65, 90, 20, "Scepters"},
    {Kind::Checkbox, 125, 90, 90, 20, "Spears"},
    {Kind::Checkbox, 125, 115, 90, 20, "Staves"},
    {Kind::Checkbox, 125, 140, 90, 20, "Swords"},
    {Kind::Checkbox, 125, 165, 125, 20, "Throwing Weapons"},
    {Kind::Checkbox, 125, 190, 90, 20, "Wands"},
    {Kind::Checkbox, 285, 65, 90, 20, "Helms"},
    {Kind::Checkbox, 285, 90, 90, 20, "Body Armor"},
    {Kind::Checkbox, 285, 115, 90, 20, "Shields"},
    {Kind::Checkbox, 285, 140, 90, 20, "Gloves"},
    {Kind::Checkbox, 285, 165, 90, 20, "Belts"},
    {Kind::Checkbox, 285, 190, 90, 20, "Boots"},
    {Kind::Checkbox, 285, 215, 90, 20, "Misc."},
    {Kind::Checkbox, 415, 65, 90, 20, "Amazon"},
    {Kind::Checkbox, 415, 90, 90, 20, "Assassin"},
    {Kind::Checkbox, 415, 115, 90, 20, "Barbarian"},
    {Kind::Checkbox, 415, 140, 90, 20, "Druid"},
    {Kind::Checkbox, 415, 165, 90, 20, "Necromancer"},
    {Kind::Checkbox, 415, 190, 90, 20, "Paladin"},
    {Kind::Checkbox, 415, 215, 90, 20, "Sorceress"},
    {Kind::Text, 20, 10, 500, 15,
     "This program can limit the items shown on the gamble screen. You can edit the filter without"},
    {Kind::Text, 20, 25, 500, 15,
     "exiting Vorthane (press Alt+Tab to switch), but you have to start a new game after edit."},
    {Kind::Frame, 20, 45, 240, 200, "Weapons"},
    {Kind::Frame, 270, 45, 120, 200, "Armor"},
    {Kind::Frame, 400, 45, 120, 200, "Class Specific"},
    {Kind::Button, 20, 260, 80, 25, "Check All"},
    {Kind::Button, 115, 260, 80, 25, "Uncheck All"},
    {Kind::Button, 345, 260, 80, 25, "Set Filter"},
    {Kind::Button, 440, 260, 80, 25, "Exit"},
};

constexpr int client_width = 540;
constexpr int client_height = 300;

struct Grey {
    int width = 0, height = 0;
    std::vector<unsigned char> pixels;
};

std::string data_path(const char* name) {
    std::string path = __FILE__;
    path.erase(path.rfind("/unit/"));
    return path + "/data/" + name;
}

// Reads a binary PGM picture.
bool read_pgm(const std::string& path, Grey* out) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    int max = 0;
    const bool header = fscanf(file, "P5 %d %d %d", &out->width, &out->height, &max) == 3 && max == 255;
    fgetc(file);
    bool ok = false;
    if (header && out->width > 0 && out->height > 0) {
        out->pixels.resize(static_cast<size_t>(out->width) * out->height);
        ok = fread(out->pixels.data(), 1, out->pixels.size(), file) == out->pixels.size();
    }
    fclose(file);
    return ok;
}

void write_ppm(const char* path, const std::vector<uint32_t>& pixels) {
    FILE* file = fopen(path, "wb");
    if (!file) {
        return;
    }
    fprintf(file, "P6\n%d %d\n255\n", client_width, client_height);
    for (uint32_t p : pixels) {
        const unsigned char rgb[3] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                      static_cast<unsigned char>(p)};
        fwrite(rgb, 1, 3, file);
    }
    fclose(file);
}

std::vector<uint32_t> render_window() {
    std::vector<uint32_t> pixels(client_width * client_height, 0);
    gdi::PixelBuffer buffer{pixels.data(), client_width, client_height, client_width};
    HDC window = gdi::create_dc(&buffer, 0, 0, RECT{0, 0, client_width, client_height});
    RECT all{0, 0, client_width, client_height};
    FillRect(window, &all, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1)));
    gdi::delete_dc(window);
    int index = 0;
    for (const Control& c : layout) {
        HDC dc = gdi::create_dc(&buffer, c.x, c.y, RECT{c.x, c.y, c.x + c.width, c.y + c.height});
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        const RECT client{0, 0, c.width, c.height};
        switch (c.kind) {
            case Kind::Checkbox:
                user::look::draw_checkbox(dc, client, c.text, index % 3 == 0 ? unsigned{user::look::Checked} : 0u);
                break;
            case Kind::Text:
                user::look::draw_static_text(dc, client, c.text, SS_LEFT, 0);
                break;
            case Kind::Frame:
                user::look::draw_group_box(dc, client, c.text, 0);
                break;
            case Kind::Button:
                user::look::draw_push_button(dc, client, c.text, 0);
                break;
        }
        gdi::delete_dc(dc);
        ++index;
    }
    return pixels;
}

int grey_of(uint32_t p) {
    return (((p >> 16) & 0xFF) * 30 + ((p >> 8) & 0xFF) * 59 + (p & 0xFF) * 11) / 100;
}

}  // namespace

TEST(PaintWindow, ToolWindowLooksLikeTheReference) {
    Grey reference;
    ASSERT_TRUE(read_pgm(data_path("reference-window.pgm"), &reference));
    ASSERT_EQ(reference.width, client_width);
    ASSERT_EQ(reference.height, client_height);
    const std::vector<uint32_t> pixels = render_window();
    if (const char* out = getenv("SORVANE_LOOK_OUTPUT")) {
        write_ppm(out, pixels);
    }

    // With the classic face installed, unsmoothed text lands on the
    // reference's pixels too; a pixel or two of spacing may differ.
    int near = 0;
    for (int i = 0; i < client_width * client_height; ++i) {
        if (abs(grey_of(pixels[i]) - reference.pixels[i]) <= 24) {
            ++near;
        }
    }
    const double share = static_cast<double>(near) / (client_width * client_height);
    RecordProperty("matching_share", std::to_string(share));
    EXPECT_GT(share, 0.995);

    // Each control's area should be about as dark as it is in the reference:
    // the text takes about as much ink in the same places.
    for (const Control& c : layout) {
        double ours = 0, theirs = 0;
        for (int y = c.y; y < c.y + c.height; ++y) {
            for (int x = c.x; x < c.x + c.width; ++x) {
                ours += grey_of(pixels[y * client_width + x]);
                theirs += reference.pixels[y * client_width + x];
            }
        }
        const double area = static_cast<double>(c.width) * c.height;
        EXPECT_NEAR(ours / area, theirs / area, 8.0) << c.text;
    }
}
