// The one connection to the compositor: the look-ups every file of the
// backend makes, the queue of input they fill, and taking down what the
// connection holds, a surface's objects or all of it. It calls no other
// file of the backend but the buffers below it.
#include "platform/posix/display/wayland/connection.h"
#include "platform/posix/display/wayland/xkbcommon_library.h"

#include "platform/posix/display/wayland/wayland.h"

namespace display::wayland {

namespace {

Connection the_connection;

template <typename Proxy>
void destroy_proxy(Proxy*& proxy, void (*destroy)(Proxy*)) {
    if (proxy != nullptr) {
        destroy(proxy);
        proxy = nullptr;
    }
}

}  // namespace

void drop_keymap(Connection& c) {
    const XkbCalls* xkb = c.xkb != nullptr ? xkbcommon() : nullptr;
    if (xkb == nullptr) {
        return;
    }
    if (c.key_state != nullptr) {
        xkb->xkb_state_unref(c.key_state);
    }
    if (c.keymap != nullptr) {
        xkb->xkb_keymap_unref(c.keymap);
    }
    c.key_state = nullptr;
    c.keymap = nullptr;
}

namespace {

void release_keymap(Connection& c) {
    drop_keymap(c);
    if (c.xkb != nullptr) {
        xkbcommon()->xkb_context_unref(c.xkb);
    }
}

// Every object bound from the registry, before the display they live on goes.
void release_globals(Connection& c) {
    for (auto& output : c.outputs) {
        destroy_proxy(output->output, wl_output_destroy);
    }
    destroy_proxy(c.pointer, wl_pointer_destroy);
    destroy_proxy(c.keyboard, wl_keyboard_destroy);
    destroy_proxy(c.touch_device, wl_touch_destroy);
    destroy_proxy(c.seat, wl_seat_destroy);
    destroy_proxy(c.decorations, zxdg_decoration_manager_v1_destroy);
    destroy_proxy(c.fractional_scales, wp_fractional_scale_manager_v1_destroy);
    destroy_proxy(c.viewporter, wp_viewporter_destroy);
    destroy_proxy(c.wm_base, xdg_wm_base_destroy);
    destroy_proxy(c.shm, wl_shm_destroy);
    destroy_proxy(c.compositor, wl_compositor_destroy);
    destroy_proxy(c.registry, wl_registry_destroy);
}

}  // namespace

Connection& connection() {
    return the_connection;
}

Surface* find_surface(SurfaceId id) {
    auto found = the_connection.surfaces.find(id);
    return found == the_connection.surfaces.end() ? nullptr : &found->second;
}

Surface* surface_of(wl_surface* surface) {
    if (surface == nullptr) {
        return nullptr;
    }
    for (auto& entry : the_connection.surfaces) {
        if (entry.second.surface == surface) {
            return &entry.second;
        }
    }
    return nullptr;
}

void queue_input(const Input& input) {
    the_connection.queue.push_back(input);
}

// The decoration before its toplevel, the toplevel before its xdg_surface.
void release_toplevel(Surface* surface) {
    destroy_proxy(surface->frame_callback, wl_callback_destroy);
    destroy_proxy(surface->decoration, zxdg_toplevel_decoration_v1_destroy);
    destroy_proxy(surface->toplevel, xdg_toplevel_destroy);
    destroy_proxy(surface->xdg, xdg_surface_destroy);
}

void release_surface(Surface* surface) {
    release_toplevel(surface);
    for (auto& buffer : surface->buffers) {
        destroy_buffer(buffer.get());
    }
    surface->buffers.clear();
    destroy_proxy(surface->fractional, wp_fractional_scale_v1_destroy);
    destroy_proxy(surface->viewport, wp_viewport_destroy);
    destroy_proxy(surface->surface, wl_surface_destroy);
}

void close() {
    Connection& c = the_connection;
    if (c.display != nullptr) {
        for (auto& entry : c.surfaces) {
            release_surface(&entry.second);
        }
        if (c.cursor_buffer != nullptr) {
            destroy_buffer(c.cursor_buffer.get());
        }
        destroy_proxy(c.cursor_viewport, wp_viewport_destroy);
        destroy_proxy(c.cursor, wl_surface_destroy);
        release_globals(c);
        wl_display_disconnect(c.display);
    }
    release_keymap(c);
    c = Connection();
}

}  // namespace display::wayland
