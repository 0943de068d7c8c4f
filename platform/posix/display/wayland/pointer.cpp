// The seat's pointer: its motion and buttons down the way touch takes too
// (pointing.cpp), and the platform's arrow as the cursor image.
#include <linux/input-event-codes.h>
#include <string.h>

#include "platform/posix/display/wayland/connection.h"
#include "platform/posix/display/wayland/scale.h"

namespace display::wayland {

namespace {

// The classic arrow, its hot spot at the tip: X black, . white.
const char* const arrow[] = {
    "X",         "XX",        "X.X",        "X..X",        "X...X",     "X....X",   "X.....X",
    "X......X",  "X.......X", "X........X", "X.....XXXXX", "X..X..X",   "X.X X..X", "XX  X..X",
    "X    X..X", "     X..X", "      X..X", "      X..X",  "       XX",
};
constexpr int arrow_width = 12, arrow_height = 19;

int pointer_scale() {
    int scale = 1;
    for (const auto& output : connection().outputs) {
        scale = output->scale > scale ? output->scale : scale;
    }
    return scale;
}

// The cursor's device scale in quarters: the window's fractional one where
// the window is shown through a viewport, else the outputs' whole one.
int cursor_quarters(const Surface& surface) {
    if (surface.fractional_drawn && surface.quarters % 4 != 0 && connection().viewporter != nullptr) {
        return surface.quarters;
    }
    return pointer_scale() * 4;
}

int device_side(int side, int quarters) {
    return (side * quarters * 2 + 4) / 8;
}

// Each device pixel shows the arrow's pixel under it, so a whole scale
// repeats each pixel and a fractional one keeps the arrow's lines whole.
void draw_arrow(Buffer* buffer, int quarters) {
    for (int y = 0; y < buffer->height; y++) {
        const int arrow_row = y * 4 / quarters;
        const char* row = arrow[arrow_row < arrow_height ? arrow_row : arrow_height - 1];
        size_t length = strlen(row);
        for (int x = 0; x < buffer->width; x++) {
            size_t column = static_cast<size_t>(x * 4 / quarters);
            char dot = column < length ? row[column] : ' ';
            buffer->pixels[y * buffer->width + x] = dot == 'X' ? 0xFF000000 : dot == '.' ? 0xFFFFFFFF : 0;
        }
    }
}

// A whole scale is the buffer scale; a fractional one is buffer scale 1 and
// a viewport to the arrow's logical size, as the windows are shown.
void show_cursor_at(int quarters) {
    Connection& c = connection();
    if (quarters % 4 == 0) {
        wl_surface_set_buffer_scale(c.cursor, quarters / 4);
        if (c.cursor_viewport != nullptr) {
            wp_viewport_set_destination(c.cursor_viewport, -1, -1);
        }
        return;
    }
    if (c.cursor_viewport == nullptr) {
        c.cursor_viewport = wp_viewporter_get_viewport(c.viewporter, c.cursor);
    }
    const BufferPlan plan = plan_buffer(c.cursor_buffer->width, c.cursor_buffer->height, quarters, true);
    wl_surface_set_buffer_scale(c.cursor, 1);
    wp_viewport_set_destination(c.cursor_viewport, plan.logical_width, plan.logical_height);
}

void set_cursor(wl_pointer* pointer, uint32_t serial, int quarters) {
    Connection& c = connection();
    if (c.cursor == nullptr) {
        c.cursor = wl_compositor_create_surface(c.compositor);
    }
    if (c.cursor_buffer == nullptr || c.cursor_quarters != quarters) {
        if (c.cursor_buffer != nullptr) {
            destroy_buffer(c.cursor_buffer.get());
        }
        c.cursor_buffer = make_buffer(c.shm, device_side(arrow_width, quarters), device_side(arrow_height, quarters),
                                      WL_SHM_FORMAT_ARGB8888);
        if (c.cursor_buffer == nullptr) {
            return;
        }
        c.cursor_quarters = quarters;
        draw_arrow(c.cursor_buffer.get(), quarters);
        show_cursor_at(quarters);
        wl_surface_attach(c.cursor, c.cursor_buffer->buffer, 0, 0);
        wl_surface_damage_buffer(c.cursor, 0, 0, c.cursor_buffer->width, c.cursor_buffer->height);
        wl_surface_commit(c.cursor);
    }
    wl_pointer_set_cursor(pointer, serial, c.cursor, 0, 0);
}

void follow_position(const Surface& surface, wl_fixed_t x, wl_fixed_t y) {
    Connection& c = connection();
    client_position(surface, x, y, &c.pointer_x, &c.pointer_y);
}

void on_enter(void*, wl_pointer* pointer, uint32_t serial, wl_surface* on, wl_fixed_t x, wl_fixed_t y) {
    Surface* surface = surface_of(on);
    if (surface == nullptr) {
        return;  // the cursor's own surface, or one already gone
    }
    Connection& c = connection();
    c.pointer_surface = surface->id;
    c.client_buttons = 0;
    follow_position(*surface, x, y);
    set_cursor(pointer, serial, cursor_quarters(*surface));
    point_motion(surface, c.pointer_x, c.pointer_y, 0);
}

void on_leave(void*, wl_pointer*, uint32_t, wl_surface*) {
    connection().pointer_surface = 0;
}

void on_motion(void*, wl_pointer*, uint32_t time, wl_fixed_t x, wl_fixed_t y) {
    Surface* surface = find_surface(connection().pointer_surface);
    if (surface == nullptr) {
        return;
    }
    follow_position(*surface, x, y);
    point_motion(surface, connection().pointer_x, connection().pointer_y, time);
}

void on_button(void*, wl_pointer*, uint32_t serial, uint32_t time, uint32_t button, uint32_t state) {
    Connection& c = connection();
    int which = button == BTN_LEFT     ? ButtonLeft
                : button == BTN_RIGHT  ? ButtonRight
                : button == BTN_MIDDLE ? ButtonMiddle
                                       : 0;
    Surface* surface = find_surface(c.pointer_surface);
    if (surface == nullptr || which == 0) {
        return;  // extra buttons have no message here
    }
    point_button(surface, c.pointer_x, c.pointer_y, which, state == WL_POINTER_BUTTON_STATE_PRESSED, serial, time);
}

// The wheel has no message here.
void on_axis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void on_frame(void*, wl_pointer*) {}
void on_axis_source(void*, wl_pointer*, uint32_t) {}
void on_axis_stop(void*, wl_pointer*, uint32_t, uint32_t) {}
void on_axis_discrete(void*, wl_pointer*, uint32_t, int32_t) {}

const wl_pointer_listener pointer_listener = {on_enter, on_leave,       on_motion,    on_button,        on_axis,
                                              on_frame, on_axis_source, on_axis_stop, on_axis_discrete, nullptr};

}  // namespace

void follow_pointer(bool present) {
    Connection& c = connection();
    if (present && c.pointer == nullptr) {
        c.pointer = wl_seat_get_pointer(c.seat);
        wl_pointer_add_listener(c.pointer, &pointer_listener, nullptr);
    } else if (!present && c.pointer != nullptr) {
        wl_pointer_destroy(c.pointer);
        c.pointer = nullptr;
        c.pointer_surface = 0;
    }
}

}  // namespace display::wayland
