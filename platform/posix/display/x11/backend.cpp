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

const char* failure() {
    return connection().failure.c_str();
}

// The window manager draws the frame.
constexpr Backend hooks() {
    Backend b{};
    b.name = "x11";
    b.capabilities = gives_keyboard | shows_background | window_icons;
    b.screen_size = screen_size;
    b.create_surface = x11::create_surface;
    b.destroy_surface = x11::destroy_surface;
    b.show_surface = x11::show_surface;
    b.move_surface = x11::move_surface;
    b.set_title = x11::set_title;
    b.present = x11::present;
    b.next_input = x11::next_input;
    b.set_owner = x11::set_owner;
    b.set_modal = x11::set_modal;
    b.device_quarters = device_quarters;
    b.close = x11::close;
    b.failure = failure;
    b.activate_surface = x11::activate_surface;
    b.set_background = x11::set_background;
    b.set_icon = x11::set_icon;
    return b;
}

constexpr Backend backend = hooks();

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
        xlib().XSync(display, False);
    }
}

}  // namespace x11

const Backend* open_x11(char* reason, size_t size) {
    x11::Connection& c = x11::connection();
    if (c.display != nullptr && !c.broken) {
        return &x11::backend;
    }
    x11::close();
    const char* name = getenv("DISPLAY");
    std::string why = "DISPLAY is not set";
    if (name == nullptr || name[0] == '\0' || !x11::connect(name, &why)) {
        set_reason(reason, size, why.c_str());
        return nullptr;
    }
    return &x11::backend;
}

}  // namespace display
