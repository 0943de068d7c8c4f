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
    void* library = dlopen(soname, RTLD_LAZY | RTLD_LOCAL);
    if (library == nullptr) {
        const char* error = dlerror();
        l->why = std::string(soname) + " cannot be loaded (" + (error != nullptr ? error : "no reason given") + ")";
        return false;
    }
    const char* missing = nullptr;
#define SORVANE_TAKE(name)                                                  \
    if (missing == nullptr && !take_call(library, #name, &l->calls.name)) { \
        missing = #name;                                                    \
    }
    SORVANE_XKBCOMMON_CALLS(SORVANE_TAKE)
#undef SORVANE_TAKE
    if (missing != nullptr) {
        dlclose(library);
        l->why = std::string(soname) + " lacks " + missing;
        return false;
    }
    return true;
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
