// Window titles: the program's text is Windows-1252; WM_NAME carries it as
// Latin-1 and _NET_WM_NAME as UTF-8, which window managers prefer.
#include "platform/posix/display/x11/connection.h"

namespace display::x11 {

namespace {

// 0x80 to 0x9F; the five codes the code page leaves out map to the same
// control characters, as the platform converts them.
const unsigned short high[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void append_utf8(std::string* out, unsigned code) {
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | (code >> 6));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xE0 | (code >> 12));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

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
    XStoreName(display, window, latin1.c_str());
    XSetIconName(display, window, latin1.c_str());
    const Connection& c = connection();
    std::string utf8 = utf8_of_cp1252(title);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    int length = static_cast<int>(utf8.size());
    XChangeProperty(display, window, c.net_wm_name, c.utf8_string, 8, PropModeReplace, bytes, length);
    XChangeProperty(display, window, c.net_wm_icon_name, c.utf8_string, 8, PropModeReplace, bytes, length);
}

std::string utf8_of_cp1252(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; p++) {
        append_utf8(&out, *p >= 0x80 && *p < 0xA0 ? high[*p - 0x80] : *p);
    }
    return out;
}

void set_title(SurfaceId id, const char* title) {
    Display* display = live_display();
    Surface* surface = find_surface(id);
    if (display == nullptr || surface == nullptr) {
        return;
    }
    store_title(display, surface->window, title);
    XFlush(display);
}

}  // namespace display::x11
