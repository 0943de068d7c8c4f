// What the Wayland module takes from the program: C functions alone, with
// plain pointers and sizes, since the module has a C++ runtime of its own
// (wayland/module_symbols.cmake holds it to these names, and the program
// exports these and no more).
#pragma once

#include <poll.h>

extern "C" {

// display::poll_with_hook: *served is 1 when a wait hook was dispatched.
int sorvane_poll_with_hook(struct pollfd* own, int count, int timeout_ms, int* served);

}  // extern "C"
