// GDI's stock objects are made on first use; when the handle table is
// already full then, the calls fail as the platform's do instead of crashing,
// and succeed once handles are free again.
#include <gtest/gtest.h>
#include <unistd.h>

#include <vector>

#include "platform/posix/kernel/handles.h"
#include "platform/win32.h"

namespace {

TEST(GdiFullTableDeathTest, StockObjectsAndSystemBrushesFailWhileTheTableIsFullAndAreMadeAfter) {
    // A fresh process, so no stock object was made before the table filled.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static int filler;
            std::vector<HANDLE> held;
            for (HANDLE h; (h = kernel::insert_handle(kernel::HandleKind::Heap, &filler)) != nullptr;) {
                held.push_back(h);
            }
            const bool failed = GetStockObject(NULL_BRUSH) == nullptr && GetStockObject(DEFAULT_GUI_FONT) == nullptr &&
                                GetSysColorBrush(COLOR_BTNFACE) == nullptr;
            for (int i = 0; i < 64; ++i) {
                kernel::remove_handle(held[held.size() - 1 - i], kernel::HandleKind::Heap);
            }
            HGDIOBJ gui = GetStockObject(DEFAULT_GUI_FONT);
            const bool made_later = GetStockObject(NULL_BRUSH) != nullptr && gui != nullptr &&
                                    GetStockObject(ANSI_VAR_FONT) == gui &&
                                    GetSysColorBrush(COLOR_BTNFACE) != nullptr &&
                                    GetSysColorBrush(COLOR_BTNFACE) == GetSysColorBrush(COLOR_BTNFACE);
            _exit(!failed ? 2 : made_later ? 0 : 3);
        },
        ::testing::ExitedWithCode(0), "");
}

}  // namespace
