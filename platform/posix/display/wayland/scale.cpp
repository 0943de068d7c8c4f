// The device scale of each surface: the integer scale of the outputs it is
// on, or where the compositor offers it the fractional scale it prefers
// for the surface, taken to the desktop's steps. The window layer draws at
// it; when it changes the layer hears Rescaled and sizes the surface anew,
// and only then do the buffers follow.
#include "platform/posix/display/wayland/scale.h"

#include <math.h>

#include "platform/posix/display/desktop_scale.h"
#include "platform/posix/display/wayland/connection.h"

namespace display::wayland {

namespace {

constexpr int unit_quarters = 4;
constexpr int max_integer_scale = 4;  // as GDK_SCALE is taken on X11

void on_preferred_scale(void* data, wp_fractional_scale_v1*, uint32_t scale) {
    Surface* surface = static_cast<Surface*>(data);
    surface->preferred_120ths = scale;
    follow_scale(surface);
}

const wp_fractional_scale_v1_listener fractional_listener = {on_preferred_scale};

}  // namespace

int quarters_for(int integer_scale, uint32_t preferred_120ths) {
    if (preferred_120ths > 0) {
        return step_at_or_above(static_cast<long>(preferred_120ths), 120);
    }
    const int scale = integer_scale < 1 ? 1 : integer_scale > max_integer_scale ? max_integer_scale : integer_scale;
    return scale * unit_quarters;
}

BufferPlan plan_buffer(int device_width, int device_height, int quarters, bool fractional) {
    if (fractional || quarters % unit_quarters != 0) {
        // Each logical edge came to the device rounded half up: rounding
        // back gives it again.
        const int q = quarters < unit_quarters ? unit_quarters : quarters;
        return BufferPlan{1, true, (device_width * 2 * unit_quarters + q) / (2 * q),
                          (device_height * 2 * unit_quarters + q) / (2 * q)};
    }
    const int scale = quarters / unit_quarters;
    return BufferPlan{scale, false, device_width / scale, device_height / scale};
}

int device_pixel(double surface_local, int device_size, int logical_size) {
    if (logical_size <= 0) {
        return static_cast<int>(floor(surface_local));
    }
    return static_cast<int>(floor(surface_local * device_size / logical_size));
}

void watch_fractional_scale(Surface* surface) {
    Connection& c = connection();
    if (c.fractional_scales == nullptr || c.viewporter == nullptr) {
        return;
    }
    surface->viewport = wp_viewporter_get_viewport(c.viewporter, surface->surface);
    surface->fractional = wp_fractional_scale_manager_v1_get_fractional_scale(c.fractional_scales, surface->surface);
    wp_fractional_scale_v1_add_listener(surface->fractional, &fractional_listener, surface);
}

void forget_fractional_scale(Surface* surface) {
    if (surface->fractional != nullptr) {
        wp_fractional_scale_v1_destroy(surface->fractional);
        surface->fractional = nullptr;
    }
    if (surface->viewport != nullptr) {
        wp_viewport_destroy(surface->viewport);
        surface->viewport = nullptr;
    }
}

void follow_scale(Surface* surface) {
    const bool fractional = surface->viewport != nullptr && surface->preferred_120ths > 0;
    const int quarters = quarters_for(output_scale(surface), fractional ? surface->preferred_120ths : 0);
    if (quarters == surface->quarters && fractional == surface->fractional_wanted) {
        return;
    }
    const bool same_size = quarters == surface->quarters;
    surface->quarters = quarters;
    surface->fractional_wanted = fractional;
    if (same_size) {
        // The same pixels, shown another way: no new drawing.
        surface->fractional_drawn = fractional;
        damage_whole(surface);
        return;
    }
    Input input;
    input.kind = InputKind::Rescaled;
    input.surface = surface->id;
    queue_input(input);
}

// A new surface starts where the others are, or at the outputs' scale.
int device_quarters(SurfaceId id) {
    if (const Surface* surface = find_surface(id)) {
        return surface->quarters;
    }
    int quarters = 0;
    for (const auto& entry : connection().surfaces) {
        quarters = entry.second.quarters > quarters ? entry.second.quarters : quarters;
    }
    return quarters > 0 ? quarters : quarters_for(output_scale(nullptr), 0);
}

}  // namespace display::wayland
