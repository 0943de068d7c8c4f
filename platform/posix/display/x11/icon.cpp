// The platform's default application icon, drawn here since the program
// carries no icon of its own: a white window with a dark blue caption and a
// black frame, at the three sizes a window manager commonly shows.
#include <vector>

#include "platform/posix/display/x11/connection.h"

namespace display::x11 {

namespace {

const unsigned long clear_colour = 0x00000000;
const unsigned long frame_colour = 0xFF000000;
const unsigned long caption_colour = 0xFF000080;
const unsigned long body_colour = 0xFFFFFFFF;
const int icon_sizes[] = {16, 32, 48};

}  // namespace

void draw_default_icon(int size, unsigned long* pixels) {
    const int unit = size / 16 > 0 ? size / 16 : 1;
    const int left = unit, right = size - unit;  // the window, right and bottom exclusive
    const int top = 2 * unit, bottom = size - 2 * unit;
    const int caption_bottom = top + unit + 3 * unit;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            unsigned long pixel = clear_colour;
            if (x >= left && x < right && y >= top && y < bottom) {
                bool frame = x < left + unit || x >= right - unit || y < top + unit || y >= bottom - unit;
                pixel = frame ? frame_colour : y < caption_bottom ? caption_colour : body_colour;
            }
            pixels[y * size + x] = pixel;
        }
    }
}

void set_default_icon(Display* display, Window window) {
    // Each icon is its width, its height, then its rows; format 32 data
    // travels as longs whatever their size.
    std::vector<unsigned long> data;
    for (int size : icon_sizes) {
        size_t start = data.size();
        data.resize(start + 2 + static_cast<size_t>(size) * size);
        data[start] = static_cast<unsigned long>(size);
        data[start + 1] = static_cast<unsigned long>(size);
        draw_default_icon(size, &data[start + 2]);
    }
    XChangeProperty(display, window, connection().net_wm_icon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
}

}  // namespace display::x11
