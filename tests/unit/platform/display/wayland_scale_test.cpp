// The Wayland backend's scale arithmetic: the compositor's scales to the
// device steps, how a device-sized buffer is shown, and the pointer back to
// the device pixel drawn under it.
#include <gtest/gtest.h>

#include "platform/posix/display/wayland/scale.h"
#include "platform/posix/gdi/device_scale.h"

using display::wayland::BufferPlan;
using display::wayland::device_pixel;
using display::wayland::plan_buffer;
using display::wayland::quarters_for;

TEST(WaylandScale, TheCompositorsScalesTakeTheStepAtOrAbove) {
    struct Case {
        int integer_scale;
        uint32_t preferred_120ths;
        int quarters;
    };
    const Case cases[] = {
        {1, 0, 4},   {2, 0, 8},   {3, 0, 12},  {4, 0, 16},  {6, 0, 16},   {0, 0, 4},    {1, 120, 4},  {1, 144, 5},
        {1, 150, 5}, {2, 180, 6}, {1, 200, 7}, {1, 240, 8}, {1, 270, 10}, {1, 360, 12}, {1, 400, 16}, {1, 900, 16},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(quarters_for(c.integer_scale, c.preferred_120ths), c.quarters)
            << c.integer_scale << " " << c.preferred_120ths;
    }
}

TEST(WaylandScale, BuffersAreDeviceSizedAndShowTheLogicalSize) {
    // Whole scales by the buffer scale, the others through the viewport.
    const BufferPlan whole = plan_buffer(1092, 650, 8, false);
    EXPECT_EQ(whole.buffer_scale, 2);
    EXPECT_FALSE(whole.viewport);
    EXPECT_EQ(whole.logical_width, 546);
    EXPECT_EQ(whole.logical_height, 325);
    const BufferPlan fractional = plan_buffer(810, 450, 6, true);
    EXPECT_EQ(fractional.buffer_scale, 1);
    EXPECT_TRUE(fractional.viewport);
    EXPECT_EQ(fractional.logical_width, 540);
    EXPECT_EQ(fractional.logical_height, 300);
    // Every size and every step: the logical size the layer mapped comes back,
    // and the middle of each logical pixel is a device pixel of that pixel.
    for (int quarters : {4, 5, 6, 7, 8, 10, 12, 16}) {
        for (int logical = 1; logical <= 1200; ++logical) {
            const int device = gdi::to_device(logical, quarters);
            const BufferPlan plan = plan_buffer(device, device, quarters, quarters % 4 != 0);
            ASSERT_EQ(plan.logical_width, logical) << quarters << " " << device;
            if (!plan.viewport) {
                ASSERT_EQ(plan.buffer_scale * logical, device);
            }
        }
        const int device = gdi::to_device(540, quarters);
        for (int x = 0; x < 540; ++x) {
            const int d = device_pixel(x + 0.5, device, 540);
            ASSERT_EQ(gdi::to_logical(d, quarters), x) << quarters;
        }
    }
}
