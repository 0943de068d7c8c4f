// The seat: which input devices it has, and the surface each one is on.
#include "platform/posix/display/wayland/connection.h"

namespace display::wayland {

namespace {

constexpr uint32_t seat_version = 5;  // repeat_info from 4, pointer frames from 5

void on_capabilities(void*, wl_seat*, uint32_t capabilities) {
    follow_pointer((capabilities & WL_SEAT_CAPABILITY_POINTER) != 0);
    follow_keyboard((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0);
    follow_touch((capabilities & WL_SEAT_CAPABILITY_TOUCH) != 0);
}

void on_name(void*, wl_seat*, const char*) {}

const wl_seat_listener seat_listener = {on_capabilities, on_name};

}  // namespace

void add_seat(wl_registry* registry, uint32_t name, uint32_t version) {
    Connection& c = connection();
    c.seat = static_cast<wl_seat*>(
        wl_registry_bind(registry, name, &wl_seat_interface, version < seat_version ? version : seat_version));
    wl_seat_add_listener(c.seat, &seat_listener, nullptr);
}

void forget_input_surface(SurfaceId id) {
    Connection& c = connection();
    if (c.pointer_surface == id) {
        c.pointer_surface = 0;
    }
    if (c.keyboard_surface == id) {
        c.keyboard_surface = 0;
        c.repeat.key = 0;
    }
    forget_touch_surface(&c.touch, id);
}

}  // namespace display::wayland
