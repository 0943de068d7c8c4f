// What the Wayland backend offers beyond the display interface: a bounded
// wait for input and closing the connection, for tests that drive it
// against a compositor of their own.
#pragma once

#include "platform/posix/display/display.h"

namespace display {

// Connects to the compositor WAYLAND_DISPLAY names (or the default socket);
// null when there is none, or it lacks what a window needs, and why in
// reason (display.h's set_reason).
const Backend* open_wayland(char* reason = nullptr, size_t size = 0);

}  // namespace display

namespace display::wayland {

// Like next_input, but gives up after timeout_ms (negative: never). On a
// timeout it returns true with input->kind None; false when the connection
// is gone.
bool next_input_within(Input* input, int timeout_ms);

// Closes the connection and forgets every surface; open_wayland connects anew.
void close();

}  // namespace display::wayland
