// Logical to device coordinates, one rule for every edge.
#include "platform/posix/gdi/device_scale.h"

namespace gdi {

namespace {

// Floor division, so negative coordinates round the same way as positive.
long floor_div(long a, long b) {
    long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

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
