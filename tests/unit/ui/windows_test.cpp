// Window numbers, classes, styles and placement.
#include <stdio.h>

#include "unit/ui/ui_fixture.h"

namespace {

using WindowTable = UiTest;

DWORD style_of(intptr_t handle) {
    return static_cast<DWORD>(GetWindowLongA(reinterpret_cast<HWND>(handle), GWL_STYLE));
}

RECT rect_of(intptr_t handle) {
    RECT area = {};
    GetWindowRect(reinterpret_cast<HWND>(handle), &area);
    return area;
}

TEST_F(WindowTable, TheApplicationWindowHasItsClassStyleAndPlace) {
    HWND window = open_main_window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(current_window_handle(), window);
    EXPECT_EQ(window_table[0].window, window);
    EXPECT_EQ(class_of(window), "WindowClass_0");
    EXPECT_EQ(style_of(reinterpret_cast<intptr_t>(window)) & ~WS_CLIPSIBLINGS, 0x10C80000u);
    EXPECT_TRUE(IsWindowVisible(window));
    RECT outer = rect_of(reinterpret_cast<intptr_t>(window));
    EXPECT_EQ(outer.left, 422);
    EXPECT_EQ(outer.top, 492);
    EXPECT_EQ(outer.right, 968);
    EXPECT_EQ(outer.bottom, 817);
    RECT client = {};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 540);
    EXPECT_EQ(client.bottom, 300);
}

TEST_F(WindowTable, EveryWindowGetsTheTwoTabAccelerators) {
    open_main_window();
    WindowRecord& record = window_table[0];
    ASSERT_EQ(record.accelerator_count, 2);
    EXPECT_NE(record.accelerator_table, nullptr);
    EXPECT_EQ(record.accelerators[0].fVirt, 3);
    EXPECT_EQ(record.accelerators[0].key, VK_TAB);
    EXPECT_EQ(record.accelerators[0].cmd, CMD_NEXT_CONTROL);
    EXPECT_EQ(record.accelerators[1].fVirt, 7);
    EXPECT_EQ(record.accelerators[1].key, VK_TAB);
    EXPECT_EQ(record.accelerators[1].cmd, CMD_PREVIOUS_CONTROL);
    EXPECT_EQ(HeapSize(main_heap, 0, record.accelerators), 2 * sizeof(ACCEL));
    EXPECT_EQ(accelerators_for_window(window_table[0].window), record.accelerator_table);
    EXPECT_EQ(accelerators_for_window(nullptr), nullptr);
}

TEST_F(WindowTable, GrowsOnlyForANumberAtOrPastTheCapacity) {
    EXPECT_EQ(window_capacity, 10);
    EXPECT_EQ(HeapSize(main_heap, 0, window_table), 12 * sizeof(WindowRecord));
    ASSERT_NE(open_window(9, 0, 0, 100, 100, 0, "nine"), 0);
    EXPECT_EQ(window_capacity, 10);
    HWND nine = window_table[9].window;
    ASSERT_NE(open_window(10, 0, 0, 100, 100, 0, "ten"), 0);
    EXPECT_EQ(window_capacity, 40);
    EXPECT_EQ(HeapSize(main_heap, 0, window_table), 42 * sizeof(WindowRecord));
    EXPECT_EQ(window_table[9].window, nine);
    EXPECT_EQ(class_of(window_table[10].window), "WindowClass_10");
}

TEST_F(WindowTable, OpeningANumberAgainReplacesItsWindow) {
    intptr_t first = open_window(3, 0, 0, 100, 100, 0, "first");
    intptr_t second = open_window(3, 0, 0, 100, 100, 0, "second");
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second);
    EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(first)));
    EXPECT_EQ(class_of(reinterpret_cast<HWND>(second)), "WindowClass_3");
    EXPECT_EQ(FindWindowA("WindowClass_3", nullptr), reinterpret_cast<HWND>(second));
}

TEST_F(WindowTable, ADynamicWindowIsNumberedByItsRecord) {
    intptr_t number = open_window(-1, 0, 0, 100, 100, 0, "dynamic");
    ASSERT_NE(number, 0);
    ASSERT_NE(window_list, nullptr);
    EXPECT_EQ(number, reinterpret_cast<intptr_t>(payload_of_node(window_list)));
    HWND window = reinterpret_cast<WindowRecord*>(number)->window;
    EXPECT_EQ(current_window_handle(), window);
    char expected[CLASS_NAME_SIZE];
    snprintf(expected, sizeof expected, "WindowClass_%lld", static_cast<long long>(number));
    EXPECT_EQ(class_of(window), expected);

    close_window(number);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(window_list, nullptr);
    close_window(number);  // a second close is harmless
}

TEST_F(WindowTable, ClosingFreesTheNumberButKeepsTheCurrentHandle) {
    HWND window = open_main_window();
    close_window(0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(window_table[0].window, nullptr);
    EXPECT_EQ(current_window_handle(), window);
    // The class went with the window, so the number opens again.
    EXPECT_NE(open_main_window(), nullptr);
}

TEST_F(WindowTable, CloseAllClosesDynamicAndNumberedWindows) {
    intptr_t dynamic = open_window(-1, 0, 0, 100, 100, 0, "a");
    HWND dynamic_window = reinterpret_cast<WindowRecord*>(dynamic)->window;
    HWND zero = open_main_window();
    HWND twelve = reinterpret_cast<HWND>(open_window(12, 0, 0, 100, 100, 0, "b"));
    close_all_windows();
    EXPECT_FALSE(IsWindow(dynamic_window));
    EXPECT_FALSE(IsWindow(zero));
    EXPECT_FALSE(IsWindow(twelve));
    EXPECT_EQ(window_list, nullptr);
}

TEST_F(WindowTable, NumbersBelowMinusOneOpenNothing) {
    EXPECT_EQ(open_window(-5, 0, 0, 100, 100, 0, "x"), 0);
    EXPECT_EQ(window_capacity, 10);
    close_window(-5);
    close_window(12345);  // neither a slot nor a record of ours
}

TEST_F(WindowTable, StylesComeFromTheFlags) {
    // With nothing but the visibility bits left, the window still gets a caption.
    EXPECT_EQ(style_of(open_window(1, 0, 0, 100, 100, 0, "")) & ~WS_CLIPSIBLINGS, 0x10C00000u);
    intptr_t hidden = open_window(2, 0, 0, 100, 100, WINDOW_HIDDEN, "");
    EXPECT_EQ(style_of(hidden) & ~WS_CLIPSIBLINGS, 0x00C00000u);
    EXPECT_FALSE(IsWindowVisible(reinterpret_cast<HWND>(hidden)));
    // A caller's own style keeps its bits and gets no caption added.
    intptr_t popup = open_window(3, 0, 0, 100, 100, static_cast<int32_t>(WS_POPUP | WS_BORDER), "");
    EXPECT_EQ(style_of(popup) & ~WS_CLIPSIBLINGS, static_cast<DWORD>(WS_POPUP | WS_BORDER | WS_VISIBLE));
    // A hidden window is never maximised, but keeps the bit.
    intptr_t hidden_max = open_window(4, 0, 0, 100, 100, WINDOW_HIDDEN | WINDOW_MAXIMIZE | 0xC80000, "");
    EXPECT_FALSE(IsWindowVisible(reinterpret_cast<HWND>(hidden_max)));
    EXPECT_EQ(style_of(hidden_max) & ~WS_CLIPSIBLINGS, static_cast<DWORD>(WS_MAXIMIZE | 0xC80000));
}

TEST_F(WindowTable, CentresOnTheScreen) {
    int screen_width = GetSystemMetrics(SM_CXSCREEN);
    int screen_height = GetSystemMetrics(SM_CYSCREEN);
    intptr_t window = open_window(0, 5, 5, 540, 300, WINDOW_CENTRE_SCREEN, "");
    // Only the caption is added: the centring bit is not a style.
    EXPECT_EQ(style_of(window) & ~WS_CLIPSIBLINGS, 0x10C00000u);
    RECT outer = rect_of(window);
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    EXPECT_EQ(width, 546);
    EXPECT_EQ(height, 325);
    EXPECT_EQ(outer.left, screen_width / 2 - width / 2);
    EXPECT_EQ(outer.top, screen_height / 2 - height / 2);

    intptr_t wide = open_window(1, 5, 5, screen_width + 100, 100, WINDOW_CENTRE_SCREEN | 0xC80000, "");
    EXPECT_EQ(rect_of(wide).left, 0);
}

TEST_F(WindowTable, CentresOnTheActiveWindow) {
    HWND main = open_main_window();
    ASSERT_EQ(GetActiveWindow(), main);
    intptr_t child = open_window(1, 0, 0, 200, 100, WINDOW_CENTRE_ACTIVE | WINDOW_CENTRE_SCREEN | 0xC80000, "");
    RECT outer = rect_of(child);
    EXPECT_EQ(outer.left, 422 - (206 >> 1) + (546 >> 1));
    EXPECT_EQ(outer.top, 492 - (125 >> 1) + (325 >> 1));

    // Near the screen's corner the position is kept from going negative.
    open_window(0, 0, 0, 100, 50, 0xC80000, "");
    intptr_t big = open_window(2, 0, 0, 800, 600, WINDOW_CENTRE_ACTIVE | 0xC80000, "");
    EXPECT_EQ(rect_of(big).left, 0);
    EXPECT_EQ(rect_of(big).top, 0);
}

}  // namespace
