// Presenting a surface's pixels: the dirty rectangle of the frame is put
// into the window, converted first when the server's pixels differ.
#include "platform/posix/display/x11/connection.h"

#include <stdlib.h>
#include <string.h>

#include <vector>

namespace display::x11 {

namespace {

int host_byte_order() {
    const uint32_t one = 1;
    unsigned char first;
    memcpy(&first, &one, 1);
    return first == 1 ? LSBFirst : MSBFirst;
}

// Sends the frame's memory as it stands, described as an image in the
// host's byte order; Xlib swaps bytes if the server wants the other order.
void put_native(const Connection& c, Window window, const Frame& frame, int x, int y, int width, int height, int to_x,
                int to_y) {
    XImage image;
    memset(&image, 0, sizeof image);
    image.width = frame.stride;
    image.height = frame.height;
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(const_cast<uint32_t*>(frame.pixels));
    image.byte_order = host_byte_order();
    image.bitmap_unit = 32;
    image.bitmap_bit_order = host_byte_order();
    image.bitmap_pad = 32;
    image.depth = c.depth;
    image.bytes_per_line = frame.stride * 4;
    image.bits_per_pixel = 32;
    image.red_mask = c.visual->red_mask;
    image.green_mask = c.visual->green_mask;
    image.blue_mask = c.visual->blue_mask;
    if (!XInitImage(&image)) {
        return;
    }
    XPutImage(c.display, window, c.gc, &image, x, y, to_x, to_y, width, height);
}

// Scales an 8-bit channel into the bits a visual's mask selects.
unsigned long channel(uint32_t value, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1) == 0) {
        shift++;
    }
    unsigned long bits = mask >> shift;
    return ((value * bits + 127) / 255) << shift;
}

void put_converted(const Connection& c, Window window, const Frame& frame, int x, int y, int width, int height,
                   int to_x, int to_y) {
    XImage* image = XCreateImage(c.display, c.visual, c.depth, ZPixmap, 0, nullptr, width, height, 32, 0);
    if (image == nullptr) {
        return;
    }
    image->data = static_cast<char*>(malloc(static_cast<size_t>(image->bytes_per_line) * height));
    if (image->data == nullptr) {
        XDestroyImage(image);
        return;
    }
    for (int row = 0; row < height; row++) {
        const uint32_t* source = frame.pixels + static_cast<size_t>(y + row) * frame.stride + x;
        for (int column = 0; column < width; column++) {
            XPutPixel(image, column, row, server_pixel(source[column]));
        }
    }
    XPutImage(c.display, window, c.gc, image, 0, 0, to_x, to_y, width, height);
    XDestroyImage(image);
}

// The rectangle, scale times larger with each pixel repeated: the classic
// look stays crisp where smoothing would blur its one-pixel lines.
std::vector<uint32_t> scaled_up(const Frame& frame, int x, int y, int width, int height, int scale) {
    std::vector<uint32_t> out(static_cast<size_t>(width) * scale * height * scale);
    const size_t out_stride = static_cast<size_t>(width) * scale;
    for (int row = 0; row < height; row++) {
        const uint32_t* source = frame.pixels + static_cast<size_t>(y + row) * frame.stride + x;
        uint32_t* first = &out[static_cast<size_t>(row) * scale * out_stride];
        for (int column = 0; column < width; column++) {
            for (int i = 0; i < scale; i++) {
                first[column * scale + i] = source[column];
            }
        }
        for (int i = 1; i < scale; i++) {
            memcpy(first + i * out_stride, first, out_stride * sizeof(uint32_t));
        }
    }
    return out;
}

// Puts (x, y, width, height) of the frame at (to_x, to_y) of the window.
void put(const Connection& c, Window window, const Frame& frame, int x, int y, int width, int height, int to_x,
         int to_y) {
    if (c.native_pixels) {
        put_native(c, window, frame, x, y, width, height, to_x, to_y);
    } else {
        put_converted(c, window, frame, x, y, width, height, to_x, to_y);
    }
}

}  // namespace

unsigned long server_pixel(uint32_t rgb) {
    const Connection& c = connection();
    if (c.native_pixels) {
        return rgb;
    }
    return channel((rgb >> 16) & 0xFF, c.visual->red_mask) | channel((rgb >> 8) & 0xFF, c.visual->green_mask) |
           channel(rgb & 0xFF, c.visual->blue_mask);
}

void present(SurfaceId id, const Frame& frame, int x, int y, int width, int height) {
    Surface* surface = find_surface(id);
    if (live_display() == nullptr || surface == nullptr || frame.pixels == nullptr) {
        return;
    }
    // Only what lies inside both the frame and the window.
    int right = x + width, bottom = y + height;
    x = x < 0 ? 0 : x;
    y = y < 0 ? 0 : y;
    right = right > frame.width ? frame.width : right;
    bottom = bottom > frame.height ? frame.height : bottom;
    right = right > surface->width ? surface->width : right;
    bottom = bottom > surface->height ? surface->height : bottom;
    if (right <= x || bottom <= y || frame.stride < frame.width) {
        return;
    }
    const Connection& c = connection();
    const int width_in = right - x, height_in = bottom - y;
    if (c.scale == 1) {
        put(c, surface->window, frame, x, y, width_in, height_in, x, y);
    } else {
        // Sent as its own frame, placed where the scaled rectangle goes.
        std::vector<uint32_t> pixels = scaled_up(frame, x, y, width_in, height_in, c.scale);
        int stride = width_in * c.scale;
        Frame big{pixels.data(), stride, height_in * c.scale, stride};
        put(c, surface->window, big, 0, 0, big.width, big.height, x * c.scale, y * c.scale);
    }
    XFlush(c.display);
}

}  // namespace display::x11
