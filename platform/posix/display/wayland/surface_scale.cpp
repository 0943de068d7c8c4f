// The device scale of each surface: the integer scale of the outputs it is
// on, or where the compositor offers it the fractional scale it prefers
// for the surface, taken to the desktop's steps. The window layer draws at
// it; when it changes the layer hears Rescaled and sizes the surface anew,
// and only then do the buffers follow.
#include "platform/posix/display/wayland/connection.h"
#include "platform/posix/display/wayland/scale.h"

namespace display::wayland {

namespace {

void on_preferred_scale(void* data, wp_fractional_scale_v1*, uint32_t scale) {
    Surface* surface = static_cast<Surface*>(data);
    surface->preferred_120ths = scale;
    follow_scale(surface);
}

const wp_fractional_scale_v1_listener fractional_listener = {on_preferred_scale};

const Output* find_output(wl_output* output) {
    for (const auto& known : connection().outputs) {
        if (known->output == output) {
            return known.get();
        }
    }
    return nullptr;
}

}  // namespace

// The largest scale of the outputs the surface is on, so that it is sharp
// on each; before it is on any, the largest of all.
int output_scale(const Surface* surface) {
    int scale = 1;
    bool any = false;
    const size_t count = surface != nullptr ? surface->outputs.size() : 0;
    for (size_t i = 0; i < count; i++) {
        if (const Output* output = find_output(surface->outputs[i])) {
            scale = output->scale > scale ? output->scale : scale;
            any = true;
        }
    }
    if (!any) {
        for (const auto& output : connection().outputs) {
            scale = output->scale > scale ? output->scale : scale;
        }
    }
    return scale;
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
