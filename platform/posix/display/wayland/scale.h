// How a surface's device scale and its buffers follow from what the
// compositor says: plain arithmetic, apart from the protocol objects.
#pragma once

#include <stdint.h>

namespace display::wayland {

// The outputs' integer scale (whole, at most 4), or the compositor's
// fractional one in 120ths (0: none came) taken to the desktop's step at or
// above it, in quarters.
int quarters_for(int integer_scale, uint32_t preferred_120ths);

// What a buffer of device pixels is shown as: at a whole scale the buffer
// scale; at a fractional one buffer scale 1 and a viewport to the logical
// size. The logical size is the window's in the compositor's coordinates.
struct BufferPlan {
    int buffer_scale;
    bool viewport;
    int logical_width, logical_height;
};
BufferPlan plan_buffer(int device_width, int device_height, int quarters, bool fractional);

// The device pixel under a surface-local coordinate, where logical_size
// logical pixels show device_size device pixels.
int device_pixel(double surface_local, int device_size, int logical_size);

}  // namespace display::wayland
