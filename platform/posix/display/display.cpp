// Chooses the display backend on first need.
#include "platform/posix/display/display.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

namespace display {

// Defined by x11/backend.cpp: connects to the server that DISPLAY names, or gives
// null when there is none.
const Backend* open_x11();

namespace {
const Backend* installed = nullptr;
}

void install(const Backend* backend) {
    installed = backend;
}

const Backend& current() {
    if (installed == nullptr) {
        installed = open_x11();
        if (installed == nullptr) {
            const char* name = getenv("DISPLAY");
            fprintf(stderr, "%s: cannot open display \"%s\"\n", program_invocation_short_name,
                    name != nullptr ? name : "");
            fflush(stderr);
            _Exit(1);
        }
    }
    return *installed;
}

}  // namespace display
