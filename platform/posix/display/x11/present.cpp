// Presenting a surface's pixels: the dirty rectangles of a frame are gathered
// and put into the window when the program is about to wait for input, a
// few XPutImage calls for a whole frame of drawing instead of one a control;
// converted first when the server's pixels differ. The frames are device
// pixels already (the window layer draws at the desktop's scale), so they
// are never scaled here.
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
    if (!xlib().XInitImage(&image)) {
        return;
    }
    xlib().XPutImage(c.display, window, c.gc, &image, x, y, to_x, to_y, width, height);
    connection().images_put++;
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
    XImage* image = xlib().XCreateImage(c.display, c.visual, c.depth, ZPixmap, 0, nullptr, width, height, 32, 0);
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
    xlib().XPutImage(c.display, window, c.gc, image, 0, 0, to_x, to_y, width, height);
    connection().images_put++;
    XDestroyImage(image);
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

namespace {

// At most this many rectangles wait for a surface; more are merged.
constexpr size_t max_unsent = 4;
// At most this many puts are remembered; an Expose of an older one is sent.
constexpr size_t max_puts = 8;

using Area = Surface::Area;

long area_of(const Area& a) {
    return static_cast<long>(a.right - a.left) * (a.bottom - a.top);
}

Area united(const Area& a, const Area& b) {
    return Area{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top, a.right > b.right ? a.right : b.right,
                a.bottom > b.bottom ? a.bottom : b.bottom};
}

bool touching(const Area& a, const Area& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

bool inside(const Area& inner, const Area& outer) {
    return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// Keeps the put, forgetting those it covers and, past the limit, the oldest.
void remember_put(Surface* surface, Area area, unsigned long serial) {
    auto& puts = surface->puts;
    for (size_t i = 0; i < puts.size();) {
        if (inside(puts[i].area, area)) {
            puts.erase(puts.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
    if (puts.size() == max_puts) {
        puts.erase(puts.begin());
    }
    puts.push_back(Surface::Put{area, serial});
}

bool same_frame(const Frame& a, const Frame& b) {
    return a.pixels == b.pixels && a.width == b.width && a.height == b.height && a.stride == b.stride;
}

// Adds an area, merging it with those it touches; past the limit, with the
// one whose union grows least.
void gather(std::vector<Area>* unsent, Area area) {
    for (size_t i = 0; i < unsent->size();) {
        if (touching((*unsent)[i], area)) {
            area = united((*unsent)[i], area);
            unsent->erase(unsent->begin() + static_cast<long>(i));
            i = 0;
        } else {
            ++i;
        }
    }
    if (unsent->size() < max_unsent) {
        unsent->push_back(area);
        return;
    }
    size_t best = 0;
    long best_growth = -1;
    for (size_t i = 0; i < unsent->size(); ++i) {
        const long growth = area_of(united((*unsent)[i], area)) - area_of((*unsent)[i]);
        if (best_growth < 0 || growth < best_growth) {
            best = i;
            best_growth = growth;
        }
    }
    (*unsent)[best] = united((*unsent)[best], area);
}

void send(const Connection& c, Surface& surface) {
    const Frame& frame = surface.unsent_frame;
    for (Area a : surface.unsent) {
        // The window may have shrunk since.
        a.right = a.right > surface.width ? surface.width : a.right;
        a.bottom = a.bottom > surface.height ? surface.height : a.bottom;
        const int width = a.right - a.left, height = a.bottom - a.top;
        if (width <= 0 || height <= 0) {
            continue;
        }
        // Device pixels as they are: the window layer drew at the desktop's scale.
        const unsigned long serial = NextRequest(c.display);
        put(c, surface.window, frame, a.left, a.top, width, height, a.left, a.top);
        remember_put(&surface, a, serial);
    }
    surface.unsent.clear();
}

}  // namespace

void present(SurfaceId id, const Frame& frame, int x, int y, int width, int height) {
    Surface* surface = find_surface(id);
    if (live_display() == nullptr || surface == nullptr || frame.pixels == nullptr) {
        return;
    }
    // Only what lies inside both the frame and the window.
    int right = x + width, bottom = y + height;
    if (!clip_to_frame(frame, surface->width, surface->height, &x, &y, &right, &bottom) || frame.stride < frame.width) {
        return;
    }
    // Areas of another frame go out first, from the frame they came from.
    if (!surface->unsent.empty() && !same_frame(surface->unsent_frame, frame)) {
        send(connection(), *surface);
    }
    surface->unsent_frame = frame;
    gather(&surface->unsent, Area{x, y, right, bottom});
}

void send_presented() {
    Connection& c = connection();
    if (live_display() == nullptr) {
        return;
    }
    bool sent = false;
    for (auto& entry : c.surfaces) {
        if (!entry.second.unsent.empty()) {
            send(c, entry.second);
            sent = true;
        }
    }
    if (sent) {
        xlib().XFlush(c.display);
    }
    // After the pixels, what shows outside the window.
    bool icons = false;
    for (auto& entry : c.surfaces) {
        icons = send_icon(entry.first, &entry.second) || icons;
    }
    if (icons) {
        xlib().XFlush(c.display);
    }
}

void drop_presented(Surface* surface) {
    surface->unsent.clear();
    surface->puts.clear();
}

// The server numbers an event with the last request of ours it carried out;
// an Expose made before a put's first request was painted over by it, one
// made after (another window uncovering it, or the put reaching a window
// not yet shown) names pixels the put never left there.
bool put_since(const Surface& surface, unsigned long serial, int left, int top, int right, int bottom) {
    const Area exposed{left, top, right, bottom};
    for (const Surface::Put& p : surface.puts) {
        if (serial < p.serial && inside(exposed, p.area)) {
            return true;
        }
    }
    return false;
}

}  // namespace display::x11
