// The X11 backend's hook table: the one file that calls the others from
// above; they call down to each other and to the connection, never back.
#include "platform/posix/display/x11/connection.h"

#include <stdlib.h>

#include "platform/posix/display/x11/x11.h"

namespace display {

namespace x11 {

namespace {

void screen_size(int* width, int* height) {
    const Connection& c = connection();
    *width = c.display != nullptr ? DisplayWidth(c.display, c.screen) : 0;
    *height = c.display != nullptr ? DisplayHeight(c.display, c.screen) : 0;
}

// One scale for the whole server.
int device_quarters(SurfaceId) {
    return connection().quarters;
}

const Backend backend = {
    "x11",
    screen_size,
    x11::create_surface,
    x11::destroy_surface,
    x11::show_surface,
    x11::move_surface,
    x11::set_title,
    x11::activate_surface,
    x11::present,
    x11::next_input,
    x11::set_owner,
    x11::set_modal,
    x11::set_background,
    device_quarters,
    nullptr,  // the window manager draws the frame
    x11::set_icon,
};

}  // namespace

unsigned long window_of(SurfaceId id) {
    Surface* surface = find_surface(id);
    return surface != nullptr ? surface->window : 0;
}

unsigned long images_put() {
    return connection().images_put;
}

void sync() {
    send_presented();
    if (Display* display = live_display()) {
        XSync(display, False);
    }
}

}  // namespace x11

const Backend* open_x11() {
    x11::Connection& c = x11::connection();
    if (c.display != nullptr && !c.broken) {
        return &x11::backend;
    }
    x11::close();
    const char* name = getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0' || !x11::connect(name)) {
        return nullptr;
    }
    return &x11::backend;
}

}  // namespace display
