// Logical to device coordinates, one rule for every edge.
#include "platform/posix/gdi/device_scale.h"

#include <stdlib.h>

namespace gdi {

namespace {

const int steps[] = {4, 5, 6, 7, 8, 10, 12, 16};
const long max_dpi = 100000;

// Floor division, so negative coordinates round the same way as positive.
long floor_div(long a, long b) {
    long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

int desktop_quarters(const char* gdk_scale, long xft_dpi) {
    if (gdk_scale != nullptr && *gdk_scale != '\0') {
        char* end = nullptr;
        long value = strtol(gdk_scale, &end, 10);
        if (*end == '\0' && value >= 1) {
            return value >= 4 ? 16 : static_cast<int>(value) * unit_quarters;
        }
    }
    if (xft_dpi <= 0 || xft_dpi > max_dpi) {
        return unit_quarters;
    }
    for (int step : steps) {
        // step / 4 >= dpi / 96
        if (static_cast<long>(step) * 24 >= xft_dpi) {
            return step;
        }
    }
    return steps[sizeof steps / sizeof steps[0] - 1];
}

int to_device(int logical, int quarters) {
    return static_cast<int>(floor_div(static_cast<long>(logical) * quarters * 2 + unit_quarters, unit_quarters * 2));
}

int to_logical(int device, int quarters) {
    int logical = static_cast<int>(floor_div(static_cast<long>(device) * unit_quarters, quarters));
    while (to_device(logical + 1, quarters) <= device) {
        logical++;
    }
    while (to_device(logical, quarters) > device) {
        logical--;
    }
    return logical;
}

int line_width(int quarters) {
    int width = (quarters + unit_quarters / 2) / unit_quarters;
    return width < 1 ? 1 : width;
}

}  // namespace gdi
