// The declarations that both builds share keep the platform's sizes.
#include <gtest/gtest.h>

#include "platform/win32.h"

TEST(Win32Header, TypesHaveThePlatformSizes) {
    EXPECT_EQ(sizeof(DWORD), 4u);
    EXPECT_EQ(sizeof(LONG), 4u);
    EXPECT_EQ(sizeof(WPARAM), sizeof(void*));
    EXPECT_EQ(sizeof(LPARAM), sizeof(void*));
    EXPECT_EQ(sizeof(ACCEL), 6u);
    EXPECT_EQ(sizeof(WIN32_FIND_DATAA), 320u);
}
