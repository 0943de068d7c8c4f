// Chooses the display backend on first need.
#include "platform/posix/display/display.h"

#include <stdio.h>
#include <stdlib.h>

namespace display {

// Defined by x11.cpp: connects to the server that DISPLAY names, or gives
// null when there is none.
const Backend* open_x11();

namespace {
const Backend* installed = nullptr;
}

void install(const Backend* backend) { installed = backend; }

const Backend& current() {
    if (installed == nullptr) {
        installed = open_x11();
        if (installed == nullptr) {
            fprintf(stderr, "cannot open display\n");
            fflush(stderr);
            _Exit(1);
        }
    }
    return *installed;
}

}  // namespace display
