// A backend's reason for a failed connect, handed to its caller; compiled
// into the program and the Wayland module alike.
#include <stdio.h>

#include "platform/posix/display/display.h"

namespace display {

void set_reason(char* reason, size_t size, const char* why) {
    if (reason != nullptr && size > 0) {
        snprintf(reason, size, "%s", why);
    }
}

}  // namespace display
