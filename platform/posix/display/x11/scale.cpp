// The desktop's scale from the server: Xft.dpi in its resource string.
#include <stdlib.h>
#include <string.h>

#include "platform/posix/display/desktop_scale.h"
#include "platform/posix/display/x11/connection.h"

namespace display::x11 {

namespace {

// A whole positive number, all of the text; 0 otherwise.
long whole_number(const char* text, const char* end) {
    while (text < end && (*text == ' ' || *text == '\t')) {
        text++;
    }
    while (end > text && (end[-1] == ' ' || end[-1] == '\t' || end[-1] == '\r')) {
        end--;
    }
    if (text == end) {
        return 0;
    }
    // Kept alive past strtod: stop points into it.
    std::string number(text, end);
    char* stop = nullptr;
    double value = strtod(number.c_str(), &stop);
    if (stop == nullptr || *stop != '\0' || !(value > 0) || value > 100000) {
        return 0;
    }
    return static_cast<long>(value + 0.5);
}

// Xft.dpi from the server's resource string, 0 when it is not there.
long xft_dpi(const char* resources) {
    static const char name[] = "Xft.dpi:";
    for (const char* line = resources; line != nullptr && *line != '\0';) {
        const char* end = strchr(line, '\n');
        if (end == nullptr) {
            end = line + strlen(line);
        }
        if (strncmp(line, name, sizeof name - 1) == 0) {
            return whole_number(line + sizeof name - 1, end);
        }
        line = *end == '\n' ? end + 1 : end;
    }
    return 0;
}

}  // namespace

int desktop_quarters(const char* gdk_scale, const char* resources) {
    return display::desktop_quarters(gdk_scale, xft_dpi(resources));
}

}  // namespace display::x11
