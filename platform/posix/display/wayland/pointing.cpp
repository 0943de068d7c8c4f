// The one way of the pointer and of touch to input: a position in the
// compositor's surface coordinates to the device pixel drawn under it, the
// frame the layer draws (its caption and close box) before the client
// area, and the left button held as one, whichever pressed it. The window
// layer hears only mouse input, as a control never knows which it was.
#include "platform/posix/display/wayland/connection.h"
#include "platform/posix/display/wayland/scale.h"

namespace display::wayland {

namespace {

bool on_client_area(const Surface& surface, int x, int y) {
    return x >= 0 && y >= 0 && x < surface.width && y < surface.height;
}

}  // namespace

void client_position(const Surface& surface, wl_fixed_t x, wl_fixed_t y, int* client_x, int* client_y) {
    // A frame the layer draws lies before the client area.
    *client_x = device_pixel(wl_fixed_to_double(x), outer_width(surface), logical_width(surface)) - surface.inset_left;
    *client_y = device_pixel(wl_fixed_to_double(y), outer_height(surface), logical_height(surface)) - surface.inset_top;
}

// Over a frame the layer draws, the program hears of the pointer only while
// a button that went down on the client area is held, as X delivers it.
void point_motion(Surface* surface, int x, int y, uint32_t time) {
    if (frame_motion(surface, x + surface->inset_left, y + surface->inset_top)) {
        return;
    }
    if (surface->client_frame && connection().client_buttons == 0 && !on_client_area(*surface, x, y)) {
        return;
    }
    Input input;
    input.kind = InputKind::MouseMove;
    input.surface = surface->id;
    input.x = x;
    input.y = y;
    input.time = time;
    queue_input(input);
}

void point_button(Surface* surface, int x, int y, int which, bool pressed, uint32_t serial, uint32_t time) {
    Connection& c = connection();
    if (c.client_buttons == 0 && which == ButtonLeft &&
        frame_button(surface, x + surface->inset_left, y + surface->inset_top, pressed, serial)) {
        return;
    }
    if (surface->client_frame && pressed && c.client_buttons == 0 && !on_client_area(*surface, x, y)) {
        return;  // other buttons on the frame do nothing
    }
    if (pressed) {
        c.client_buttons++;
    } else if (c.client_buttons > 0) {
        c.client_buttons--;
    } else if (surface->client_frame) {
        return;  // the release of a press the compositor kept (a move)
    }
    Input input;
    input.kind = pressed ? InputKind::ButtonDown : InputKind::ButtonUp;
    input.surface = surface->id;
    input.x = x;
    input.y = y;
    input.button = which;
    input.time = time;
    queue_input(input);
}

}  // namespace display::wayland
