// The desktop's scale step from GDK_SCALE, Xft.dpi or a compositor's
// fractional scale.
#include "platform/posix/display/desktop_scale.h"

#include <stdlib.h>

namespace display {

namespace {

const int unit_quarters = 4;
const int steps[] = {4, 5, 6, 7, 8, 10, 12, 16};
const long max_dpi = 100000;

}  // namespace

int desktop_quarters(const char* gdk_scale, long xft_dpi) {
    if (gdk_scale != nullptr && *gdk_scale != '\0') {
        char* end = nullptr;
        long value = strtol(gdk_scale, &end, 10);
        if (*end == '\0' && value >= 1) {
            return value >= 4 ? 16 : static_cast<int>(value) * unit_quarters;
        }
    }
    if (xft_dpi > max_dpi) {
        return unit_quarters;
    }
    return step_at_or_above(xft_dpi, 96);
}

int step_at_or_above(long value, long unit) {
    if (value <= 0 || unit <= 0) {
        return unit_quarters;
    }
    for (int step : steps) {
        // step / 4 >= value / unit
        if (static_cast<long>(step) * unit >= value * unit_quarters) {
            return step;
        }
    }
    return steps[sizeof steps / sizeof steps[0] - 1];
}

}  // namespace display
