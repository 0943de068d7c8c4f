// The seat's touch screen: KWin and mutter give a client touch only on
// wl_touch, never as the pointer, so each event goes through the promotion
// of touch to the mouse (display/touch_promotion.h) and what it makes down
// the pointer's own way (pointing.cpp): a tap on a checkbox is its click,
// on the frame's caption a move, on its close box a close.
#include "platform/posix/display/wayland/connection.h"

namespace display::wayland {

namespace {

// wl_touch.release came with wl_seat 3.
constexpr uint32_t release_version = 3;

// What the promotion made, at the serial of the event that made it.
void promote(const TouchPoint& point, uint32_t serial) {
    Input made[2];
    const int count = promote_touch(&connection().touch, point, made);
    for (int i = 0; i < count; i++) {
        Surface* surface = find_surface(made[i].surface);
        if (surface == nullptr) {
            continue;
        }
        if (made[i].kind == InputKind::MouseMove) {
            point_motion(surface, made[i].x, made[i].y, made[i].time);
        } else {
            point_button(surface, made[i].x, made[i].y, ButtonLeft, made[i].kind == InputKind::ButtonDown, serial,
                         made[i].time);
        }
    }
}

void on_down(void*, wl_touch*, uint32_t serial, uint32_t time, wl_surface* on, int32_t id, wl_fixed_t x, wl_fixed_t y) {
    Surface* surface = surface_of(on);
    TouchPoint point;
    point.event = TouchEvent::Down;
    point.id = id;
    point.time = time;
    if (surface != nullptr) {
        point.surface = surface->id;
        client_position(*surface, x, y, &point.x, &point.y);
    }
    // A point on a surface not ours still counts among the points down.
    promote(point, serial);
}

void on_up(void*, wl_touch*, uint32_t serial, uint32_t time, int32_t id) {
    TouchPoint point;
    point.event = TouchEvent::Up;
    point.id = id;
    point.time = time;
    promote(point, serial);
}

// Motion names no surface: the point's is the one it went down on.
void on_motion(void*, wl_touch*, uint32_t time, int32_t id, wl_fixed_t x, wl_fixed_t y) {
    const TouchPromotion& promotion = connection().touch;
    Surface* surface = promotion.held && promotion.primary == id ? find_surface(promotion.surface) : nullptr;
    if (surface == nullptr) {
        return;
    }
    TouchPoint point;
    point.event = TouchEvent::Motion;
    point.id = id;
    point.time = time;
    client_position(*surface, x, y, &point.x, &point.y);
    promote(point, 0);
}

// Each event is taken as it comes: the first point alone is the mouse, so a
// frame's grouping changes nothing.
void on_frame(void*, wl_touch*) {}

void on_cancel(void*, wl_touch*) {
    TouchPoint point;
    point.event = TouchEvent::Cancel;
    promote(point, 0);
}

void on_shape(void*, wl_touch*, int32_t, wl_fixed_t, wl_fixed_t) {}
void on_orientation(void*, wl_touch*, int32_t, wl_fixed_t) {}

const wl_touch_listener touch_listener = {on_down, on_up, on_motion, on_frame, on_cancel, on_shape, on_orientation};

}  // namespace

void follow_touch(bool present) {
    Connection& c = connection();
    if (present && c.touch_device == nullptr) {
        c.touch_device = wl_seat_get_touch(c.seat);
        wl_touch_add_listener(c.touch_device, &touch_listener, nullptr);
    } else if (!present && c.touch_device != nullptr) {
        // A press held as the touch screen goes is let go, clicking nothing.
        on_cancel(nullptr, c.touch_device);
        if (wl_touch_get_version(c.touch_device) >= release_version) {
            wl_touch_release(c.touch_device);
        } else {
            wl_touch_destroy(c.touch_device);
        }
        c.touch_device = nullptr;
    }
}

}  // namespace display::wayland
