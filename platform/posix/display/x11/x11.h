// What the X11 backend offers beyond the display interface: a bounded wait
// for input, the X window behind a surface, and closing the connection.
// Tests use these to drive the backend against their own server.
#pragma once

#include "platform/posix/display/display.h"

namespace display {

// Connects to the server DISPLAY names; null when there is none, and why in
// reason (display.h's set_reason).
const Backend* open_x11(char* reason = nullptr, size_t size = 0);

}  // namespace display

namespace display::x11 {

// Like next_input, but gives up after timeout_ms (negative: never). On a
// timeout it returns true with input->kind None; false when the connection
// is gone.
bool next_input_within(Input* input, int timeout_ms);

// The X window id of a surface, 0 when there is none.
unsigned long window_of(SurfaceId id);

// Returns once the server has carried out every request made so far, so
// that another client sees their effect.
void sync();

// XPutImage calls since the connection was opened.
unsigned long images_put();

// Closes the connection and forgets every surface; open_x11 connects anew.
void close();

}  // namespace display::x11
