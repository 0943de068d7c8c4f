// Handle values as programs store them: USER and GDI handles in a LONG,
// kernel handles as multiples of 4, however often a slot is reused.
#include <gtest/gtest.h>

#include "platform/win32.h"

namespace {

bool fits_a_long(const void* handle) {
    intptr_t value = reinterpret_cast<intptr_t>(handle);
    return value == static_cast<intptr_t>(static_cast<int32_t>(value));
}

TEST(HandleWidth, ASlotReusedPast65536GenerationsStillGives32BitValues) {
    HBRUSH first_brush = CreateSolidBrush(RGB(1, 2, 3));
    HANDLE first_heap = HeapCreate(0, 0, 0);
    DeleteObject(first_brush);
    HeapDestroy(first_heap);
    size_t too_wide = 0, revived = 0, unaligned = 0;
    for (int i = 0; i < 70000; ++i) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        HANDLE heap = HeapCreate(0, 0, 0);
        too_wide += !fits_a_long(brush) + !fits_a_long(heap);
        unaligned += reinterpret_cast<uintptr_t>(heap) % 4 != 0;
        revived += brush == first_brush || heap == first_heap;
        DeleteObject(brush);
        HeapDestroy(heap);
    }
    EXPECT_EQ(too_wide, 0u);
    EXPECT_EQ(unaligned, 0u);
    EXPECT_EQ(revived, 0u);
    EXPECT_FALSE(DeleteObject(first_brush));
}

}  // namespace
