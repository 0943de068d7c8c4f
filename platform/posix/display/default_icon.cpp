// The platform's default application icon, for a window whose class has
// none: a white window with a dark blue caption and a black frame.
#include "platform/posix/display/display.h"

namespace display {

namespace {

constexpr uint32_t clear_colour = 0x00000000;
constexpr uint32_t frame_colour = 0xFF000000;
constexpr uint32_t caption_colour = 0xFF000080;
constexpr uint32_t body_colour = 0xFFFFFFFF;

}  // namespace

void draw_default_icon(int size, uint32_t* pixels) {
    const int unit = size / 16 > 0 ? size / 16 : 1;
    const int left = unit, right = size - unit;  // the window, right and bottom exclusive
    const int top = 2 * unit, bottom = size - 2 * unit;
    const int caption_bottom = top + unit + 3 * unit;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            uint32_t pixel = clear_colour;
            if (x >= left && x < right && y >= top && y < bottom) {
                bool frame = x < left + unit || x >= right - unit || y < top + unit || y >= bottom - unit;
                pixel = frame ? frame_colour : y < caption_bottom ? caption_colour : body_colour;
            }
            pixels[y * size + x] = pixel;
        }
    }
}

}  // namespace display
