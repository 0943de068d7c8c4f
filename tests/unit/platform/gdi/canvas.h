// A pixel buffer with a DC over it, for the painting tests.
#pragma once

#include <vector>

#include "platform/posix/gdi/dc.h"
#include "platform/win32.h"

namespace paint_test {

constexpr uint32_t sentinel = 0x123456;

inline uint32_t pixel_of(COLORREF c) {
    return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
}
inline uint32_t sys(int index) {
    return pixel_of(GetSysColor(index));
}

struct Canvas {
    int width, height;
    std::vector<uint32_t> pixels;
    gdi::PixelBuffer buffer;
    HDC dc;

    Canvas(int w, int h, uint32_t fill = sentinel, int origin_x = 0, int origin_y = 0)
        : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill), buffer{pixels.data(), w, h, w} {
        dc = gdi::create_dc(&buffer, origin_x, origin_y, RECT{0, 0, w, h});
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() { gdi::delete_dc(dc); }

    uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }

    // The bounding box of pixels darker than mid grey; empty when none.
    RECT ink(const RECT& within) const {
        RECT box{within.right, within.bottom, within.left, within.top};
        for (int y = within.top; y < within.bottom; ++y) {
            for (int x = within.left; x < within.right; ++x) {
                const uint32_t p = at(x, y);
                if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 128) {
                    if (x < box.left) {
                        box.left = x;
                    }
                    if (y < box.top) {
                        box.top = y;
                    }
                    if (x + 1 > box.right) {
                        box.right = x + 1;
                    }
                    if (y + 1 > box.bottom) {
                        box.bottom = y + 1;
                    }
                }
            }
        }
        if (box.right <= box.left) {
            return RECT{0, 0, 0, 0};
        }
        return box;
    }
    RECT ink() const { return ink(RECT{0, 0, width, height}); }
    // Pixels whose blue channel is below level: greys that are darker.
    int count_darker(unsigned level, const RECT& within) const {
        int n = 0;
        for (int y = within.top; y < within.bottom; ++y) {
            for (int x = within.left; x < within.right; ++x) {
                n += (at(x, y) & 0xFF) < level;
            }
        }
        return n;
    }
    int count(uint32_t colour, const RECT& within) const {
        int n = 0;
        for (int y = within.top; y < within.bottom; ++y) {
            for (int x = within.left; x < within.right; ++x) {
                n += at(x, y) == colour;
            }
        }
        return n;
    }
};

inline HBRUSH sys_brush(int index) {
    return reinterpret_cast<HBRUSH>(static_cast<intptr_t>(index + 1));
}

}  // namespace paint_test
