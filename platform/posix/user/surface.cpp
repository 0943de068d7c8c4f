// The one caller of the display backend: each top-level window with a
// surface of its own, named by the window's handle.
#include "platform/posix/user/surface.h"

#include "platform/posix/display/display.h"
#include "platform/posix/gdi/gdi_objects.h"

namespace user {

namespace {

display::SurfaceId id_of(const Window* top) {
    return reinterpret_cast<display::SurfaceId>(top->handle);
}

int client_width(const Window* window) {
    return window->client.right - window->client.left;
}

int client_height(const Window* window) {
    return window->client.bottom - window->client.top;
}

// The class background as the display's 0x00RRGGBB.
bool background_of(const Window* top, uint32_t* rgb) {
    COLORREF colour = 0;
    if (top->cls == nullptr || top->cls->wc.hbrBackground == nullptr ||
        !gdi::brush_colour(top->cls->wc.hbrBackground, &colour)) {
        return false;
    }
    *rgb = static_cast<uint32_t>(GetRValue(colour)) << 16 | static_cast<uint32_t>(GetGValue(colour)) << 8 |
           GetBValue(colour);
    return true;
}

void set_modal(const Window* owned, bool modal) {
    if (owned->surface && display::current().set_modal != nullptr) {
        display::current().set_modal(id_of(owned), modal);
    }
}

}  // namespace

void create_surface(Window* top) {
    const display::Backend& display = display::current();
    top->surface = display.create_surface(id_of(top), top->text.c_str(), top->client.left, top->client.top,
                                          client_width(top), client_height(top), (top->style & WS_THICKFRAME) != 0);
    if (!top->surface) {
        return;
    }
    uint32_t rgb = 0;
    if (display.set_background != nullptr && background_of(top, &rgb)) {
        display.set_background(id_of(top), rgb);
    }
    Window* owner = top->owner != nullptr ? peek_window(top->owner) : nullptr;
    if (owner != nullptr && owner->surface && display.set_owner != nullptr) {
        display.set_owner(id_of(top), id_of(owner));
        // A box made while it holds its owner disabled.
        set_modal(top, (owner->style & WS_DISABLED) != 0);
    }
}

void follow_owner_enabled(const Window* owner) {
    bool disabled = (owner->style & WS_DISABLED) != 0;
    for (HWND hwnd : top_level_windows()) {
        Window* owned = peek_window(hwnd);
        if (owned != nullptr && owned->owner == owner->handle) {
            set_modal(owned, disabled);
        }
    }
}

void destroy_surface(Window* top) {
    if (top->surface) {
        display::current().destroy_surface(id_of(top));
        top->surface = false;
    }
}

void show_surface(Window* top, bool visible) {
    if (top->surface) {
        display::current().show_surface(id_of(top), visible);
    }
}

void move_surface(Window* top) {
    if (top->surface) {
        display::current().move_surface(id_of(top), top->client.left, top->client.top, client_width(top),
                                        client_height(top));
    }
}

void set_surface_title(Window* top) {
    if (top->surface) {
        display::current().set_title(id_of(top), top->text.c_str());
    }
}

void activate_surface(Window* top) {
    if (top->surface && display::current().activate_surface != nullptr) {
        display::current().activate_surface(id_of(top));
    }
}

void present(Window* top, const RECT& area) {
    if (top == nullptr || !top->surface) {
        return;
    }
    RECT r = rect_intersection(area, RECT{0, 0, top->buffer.width, top->buffer.height});
    if (rect_empty(r)) {
        return;
    }
    display::Frame frame{top->buffer.pixels, top->buffer.width, top->buffer.height, top->buffer.stride};
    display::current().present(id_of(top), frame, r.left, r.top, r.right - r.left, r.bottom - r.top);
    accessibility_frame_presented();
}

bool next_display_input(display::Input* input) {
    return display::current().next_input(input);
}

void screen_size(int* width, int* height) {
    *width = 0;
    *height = 0;
    display::current().screen_size(width, height);
}

}  // namespace user
