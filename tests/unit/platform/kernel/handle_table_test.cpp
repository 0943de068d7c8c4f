// The one handle table behind windows, accelerator tables, GDI objects and
// kernel handles: a stale handle stays stale however often its slot is
// reused, and a handle of one kind is never taken for another.
#include "platform/posix/kernel/handles.h"
#include "tests/unit/platform/user/test_window.h"

namespace {

using namespace user_test;

class HandleTable : public UserTest {};

// Makes and destroys windows in a row; each reuses the slot the one before
// it gave back.
std::vector<HWND> windows_made_and_destroyed(int count) {
    std::vector<HWND> handles;
    for (int i = 0; i < count; ++i) {
        HWND hwnd = make_top("Short-lived", WS_OVERLAPPEDWINDOW);
        EXPECT_NE(hwnd, nullptr);
        handles.push_back(hwnd);
        DestroyWindow(hwnd);
    }
    return handles;
}

// The old generations were 15 bits for windows and 14 for accelerator
// tables: the 32,768th or 16,384th reuse of a slot brought its first handle
// back to life.
TEST_F(HandleTable, AStaleHandleStaysStaleThroughManyReusesOfItsSlot) {
    HWND top = make_top();
    HWND first_child = make_child(top, recorder_class, "", 0, 0, 0, 10, 10, 1);
    DestroyWindow(first_child);
    ACCEL entry{FVIRTKEY, VK_F4, 100};
    HACCEL first_table = CreateAcceleratorTableA(&entry, 1);
    DestroyAcceleratorTable(first_table);
    bool revived = false;
    for (int i = 0; i < 40000 && !revived; ++i) {
        HWND child = make_child(top, recorder_class, "", 0, 0, 0, 10, 10, 1);
        revived = child == first_child || IsWindow(first_child);
        DestroyWindow(child);
        HACCEL table = CreateAcceleratorTableA(&entry, 1);
        revived = revived || table == first_table;
        DestroyAcceleratorTable(table);
    }
    EXPECT_FALSE(revived);
    SetLastError(0);
    EXPECT_FALSE(SetWindowTextA(first_child, "stale"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_GE(reinterpret_cast<uintptr_t>(top), 0x10000u);
}

TEST_F(HandleTable, ASlotAtItsLastGenerationIsRetiredNotReused) {
    DestroyWindow(make_top("Short-lived", WS_OVERLAPPEDWINDOW));
    kernel::set_free_generations_for_test(kernel::last_handle_generation);
    HWND last = make_top("Last of its slot", WS_OVERLAPPEDWINDOW);
    ASSERT_NE(last, nullptr);
    EXPECT_GT(reinterpret_cast<intptr_t>(last), 0);  // the top bit stays clear
    DestroyWindow(last);
    std::vector<HWND> later = windows_made_and_destroyed(3);
    for (HWND hwnd : later) {
        EXPECT_NE(hwnd, last);
    }
    EXPECT_FALSE(IsWindow(last));
}

TEST_F(HandleTable, AHandleOfOneKindIsNoneOfTheOthers) {
    HWND window = make_top();
    ACCEL entry{FVIRTKEY, VK_F4, 100};
    HACCEL accelerators = CreateAcceleratorTableA(&entry, 1);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HDC dc = GetDC(window);
    ASSERT_NE(accelerators, nullptr);
    ASSERT_NE(brush, nullptr);
    ASSERT_NE(dc, nullptr);

    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(accelerators)));
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(brush)));
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(dc)));
    EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(window)), nullptr);
    EXPECT_EQ(SelectObject(dc, reinterpret_cast<HGDIOBJ>(accelerators)), nullptr);
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(dc)));
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(reinterpret_cast<HANDLE>(window)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    SetLastError(0);
    EXPECT_FALSE(DestroyAcceleratorTable(reinterpret_cast<HACCEL>(brush)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_ACCEL_HANDLE));

    // Each is refused once it is gone.
    EXPECT_TRUE(DestroyAcceleratorTable(accelerators));
    EXPECT_FALSE(DestroyAcceleratorTable(accelerators));
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(ReleaseDC(window, dc), 0);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
}

}  // namespace
