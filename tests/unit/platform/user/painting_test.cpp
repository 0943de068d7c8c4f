// The tool's window built from the real BUTTON and STATIC classes on the
// headless display: painted through the window layer, it must look like the
// reference picture as the look functions alone do.
#include <gtest/gtest.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "tests/unit/platform/user/test_window.h"
#include "tests/unit/platform/user/tool_layout.h"

namespace {

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
    for (const user_test::Child& c : user_test::tool_children) {
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
