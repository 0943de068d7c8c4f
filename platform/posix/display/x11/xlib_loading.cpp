// Loads libX11 with dlopen and takes its calls by name.
#include "platform/posix/display/library_calls.h"
#include "platform/posix/display/x11/xlib_calls.h"

namespace display::x11 {

namespace {

// The calls, and whether they were had: 0 not yet tried, 1 loaded, -1 not
// to be had (and why).
struct Loaded {
    int state = 0;
    XlibCalls calls{};
    std::string why;
};

Loaded the_library;

}  // namespace

bool load_xlib_calls(const char* soname, XlibCalls* calls, std::string* why) {
    return load_library_calls(soname, why, [calls](void* library) -> const char* {
        SORVANE_XLIB_CALLS(SORVANE_TAKE_CALL)
        return nullptr;
    });
}

bool load_xlib(std::string* why) {
    Loaded& l = the_library;
    if (l.state == 0) {
        XlibCalls calls{};
        l.state = load_xlib_calls("libX11.so.6", &calls, &l.why) ? 1 : -1;
        if (l.state > 0) {
            l.calls = calls;
        }
    }
    if (l.state < 0) {
        *why = l.why;
    }
    return l.state > 0;
}

const XlibCalls& xlib() {
    return the_library.calls;
}

}  // namespace display::x11
