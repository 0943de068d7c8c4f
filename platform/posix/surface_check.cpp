// A window layer file that reaches past user/surface.h to the backend, as
// painting.cpp might: its compile must fail (the surface_only test).
#include "platform/posix/display/display.h"
#include "platform/posix/user/surface.h"

namespace user {

void probe_screen_size(int* width, int* height) {
    display::current().screen_size(width, height);
}

}  // namespace user
