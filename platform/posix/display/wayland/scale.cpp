// The arithmetic of scale.h: the compositor's scales to the desktop's
// steps, and the buffers and coordinates that follow from them.
#include "platform/posix/display/wayland/scale.h"

#include <math.h>

#include "platform/posix/display/desktop_scale.h"

namespace display::wayland {

namespace {

constexpr int unit_quarters = 4;
constexpr int max_integer_scale = 4;  // as GDK_SCALE is taken on X11

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

}  // namespace display::wayland
