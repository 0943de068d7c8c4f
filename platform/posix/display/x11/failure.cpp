// Why the X server could not be used or was lost, in words for standard
// error.
#include "platform/posix/display/x11/connection.h"

#include <errno.h>
#include <string.h>

namespace display::x11 {

std::string lost_reason(int error, const std::string& last_error) {
    // Xlib reads an end of file as EPIPE.
    std::string why = error == 0 || error == EPIPE
                          ? std::string("the X server closed the connection")
                          : std::string("the connection to the X server broke (") + strerror(error) + ")";
    if (!last_error.empty()) {
        why += "; the last " + last_error;
    }
    return why;
}

std::string x_error_reason(const char* text, int request) {
    return std::string("X error: ") + text + " (request " + std::to_string(request) + ")";
}

}  // namespace display::x11
