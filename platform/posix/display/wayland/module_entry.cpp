// The one name the program looks up in the module (see wayland_module.h).
#include "platform/posix/display/wayland/wayland.h"

extern "C" __attribute__((visibility("default"))) const display::Backend* sorvane_open_wayland(char* reason,
                                                                                               size_t size) {
    return display::open_wayland(reason, size);
}
