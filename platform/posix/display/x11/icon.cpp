// The window's icon as _NET_WM_ICON: the platform's default application
// icon at the three sizes a window manager commonly shows, or the icon the
// window layer gives, at every size it has. A window manager shows it in a
// taskbar or a switcher, not in the window, so it is taken from its source,
// and its 30-odd KB sent, after the first frame's pixels.
#include <algorithm>
#include <vector>

#include "platform/posix/display/x11/connection.h"

namespace display::x11 {

namespace {

const int default_icon_sizes[] = {16, 32, 48};

// Each icon is its width, its height, then its rows; format 32 data
// travels as longs whatever their size.
std::vector<unsigned long> icon_data(const IconPicture* pictures, int count) {
    size_t total = 0;
    for (int i = 0; i < count; i++) {
        total += 2 + static_cast<size_t>(pictures[i].side) * pictures[i].side;
    }
    std::vector<unsigned long> data;
    data.reserve(total);
    for (int i = 0; i < count; i++) {
        const IconPicture& picture = pictures[i];
        data.push_back(static_cast<unsigned long>(picture.side));
        data.push_back(static_cast<unsigned long>(picture.side));
        data.insert(data.end(), picture.pixels, picture.pixels + static_cast<size_t>(picture.side) * picture.side);
    }
    return data;
}

std::vector<unsigned long> default_icon_data() {
    std::vector<std::vector<uint32_t>> pixels;
    std::vector<IconPicture> pictures;
    for (int size : default_icon_sizes) {
        pixels.emplace_back(static_cast<size_t>(size) * size);
        ::display::draw_default_icon(size, pixels.back().data());
        pictures.push_back(IconPicture{size, pixels.back().data()});
    }
    return icon_data(pictures.data(), static_cast<int>(pictures.size()));
}

}  // namespace

void want_default_icon(Surface* surface) {
    if (!surface->has_icon) {
        surface->has_icon = true;
        surface->icon_unsent = true;
    }
}

void set_icon(SurfaceId id, const IconSource* source) {
    Surface* surface = find_surface(id);
    if (live_display() != nullptr && surface != nullptr && source != nullptr) {
        surface->icon_source = source;
        surface->has_icon = true;
        surface->icon_unsent = true;
    }
}

bool send_icon(SurfaceId id, Surface* surface) {
    Display* display = live_display();
    if (display == nullptr || !surface->icon_unsent) {
        return false;
    }
    surface->icon_unsent = false;
    const IconPicture* pictures = nullptr;
    const int count = surface->icon_source != nullptr ? surface->icon_source->pictures(id, &pictures) : 0;
    const std::vector<unsigned long> data = count > 0 ? icon_data(pictures, count) : default_icon_data();
    xlib().XChangeProperty(display, surface->window, connection().net_wm_icon, XA_CARDINAL, 32, PropModeReplace,
                           reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    return true;
}

}  // namespace display::x11
