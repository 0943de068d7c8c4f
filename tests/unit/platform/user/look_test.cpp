// The classic look of the controls: where the checkbox's box and mark go,
// the group box's caption gap, the push button's states.
#include <gtest/gtest.h>
#include <stdio.h>

#include <string>

#include "platform/posix/user/controls/look.h"
#include "tests/unit/platform/gdi/canvas.h"

using paint_test::Canvas;
using paint_test::sys;
namespace look = user::look;

namespace {

struct LookCanvas : Canvas {
    LookCanvas(int w, int h) : Canvas(w, h, paint_test::sys(COLOR_BTNFACE)) {
        SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    }
    int text_height() {
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        return tm.tmHeight;
    }
};

constexpr uint32_t black = 0;

}  // namespace

TEST(PaintLook, CheckboxBoxIsCentredAtTheLeftWithItsMark) {
    LookCanvas canvas(90, 20);
    const RECT client{0, 0, 90, 20};
    look::draw_checkbox(canvas.dc, client, "Axes", 0);
    // A 13 x 13 sunken box from (0, 3); white inside.
    EXPECT_EQ(canvas.at(0, 3), sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.at(11, 3), sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.at(1, 4), sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.at(12, 15), sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.at(11, 14), sys(COLOR_3DLIGHT));
    EXPECT_EQ(canvas.at(0, 2), sys(COLOR_BTNFACE));
    EXPECT_EQ(canvas.at(13, 9), sys(COLOR_BTNFACE));
    EXPECT_EQ(canvas.at(6, 16), sys(COLOR_BTNFACE));
    const RECT inside{2, 5, 11, 14};
    EXPECT_EQ(canvas.count(0xFFFFFF, inside), 81);
    // The label starts four pixels right of the box.
    const RECT label = canvas.ink(RECT{13, 0, 90, 20});
    EXPECT_GE(label.left, 17);
    EXPECT_LE(label.left, 18);

    look::draw_checkbox(canvas.dc, client, "Axes", look::Checked);
    EXPECT_EQ(canvas.count(black, inside), 21);
    EXPECT_EQ(canvas.at(9, 6), black);  // the tip of the mark
    EXPECT_EQ(canvas.at(3, 9), black);
    EXPECT_EQ(canvas.at(3, 6), 0xFFFFFFu);

    // Unchecked again: the mark goes; pushed: a grey box.
    look::draw_checkbox(canvas.dc, client, "Axes", look::Pushed);
    EXPECT_EQ(canvas.count(black, inside), 0);
    EXPECT_EQ(canvas.count(sys(COLOR_BTNFACE), inside), 81);
}

TEST(PaintLook, CheckboxFocusAndDisabledLook) {
    LookCanvas canvas(90, 20);
    const RECT client{0, 0, 90, 20};
    look::draw_checkbox(canvas.dc, client, "Axes", look::Focused);
    const uint32_t dot = sys(COLOR_BTNFACE) ^ 0xFFFFFF;
    // Dots around the label, none around the box.
    EXPECT_GT(canvas.count(dot, RECT{14, 0, 60, 20}), 10);
    EXPECT_EQ(canvas.count(dot, RECT{0, 0, 14, 20}), 0);

    look::draw_checkbox(canvas.dc, client, "Axes", look::Disabled | look::Checked);
    EXPECT_EQ(canvas.count_darker(0x80, RECT{17, 0, 90, 20}), 0);
    EXPECT_EQ(canvas.count(dot, client), 0);
    EXPECT_GT(canvas.count(sys(COLOR_GRAYTEXT), RECT{2, 5, 11, 14}), 15);
    EXPECT_GT(canvas.count(0xFFFFFF, RECT{17, 0, 90, 20}), 3);  // the etched copy
}

TEST(PaintLook, GroupBoxCaptionBreaksTheEtchedLine) {
    LookCanvas canvas(120, 60);
    const RECT client{0, 0, 120, 60};
    look::draw_group_box(canvas.dc, client, "Armor", 0);
    const int line = canvas.text_height() / 2 - 1;
    const uint32_t shadow = sys(COLOR_BTNSHADOW), face = sys(COLOR_BTNFACE);
    EXPECT_EQ(canvas.at(0, line), shadow);
    EXPECT_EQ(canvas.at(1, line + 1), sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.at(6, line), shadow);
    EXPECT_EQ(canvas.at(7, line), face);  // the gap before the caption
    EXPECT_EQ(canvas.at(0, 59), sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.at(1, 58), shadow);

    const RECT caption = canvas.ink(RECT{0, 0, 120, canvas.text_height()});
    EXPECT_GE(caption.left, 8);
    EXPECT_LE(caption.left, 9);
    EXPECT_NE(canvas.at(caption.right + 1, line), shadow);  // the gap after it
    EXPECT_EQ(canvas.at(caption.right + 4, line), shadow);
    // The interior is left alone: the controls inside it stay.
    const int below = canvas.text_height() + 1;
    EXPECT_EQ(canvas.count(face, RECT{3, below, 117, 57}), 114 * (57 - below));

    LookCanvas plain(60, 40);
    look::draw_group_box(plain.dc, RECT{0, 0, 60, 40}, "", 0);
    for (int x = 0; x < 59; ++x) {
        EXPECT_EQ(plain.at(x, line), shadow) << x;
    }
}

TEST(PaintLook, PushButtonStates) {
    const RECT client{0, 0, 80, 25};
    LookCanvas up(80, 25);
    look::draw_push_button(up.dc, client, "Check All", 0);
    EXPECT_EQ(up.at(0, 0), sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(up.at(1, 1), sys(COLOR_3DLIGHT));
    EXPECT_EQ(up.at(79, 24), sys(COLOR_3DDKSHADOW));
    EXPECT_EQ(up.at(78, 23), sys(COLOR_BTNSHADOW));
    const RECT text_up = up.ink(RECT{2, 2, 78, 23});
    EXPECT_NEAR((text_up.left + text_up.right) / 2.0, 40.0, 2.0);
    EXPECT_NEAR((text_up.top + text_up.bottom) / 2.0, 12.5, 2.0);

    // Pushed: a flat shadow frame and the label one pixel down and right.
    LookCanvas down(80, 25);
    look::draw_push_button(down.dc, client, "Check All", look::Pushed);
    EXPECT_EQ(down.at(0, 0), sys(COLOR_BTNSHADOW));
    EXPECT_EQ(down.at(79, 24), sys(COLOR_BTNSHADOW));
    EXPECT_EQ(down.at(1, 1), sys(COLOR_BTNFACE));
    const RECT text_down = down.ink(RECT{2, 2, 78, 23});
    EXPECT_EQ(text_down.left, text_up.left + 1);
    EXPECT_EQ(text_down.top, text_up.top + 1);

    LookCanvas grey(80, 25);
    look::draw_push_button(grey.dc, client, "Check All", look::Disabled);
    EXPECT_EQ(grey.count(black, client), 0);
    EXPECT_GT(grey.count_darker(0xC0, RECT{2, 2, 78, 23}), 20);
}

namespace {

bool read_pgm(const char* name, int* width, int* height, std::vector<unsigned char>* pixels) {
    std::string path = __FILE__;
    path.erase(path.rfind("/unit/"));
    path += "/data/";
    path += name;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    int max = 0;
    bool ok = fscanf(file, "P5 %d %d %d", width, height, &max) == 3 && max == 255 && fgetc(file) != EOF;
    if (ok) {
        pixels->resize(static_cast<size_t>(*width) * *height);
        ok = fread(pixels->data(), 1, pixels->size(), file) == pixels->size();
    }
    fclose(file);
    return ok;
}

}  // namespace

TEST(PaintLook, DefaultFocusedButtonMatchesTheMessageBox) {
    // The message box's OK button: the default frame, the bevel and the
    // focus dots land on exactly the reference pixels.
    int width = 0, height = 0;
    std::vector<unsigned char> reference;
    ASSERT_TRUE(read_pgm("reference-message-box.pgm", &width, &height, &reference));
    LookCanvas canvas(width, height);
    const RECT button{68, 28, 116, 52};
    HDC dc = gdi::create_dc(&canvas.buffer, button.left, button.top, button);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    look::draw_push_button(dc, RECT{0, 0, 48, 24}, "OK", look::Default | look::Focused);
    gdi::delete_dc(dc);
    int differing = 0;
    for (int y = button.top - 1; y <= button.bottom; ++y) {
        for (int x = button.left - 1; x <= button.right; ++x) {
            if (x >= 74 && x < 110 && y >= 33 && y < 46) {
                continue;  // the label
            }
            if ((canvas.at(x, y) & 0xFF) != reference[y * width + x]) {
                ++differing;
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST(PaintLook, StaticTextAlignmentAndWrapping) {
    LookCanvas canvas(100, 40);
    const RECT client{0, 0, 100, 40};
    look::draw_static_text(canvas.dc, client, "Druid", SS_RIGHT, 0);
    EXPECT_GE(canvas.ink().left, 60);
    look::draw_static_text(canvas.dc, client, "Druid", SS_CENTER, 0);
    EXPECT_NEAR((canvas.ink().left + canvas.ink().right) / 2.0, 50.0, 2.0);
    look::draw_static_text(canvas.dc, client, "Druid", SS_LEFT, 0);
    EXPECT_LE(canvas.ink().left, 1);
    // Too long for one line: it wraps onto the second.
    look::draw_static_text(canvas.dc, client, "Paladin Sorceress Necromancer", SS_LEFT, 0);
    EXPECT_GT(canvas.ink().bottom, canvas.text_height());
    EXPECT_LE(canvas.ink().right, 100);
    look::draw_static_text(canvas.dc, client, "Druid", SS_LEFT, look::Disabled);
    EXPECT_EQ(canvas.count(black, client), 0);
    EXPECT_GT(canvas.count_darker(0xC0, client), 5);
    EXPECT_EQ(canvas.count_darker(0x80, client), 0);
}
