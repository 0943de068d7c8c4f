// The platform's default application icon as _NET_WM_ICON, at the three
// sizes a window manager commonly shows.
#include <algorithm>
#include <vector>

#include "platform/posix/display/x11/connection.h"

namespace display::x11 {

namespace {

const int icon_sizes[] = {16, 32, 48};

}  // namespace

void set_default_icon(Display* display, Window window) {
    // Each icon is its width, its height, then its rows; format 32 data
    // travels as longs whatever their size.
    std::vector<unsigned long> data;
    for (int size : icon_sizes) {
        size_t start = data.size();
        data.resize(start + 2 + static_cast<size_t>(size) * size);
        data[start] = static_cast<unsigned long>(size);
        data[start + 1] = static_cast<unsigned long>(size);
        std::vector<uint32_t> pixels(static_cast<size_t>(size) * size);
        ::display::draw_default_icon(size, pixels.data());
        std::copy(pixels.begin(), pixels.end(), data.begin() + static_cast<long>(start + 2));
    }
    XChangeProperty(display, window, connection().net_wm_icon, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
}

}  // namespace display::x11
