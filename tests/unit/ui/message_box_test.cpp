// The message box disables exactly the thread's other usable windows.
#include "runtime/ui/message_box.h"

#include "unit/ui/ui_fixture.h"

namespace {

using ModalMessage = UiTest;

std::vector<HWND> disabled_list() {
    std::vector<HWND> windows;
    for (NodeLink* node = disabled_windows; node != nullptr; node = node->next) {
        windows.push_back(static_cast<DisabledWindow*>(payload_of_node(node))->window);
    }
    return windows;
}

TEST_F(ModalMessage, DisablesTheOtherVisibleEnabledWindowsAndRestoresThem) {
    HWND other = reinterpret_cast<HWND>(open_window(1, 0, 0, 100, 100, 0xC80000, "other"));
    HWND hidden = reinterpret_cast<HWND>(open_window(2, 0, 0, 100, 100, WINDOW_HIDDEN, "hidden"));
    HWND disabled = reinterpret_cast<HWND>(open_window(3, 0, 0, 100, 100, 0xC80000, "disabled"));
    EnableWindow(disabled, FALSE);
    HWND main = open_main_window();
    ASSERT_EQ(GetForegroundWindow(), main);
    drain_events();

    bool checked = false;
    player::call([&] {
        checked = true;
        EXPECT_EQ(disabled_list(), std::vector<HWND>{other});
        EXPECT_FALSE(IsWindowEnabled(other));
        EXPECT_TRUE(IsWindowEnabled(hidden));
        // The owner is disabled by the box itself.
        EXPECT_FALSE(IsWindowEnabled(main));
        HWND box = GetForegroundWindow();
        EXPECT_NE(box, main);
        EXPECT_EQ(GetWindow(box, GW_OWNER), main);
    });
    player::answer_message_box();
    EXPECT_EQ(show_message("Vorthane Sorvane", "Generated a new gamble table  ", 0), IDOK);
    EXPECT_TRUE(checked);
    ASSERT_EQ(player::answered_boxes().size(), 1u);
    EXPECT_EQ(player::answered_boxes()[0].caption, "Vorthane Sorvane");
    EXPECT_EQ(player::answered_boxes()[0].text, "Generated a new gamble table  ");

    EXPECT_EQ(disabled_windows, nullptr);
    EXPECT_TRUE(IsWindowEnabled(main));
    EXPECT_TRUE(IsWindowEnabled(other));
    EXPECT_TRUE(IsWindowEnabled(hidden));
    EXPECT_FALSE(IsWindowEnabled(disabled));
}

TEST_F(ModalMessage, WithoutWindowsTheBoxHasNoOwner) {
    player::call([] {
        EXPECT_EQ(disabled_windows, nullptr);
        EXPECT_EQ(GetWindow(GetForegroundWindow(), GW_OWNER), nullptr);
    });
    player::answer_message_box();
    EXPECT_EQ(show_message("Sorvane", "Can't find sorvane.lst  ", 0), IDOK);
    EXPECT_EQ(disabled_windows, nullptr);
}

TEST_F(ModalMessage, RecordsOfOtherThreadsAreLeftInTheList) {
    HWND main = open_main_window();
    HWND other = reinterpret_cast<HWND>(open_window(1, 0, 0, 100, 100, WINDOW_HIDDEN, "other"));
    DisabledWindow* foreign =
        static_cast<DisabledWindow*>(alloc_node(&disabled_windows, sizeof(NodeLink) + sizeof(DisabledWindow)));
    foreign->thread_id = GetCurrentThreadId() + 1;
    foreign->window = other;
    EnableWindow(other, FALSE);
    drain_events();
    player::answer_message_box();
    show_message("Sorvane", "text  ", 0);
    EXPECT_EQ(disabled_list(), std::vector<HWND>{other});
    EXPECT_FALSE(IsWindowEnabled(other));
    EXPECT_TRUE(IsWindowEnabled(main));
    // The list outlives the node heap the fixture destroys; later tests in this process must not see the record.
    free_node(&disabled_windows, foreign);
}

}  // namespace
