// The window's icon as _NET_WM_ICON: the platform's default application
// icon at the three sizes a window manager commonly shows, or the icon the
// window layer gives, at every size it has.
#include <algorithm>
#include <vector>

#include "platform/posix/display/x11/connection.h"

namespace display::x11 {

namespace {

const int default_icon_sizes[] = {16, 32, 48};

// Each icon is its width, its height, then its rows; format 32 data
// travels as longs whatever their size.
void put_icon(Display* display, Window window, const IconPicture* pictures, int count) {
    std::vector<unsigned long> data;
    for (int i = 0; i < count; i++) {
        const IconPicture& picture = pictures[i];
        const size_t start = data.size(), area = static_cast<size_t>(picture.side) * picture.side;
        data.resize(start + 2 + area);
        data[start] = data[start + 1] = static_cast<unsigned long>(picture.side);
        std::copy(picture.pixels, picture.pixels + area, data.begin() + static_cast<long>(start + 2));
    }
    xlib().XChangeProperty(display, window, connection().net_wm_icon, XA_CARDINAL, 32, PropModeReplace,
                           reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
}

}  // namespace

void set_default_icon(Display* display, Window window) {
    std::vector<std::vector<uint32_t>> pixels;
    std::vector<IconPicture> pictures;
    for (int size : default_icon_sizes) {
        pixels.emplace_back(static_cast<size_t>(size) * size);
        ::display::draw_default_icon(size, pixels.back().data());
    }
    for (size_t i = 0; i < pixels.size(); i++) {
        pictures.push_back(IconPicture{default_icon_sizes[i], pixels[i].data()});
    }
    put_icon(display, window, pictures.data(), static_cast<int>(pictures.size()));
}

void set_icon(SurfaceId id, const IconPicture* pictures, int count) {
    Display* display = live_display();
    Surface* surface = find_surface(id);
    if (display != nullptr && surface != nullptr && count > 0) {
        put_icon(display, surface->window, pictures, count);
        surface->has_icon = true;
    }
}

}  // namespace display::x11
