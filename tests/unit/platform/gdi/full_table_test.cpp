// GDI's stock objects are made on first use; when the handle table is
// already full then, the calls fail as the platform's do instead of crashing.
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/posix/kernel/handles.h"
#include "platform/win32.h"

namespace {

TEST(GdiFullTableDeathTest, StockObjectsAndSystemBrushesFailWhenTheTableIsFull) {
    // A fresh process, so no stock object was made before the table filled.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static int filler;
            while (kernel::insert_handle(kernel::HandleKind::Heap, &filler) != nullptr) {
            }
            const bool failed = GetStockObject(NULL_BRUSH) == nullptr && GetStockObject(DEFAULT_GUI_FONT) == nullptr &&
                                GetSysColorBrush(COLOR_BTNFACE) == nullptr;
            _exit(failed ? 0 : 2);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
