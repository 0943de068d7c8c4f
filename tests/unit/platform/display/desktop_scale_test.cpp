// The desktop's scale step from GDK_SCALE and Xft.dpi.
#include <gtest/gtest.h>

#include "platform/posix/display/desktop_scale.h"

TEST(DesktopScale, TheDesktopPicksTheStepAtOrAbove) {
    struct Case {
        const char* gdk_scale;
        long dpi;
        int quarters;
    };
    const Case cases[] = {
        {nullptr, 0, 4},    {nullptr, 96, 4},  {nullptr, 97, 5},   {nullptr, 120, 5},  {nullptr, 144, 6},
        {nullptr, 168, 7},  {nullptr, 192, 8}, {nullptr, 200, 10}, {nullptr, 288, 12}, {nullptr, 384, 16},
        {nullptr, 900, 16}, {nullptr, -5, 4},  {"2", 120, 8},      {"3", 0, 12},       {"9", 0, 16},
        {"0", 144, 6},      {"1.5", 144, 6},   {"", 120, 5},       {"x", 0, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(display::desktop_quarters(c.gdk_scale, c.dpi), c.quarters)
            << (c.gdk_scale != nullptr ? c.gdk_scale : "unset") << " " << c.dpi;
    }
}
