// The device scale: the one rounding rule every edge goes through.
#include <gtest/gtest.h>

#include "platform/posix/gdi/device_scale.h"

TEST(DeviceScale, EdgesMapMonotonicallyAndPointsComeBackToTheirPixel) {
    for (int quarters : {4, 5, 6, 7, 8, 10, 12, 16}) {
        for (int logical = -40; logical <= 600; logical++) {
            int left = gdi::to_device(logical, quarters);
            int right = gdi::to_device(logical + 1, quarters);
            // Every logical pixel covers at least one device pixel, and
            // neighbours share their edge.
            ASSERT_GT(right, left) << quarters << " " << logical;
            ASSERT_LE(right - left, (quarters + 3) / 4) << quarters << " " << logical;
            for (int device = left; device < right; device++) {
                ASSERT_EQ(gdi::to_logical(device, quarters), logical) << quarters << " " << device;
            }
        }
        EXPECT_EQ(gdi::to_device(540, quarters) * 4, 540 * quarters);
    }
    for (int logical = -10; logical < 10; logical++) {
        EXPECT_EQ(gdi::to_device(logical, 4), logical);
    }
    EXPECT_EQ(gdi::to_device(1, 6), 2);  // 1.5 rounds half up
    EXPECT_EQ(gdi::to_device(-1, 6), -1);
}

TEST(DeviceScale, LinesAreWholeRoundedPixels) {
    const int widths[][2] = {{4, 1}, {5, 1}, {6, 2}, {7, 2}, {8, 2}, {10, 3}, {12, 3}, {16, 4}};
    for (const auto& w : widths) {
        EXPECT_EQ(gdi::line_width(w[0]), w[1]) << w[0];
    }
}
