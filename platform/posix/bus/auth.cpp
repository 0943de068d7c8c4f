// The EXTERNAL mechanism's two lines: the server knows the user from the
// socket and only checks the id the client names.
#include "platform/posix/bus/auth.h"

namespace bus {

std::string auth_request(unsigned uid) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (char c : std::to_string(uid)) {
        hex += digits[(c >> 4) & 0xF];
        hex += digits[c & 0xF];
    }
    return std::string(1, '\0') + "AUTH EXTERNAL " + hex + "\r\nBEGIN\r\n";
}

bool auth_accepted(const std::string& line) {
    return line.compare(0, 3, "OK ") == 0;
}

}  // namespace bus
