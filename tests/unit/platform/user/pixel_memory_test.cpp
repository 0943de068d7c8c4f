// A window's pixel memory at the sizes windows have: each pixel there and
// filled, up to the last, which the trimmed ends of an aligned mapping
// would take away first.
#include "platform/posix/user/pixel_memory.h"

#include <gtest/gtest.h>
#include <stdint.h>

namespace {

TEST(PixelMemory, EverySizeHoldsItsPixelsFilledAndAlignsWhole2MBPieces) {
    const size_t two_mb = size_t{2} << 20;
    // A box, a window at scale 1, exactly 2 MB, a window at scale 2, and 2 MB and one pixel.
    const size_t counts[] = {1, 1023, 540 * 300, two_mb / 4, 1080 * 600, two_mb / 4 + 1};
    user::PixelMemory memory;
    for (size_t count : counts) {
        SCOPED_TRACE(count);
        ASSERT_TRUE(memory.allocate(count, 0x00D4D0C8));
        ASSERT_EQ(memory.size(), count);
        size_t unfilled = 0;
        for (size_t i = 0; i < count; i++) {
            unfilled += memory.data()[i] != 0x00D4D0C8;
        }
        EXPECT_EQ(unfilled, 0u);
        memory.data()[count - 1] = 0x00123456;
        EXPECT_EQ(memory.data()[count - 1], 0x00123456u);
        if (count * 4 >= two_mb) {
            EXPECT_EQ(reinterpret_cast<uintptr_t>(memory.data()) % two_mb, 0u);
        }
    }
    memory.release();
    EXPECT_TRUE(memory.empty());
    EXPECT_EQ(memory.size(), 0u);
}

}  // namespace
