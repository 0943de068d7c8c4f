// The Wayland backend is a module of its own (lib/sorvane/sorvane-wayland.so
// beside the program's bin folder), loaded only when a Wayland start is
// tried, so that an X11 start maps neither wayland-client nor xkbcommon.
#pragma once

#include "platform/posix/display/display.h"

namespace display {

// The module's open_wayland: null when there is no compositor, and why in
// reason, or the module does not load (said on standard error, with why).
const Backend* open_wayland_module(char* reason, size_t size);

}  // namespace display
