// The Wayland backend's hook table and connecting: the one file that calls
// the others from above, binding the globals the compositor offers; they
// call down to each other and to the connection, never back.
#include "platform/posix/display/wayland/connection.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>

#include "platform/posix/display/wayland/wayland.h"

namespace display {

namespace wayland {

namespace {

// Newer versions add events this backend would have to answer.
constexpr uint32_t compositor_version = 4;
constexpr uint32_t wm_base_version = 5;

uint32_t version_of(uint32_t offered, uint32_t wanted) {
    return offered < wanted ? offered : wanted;
}

// For tests only: a compositor that offers server-side decorations (sway)
// is treated as one that does not (GNOME), so that the frame the layer
// draws can be tried under it.
bool decorations_ignored() {
    const char* value = getenv("SORVANE_TEST_IGNORE_XDG_DECORATION");
    return value != nullptr && strcmp(value, "1") == 0;
}

void on_ping(void*, xdg_wm_base* wm_base, uint32_t serial) {
    xdg_wm_base_pong(wm_base, serial);
}

const xdg_wm_base_listener wm_base_listener = {on_ping};

void on_global(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    Connection& c = connection();
    if (strcmp(interface, wl_compositor_interface.name) == 0) {
        c.compositor = static_cast<wl_compositor*>(
            wl_registry_bind(registry, name, &wl_compositor_interface, version_of(version, compositor_version)));
    } else if (strcmp(interface, wl_shm_interface.name) == 0) {
        c.shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
    } else if (strcmp(interface, xdg_wm_base_interface.name) == 0) {
        c.wm_base = static_cast<xdg_wm_base*>(
            wl_registry_bind(registry, name, &xdg_wm_base_interface, version_of(version, wm_base_version)));
        xdg_wm_base_add_listener(c.wm_base, &wm_base_listener, nullptr);
    } else if (strcmp(interface, zxdg_decoration_manager_v1_interface.name) == 0 && !decorations_ignored()) {
        c.decorations = static_cast<zxdg_decoration_manager_v1*>(
            wl_registry_bind(registry, name, &zxdg_decoration_manager_v1_interface, 1));
    } else if (strcmp(interface, wp_viewporter_interface.name) == 0) {
        c.viewporter = static_cast<wp_viewporter*>(wl_registry_bind(registry, name, &wp_viewporter_interface, 1));
    } else if (strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0) {
        c.fractional_scales = static_cast<wp_fractional_scale_manager_v1*>(
            wl_registry_bind(registry, name, &wp_fractional_scale_manager_v1_interface, 1));
    } else if (strcmp(interface, wl_output_interface.name) == 0) {
        add_output(registry, name, version);
    } else if (strcmp(interface, wl_seat_interface.name) == 0 && c.seat == nullptr) {
        add_seat(registry, name, version);
    }
}

void on_global_remove(void*, wl_registry*, uint32_t name) {
    remove_output(name);
}

const wl_registry_listener registry_listener = {on_global, on_global_remove};

// False, and why, when the compositor does not answer or lacks what a
// window needs.
bool connect(std::string* why) {
    Connection& c = connection();
    c.display = wl_display_connect(nullptr);
    if (c.display == nullptr) {
        *why = std::string("no compositor answers (") + strerror(errno) + ")";
        return false;
    }
    c.registry = wl_display_get_registry(c.display);
    wl_registry_add_listener(c.registry, &registry_listener, nullptr);
    // The globals, then what they tell at once: output modes and scales,
    // the seat's capabilities.
    if (wl_display_roundtrip(c.display) < 0 || wl_display_roundtrip(c.display) < 0) {
        lose_connection(errno);
        *why = c.failure;
        return false;
    }
    *why = missing_globals(c);
    return why->empty();
}

void set_frame_painter(const FramePainter* painter) {
    connection().frame_painter = painter;
}

const char* failure() {
    return connection().failure.c_str();
}

// Only the compositor gives the keyboard; it shows what lies beyond the
// buffer and no more, and the desktop entry's icon for the app id; the
// layer draws into the shared buffers themselves.
constexpr Backend hooks() {
    Backend b{};
    b.name = "wayland";
    b.capabilities = layer_frames | lends_pixels;
    b.screen_size = wayland::screen_size;
    b.create_surface = wayland::create_surface;
    b.destroy_surface = wayland::destroy_surface;
    b.show_surface = wayland::show_surface;
    b.move_surface = wayland::move_surface;
    b.set_title = wayland::set_title;
    b.present = wayland::present;
    b.next_input = wayland::next_input;
    b.set_owner = wayland::set_owner;
    b.set_modal = wayland::set_modal;
    b.device_quarters = wayland::device_quarters;
    b.close = wayland::close;
    b.failure = failure;
    b.set_frame_painter = set_frame_painter;
    b.lend_pixels = wayland::lend_pixels;
    return b;
}

constexpr Backend backend = hooks();

}  // namespace

}  // namespace wayland

const Backend* open_wayland(char* reason, size_t size) {
    wayland::Connection& c = wayland::connection();
    if (c.display != nullptr && !c.broken) {
        return &wayland::backend;
    }
    wayland::close();
    std::string why;
    if (!wayland::connect(&why)) {
        set_reason(reason, size, why.c_str());
        wayland::close();
        return nullptr;
    }
    return &wayland::backend;
}

}  // namespace display
