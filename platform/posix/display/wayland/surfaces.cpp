// Surfaces as xdg toplevels. The wl_surface lives as long as the window;
// its toplevel role only while it is shown, since a hidden toplevel must
// begin again from its first configure anyway.
#include "platform/posix/display/wayland/connection.h"

#include "platform/posix/display/cp1252.h"

namespace display::wayland {

namespace {

// The desktop entry's id, so that a compositor can match the window to it.
constexpr const char* app_id = application_id;

void on_enter(void* data, wl_surface*, wl_output* output) {
    Surface* surface = static_cast<Surface*>(data);
    surface->outputs.push_back(output);
    follow_scale(surface);
}

void on_leave(void* data, wl_surface*, wl_output* output) {
    Surface* surface = static_cast<Surface*>(data);
    auto& outputs = surface->outputs;
    for (size_t i = 0; i < outputs.size(); i++) {
        if (outputs[i] == output) {
            outputs.erase(outputs.begin() + static_cast<long>(i));
            break;
        }
    }
    follow_scale(surface);
}

const wl_surface_listener surface_listener = {on_enter, on_leave};

// The first configure maps the window with what the layer presented
// meanwhile, or asks the layer to present it whole when it presented none
// (shown again after it was hidden).
void on_configure(void* data, xdg_surface* xdg, uint32_t serial) {
    Surface* surface = static_cast<Surface*>(data);
    xdg_surface_ack_configure(xdg, serial);
    surface->needs_commit = true;
    if (!surface->configured) {
        surface->configured = true;
        if (surface->damage.empty()) {
            queue_expose(*surface);
        }
    }
}

const xdg_surface_listener xdg_listener = {on_configure};

// A size the compositor suggests is not taken: the program's window keeps
// the size it was made with, as on the platform. Whether it is activated
// colours the caption of a frame the layer draws.
void on_toplevel_configure(void* data, xdg_toplevel*, int32_t, int32_t, wl_array* states) {
    Surface* surface = static_cast<Surface*>(data);
    bool activated = false;
    const uint32_t* state = static_cast<const uint32_t*>(states->data);
    for (size_t i = 0; i < states->size / sizeof(uint32_t); i++) {
        activated |= state[i] == XDG_TOPLEVEL_STATE_ACTIVATED;
    }
    if (activated != surface->activated) {
        surface->activated = activated;
        surface->frame_state =
            activated ? surface->frame_state | FrameActive : surface->frame_state & ~unsigned{FrameActive};
        frame_changed(surface);
    }
}

// The compositor's answer to the server-side mode asked for.
void on_decoration_configure(void* data, zxdg_toplevel_decoration_v1*, uint32_t mode) {
    Surface* surface = static_cast<Surface*>(data);
    choose_frame(surface, mode == ZXDG_TOPLEVEL_DECORATION_V1_MODE_CLIENT_SIDE);
    set_size_limits(*surface);
}

const zxdg_toplevel_decoration_v1_listener decoration_listener = {on_decoration_configure};

void on_close(void* data, xdg_toplevel*) {
    Input input;
    input.kind = InputKind::CloseRequest;
    input.surface = static_cast<Surface*>(data)->id;
    queue_input(input);
}

void on_bounds(void*, xdg_toplevel*, int32_t, int32_t) {}

void on_capabilities(void*, xdg_toplevel*, wl_array*) {}

const xdg_toplevel_listener toplevel_listener = {on_toplevel_configure, on_close, on_bounds, on_capabilities};

void set_parent(const Surface& surface) {
    const Surface* owner = find_surface(surface.owner);
    if (surface.toplevel != nullptr && owner != nullptr && owner->toplevel != nullptr) {
        xdg_toplevel_set_parent(surface.toplevel, owner->toplevel);
    }
}

void make_toplevel(Surface* surface) {
    Connection& c = connection();
    surface->xdg = xdg_wm_base_get_xdg_surface(c.wm_base, surface->surface);
    xdg_surface_add_listener(surface->xdg, &xdg_listener, surface);
    surface->toplevel = xdg_surface_get_toplevel(surface->xdg);
    xdg_toplevel_add_listener(surface->toplevel, &toplevel_listener, surface);
    xdg_toplevel_set_title(surface->toplevel, surface->title.c_str());
    xdg_toplevel_set_app_id(surface->toplevel, app_id);
    // Without decorations from the compositor the layer draws the frame;
    // with them it is the compositor's answer that decides.
    choose_frame(surface, c.decorations == nullptr);
    set_size_limits(*surface);
    set_parent(*surface);
    if (c.decorations != nullptr) {
        surface->decoration = zxdg_decoration_manager_v1_get_toplevel_decoration(c.decorations, surface->toplevel);
        zxdg_toplevel_decoration_v1_add_listener(surface->decoration, &decoration_listener, surface);
        zxdg_toplevel_decoration_v1_set_mode(surface->decoration, ZXDG_TOPLEVEL_DECORATION_V1_MODE_SERVER_SIDE);
    }
    // The first commit carries no buffer: it asks for the first configure.
    wl_surface_commit(surface->surface);
}

// Owned toplevels lose their parent with it; they keep showing.
void drop_toplevel(Surface* surface) {
    release_toplevel(surface);
    wl_surface_attach(surface->surface, nullptr, 0, 0);
    wl_surface_commit(surface->surface);
    surface->configured = false;
    surface->needs_commit = false;
    surface->committed_width = surface->committed_height = 0;  // the next buffer is all new
    surface->damage.clear();
    surface->activated = false;
    surface->frame_state = 0;
    surface->held = FramePart::Client;
}

}  // namespace

// The window's geometry holds the frame the layer draws, if any.
void set_size_limits(const Surface& surface) {
    if (surface.toplevel == nullptr) {
        return;
    }
    if (surface.resizable) {
        xdg_toplevel_set_min_size(surface.toplevel, 1, 1);
        xdg_toplevel_set_max_size(surface.toplevel, 0, 0);
    } else {
        xdg_toplevel_set_min_size(surface.toplevel, logical_width(surface), logical_height(surface));
        xdg_toplevel_set_max_size(surface.toplevel, logical_width(surface), logical_height(surface));
    }
}

bool create_surface(SurfaceId id, const char* title, int x, int y, int width, int height, bool resizable) {
    Connection& c = connection();
    if (c.display == nullptr || c.broken || find_surface(id) != nullptr || width <= 0 || height <= 0) {
        return false;
    }
    // The scale the layer sized it at, asked before it was made.
    const int quarters = device_quarters(id);
    Surface& surface = c.surfaces[id];
    surface.id = id;
    surface.quarters = surface.drawn = quarters;
    surface.surface = wl_compositor_create_surface(c.compositor);
    wl_surface_add_listener(surface.surface, &surface_listener, &surface);
    watch_fractional_scale(&surface);
    surface.title = utf8_of_cp1252(title != nullptr ? title : "");
    surface.x = x;
    surface.y = y;
    surface.width = width;
    surface.height = height;
    surface.resizable = resizable;
    return true;
}

void destroy_surface(SurfaceId id) {
    Connection& c = connection();
    Surface* surface = find_surface(id);
    if (surface == nullptr) {
        return;
    }
    release_surface(surface);
    forget_input_surface(id);
    // Input already queued for the surface is dropped with it.
    for (auto it = c.queue.begin(); it != c.queue.end();) {
        it = it->surface == id ? c.queue.erase(it) : it + 1;
    }
    c.surfaces.erase(id);
    wl_display_flush(c.display);
}

void show_surface(SurfaceId id, bool visible) {
    Surface* surface = find_surface(id);
    if (surface == nullptr || connection().broken) {
        return;
    }
    if (visible && surface->toplevel == nullptr) {
        make_toplevel(surface);
    } else if (!visible && surface->toplevel != nullptr) {
        drop_toplevel(surface);
    }
    wl_display_flush(connection().display);
}

void move_surface(SurfaceId id, int x, int y, int width, int height) {
    Surface* surface = find_surface(id);
    if (surface == nullptr || width <= 0 || height <= 0) {
        return;
    }
    surface->x = x;
    surface->y = y;
    // The layer sizes the surface at the scale it was last told.
    const bool rescaled = surface->drawn != surface->quarters;
    surface->drawn = surface->quarters;
    surface->fractional_drawn = surface->fractional_wanted;
    if (width == surface->width && height == surface->height && !rescaled) {
        return;
    }
    // The window layer made a new frame and presents it anew.
    surface->width = width;
    surface->height = height;
    surface->damage.clear();
    surface->frame = Frame{nullptr, 0, 0, 0};
    retire_buffers(surface);
    choose_frame(surface, surface->client_side);  // its insets at the new scale
    set_size_limits(*surface);
    frame_changed(surface);
}

void set_title(SurfaceId id, const char* title) {
    Surface* surface = find_surface(id);
    if (surface == nullptr) {
        return;
    }
    surface->title = utf8_of_cp1252(title != nullptr ? title : "");
    if (surface->toplevel != nullptr) {
        xdg_toplevel_set_title(surface->toplevel, surface->title.c_str());
    }
    frame_changed(surface);
}

void set_owner(SurfaceId id, SurfaceId owner) {
    Surface* surface = find_surface(id);
    if (surface == nullptr || owner == id) {
        return;
    }
    surface->owner = owner;
    set_parent(*surface);
}

// xdg-shell has no modal state: the window layer keeps the owner disabled,
// and a compositor treats a child with a parent as its dialog.
void set_modal(SurfaceId id, bool modal) {
    if (Surface* surface = find_surface(id)) {
        surface->modal = modal;
    }
}

void queue_expose(const Surface& surface) {
    Input input;
    input.kind = InputKind::Expose;
    input.surface = surface.id;
    input.width = surface.width;
    input.height = surface.height;
    queue_input(input);
}

}  // namespace display::wayland
