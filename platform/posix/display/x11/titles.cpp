// Window titles: the program's text is Windows-1252; WM_NAME carries it as
// Latin-1 and _NET_WM_NAME as UTF-8, which window managers prefer.
#include "platform/posix/display/x11/connection.h"

#include "platform/posix/display/cp1252.h"

namespace display::x11 {

namespace {

// Latin-1 has no printable characters where Windows-1252 has its extras.
std::string latin1_of_cp1252(const char* text) {
    std::string out = text;
    for (char& c : out) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xA0) {
            c = '?';
        }
    }
    return out;
}

}  // namespace

void store_title(Display* display, Window window, const char* title) {
    if (title == nullptr) {
        title = "";
    }
    std::string latin1 = latin1_of_cp1252(title);
    xlib().XStoreName(display, window, latin1.c_str());
    xlib().XSetIconName(display, window, latin1.c_str());
    const Connection& c = connection();
    std::string utf8 = utf8_of_cp1252(title);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    int length = static_cast<int>(utf8.size());
    xlib().XChangeProperty(display, window, c.net_wm_name, c.utf8_string, 8, PropModeReplace, bytes, length);
    xlib().XChangeProperty(display, window, c.net_wm_icon_name, c.utf8_string, 8, PropModeReplace, bytes, length);
}

void set_title(SurfaceId id, const char* title) {
    Display* display = live_display();
    Surface* surface = find_surface(id);
    if (display == nullptr || surface == nullptr) {
        return;
    }
    store_title(display, surface->window, title);
    xlib().XFlush(display);
}

}  // namespace display::x11
