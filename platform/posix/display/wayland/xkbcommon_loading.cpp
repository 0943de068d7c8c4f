// Loads xkbcommon with dlopen and takes its calls by name.
#include "platform/posix/display/library_calls.h"
#include "platform/posix/display/wayland/xkbcommon_library.h"

namespace display::wayland {

namespace {

constexpr const char* soname = "libxkbcommon.so.0";

// 0 not yet tried, 1 loaded, -1 not to be had (and why).
struct Loaded {
    int state = 0;
    XkbCalls calls{};
    std::string why;
};

Loaded the_library;

bool load(Loaded* l) {
    XkbCalls* calls = &l->calls;
    return load_library_calls(soname, &l->why, [calls](void* library) -> const char* {
        SORVANE_XKBCOMMON_CALLS(SORVANE_TAKE_CALL)
        return nullptr;
    });
}

}  // namespace

const XkbCalls* xkbcommon(std::string* why) {
    Loaded& l = the_library;
    if (l.state == 0) {
        l.state = load(&l) ? 1 : -1;
    }
    if (l.state < 0 && why != nullptr) {
        *why = l.why;
    }
    return l.state > 0 ? &l.calls : nullptr;
}

}  // namespace display::wayland
