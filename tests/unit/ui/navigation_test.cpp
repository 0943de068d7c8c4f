// Tab and Shift+Tab between the controls of the active window.
#include "runtime/ui/navigation.h"

#include <algorithm>

#include "unit/ui/ui_fixture.h"

namespace {

// Checkboxes 0 to 2, a text, a frame, then buttons 5 and 6, in creation order.
class Navigation : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        main_ = open_main_window();
        ASSERT_EQ(GetActiveWindow(), main_);
        set_control_parent(main_);
        for (int number = 0; number < 3; ++number) {
            create_checkbox(number, 10, 10 + 20 * number, 80, 16, "box");
        }
        create_text(3, 100, 10, 80, 16, "text");
        create_frame(4, 100, 30, 80, 60, "frame");
        create_button(5, 200, 10, 80, 24, "five");
        create_button(6, 200, 40, 80, 24, "six");
    }

    HWND control(intptr_t number) { return control_table[number].window; }

    void next() { SendMessageA(main_, WM_COMMAND, MAKEWPARAM(CMD_NEXT_CONTROL, 1), 0); }
    void previous() { SendMessageA(main_, WM_COMMAND, MAKEWPARAM(CMD_PREVIOUS_CONTROL, 1), 0); }

    HWND main_ = nullptr;
};

TEST_F(Navigation, TabWalksTheTabStopsInCreationOrderAndWraps) {
    ASSERT_EQ(GetFocus(), main_);
    const intptr_t order[] = {0, 1, 2, 5, 6, 0};
    for (intptr_t number : order) {
        next();
        EXPECT_EQ(GetFocus(), control(number)) << "expected control " << number;
    }
}

TEST_F(Navigation, ShiftTabWalksBackwardsAndWraps) {
    const intptr_t order[] = {6, 5, 2, 1, 0, 6};
    for (intptr_t number : order) {
        previous();
        EXPECT_EQ(GetFocus(), control(number)) << "expected control " << number;
    }
}

TEST_F(Navigation, DisabledAndHiddenControlsAreSkippedBothWays) {
    EnableWindow(control(1), FALSE);
    ShowWindow(control(5), SW_HIDE);
    SetFocus(control(0));
    next();
    EXPECT_EQ(GetFocus(), control(2));
    next();
    EXPECT_EQ(GetFocus(), control(6));
    previous();
    EXPECT_EQ(GetFocus(), control(2));
    previous();
    EXPECT_EQ(GetFocus(), control(0));
}

TEST_F(Navigation, AFocusedControlThatIsNoTabStopKeepsTheFocusOnTab) {
    // Texts and frames are never reached, and Tab does not leave them.
    SetFocus(control(4));
    next();
    EXPECT_EQ(GetFocus(), control(4));
    // Shift+Tab from there goes to the last tab stop.
    previous();
    EXPECT_EQ(GetFocus(), control(6));
}

TEST_F(Navigation, ASingleTabStopKeepsTheFocus) {
    for (intptr_t number : {0, 1, 2, 5}) {
        EnableWindow(control(number), FALSE);
    }
    next();
    EXPECT_EQ(GetFocus(), control(6));
    next();
    EXPECT_EQ(GetFocus(), control(6));
    previous();
    EXPECT_EQ(GetFocus(), control(6));
}

TEST_F(Navigation, NoTabStopChangesNothing) {
    for (intptr_t number : {0, 1, 2, 5, 6}) {
        EnableWindow(control(number), FALSE);
    }
    next();
    EXPECT_EQ(GetFocus(), main_);
    previous();
    EXPECT_EQ(GetFocus(), main_);
}

}  // namespace

namespace {

std::vector<int32_t> without_paint(std::vector<int32_t> codes) {
    codes.erase(std::remove(codes.begin(), codes.end(), WM_PAINT), codes.end());
    return codes;
}

TEST_F(Navigation, TheKeyboardDrivesTheAcceleratorsAndTheButtons) {
    drain_events();
    player::type_key(VK_TAB);
    std::vector<int32_t> codes = without_paint(drain_events());
    EXPECT_EQ(GetFocus(), control(0));
    // The accelerator takes the key down, so no character follows it.
    EXPECT_EQ(codes, (std::vector<int32_t>{WM_KEYDOWN, WM_KEYUP}));

    player::type_key(VK_TAB, player::Shift);
    drain_events();
    EXPECT_EQ(GetFocus(), control(6));

    // Ctrl+Tab matches no accelerator exactly.
    player::type_key(VK_TAB, player::Ctrl);
    drain_events();
    EXPECT_EQ(GetFocus(), control(6));

    player::type_key(VK_TAB);
    player::type_key(VK_SPACE);
    codes = without_paint(drain_events());
    EXPECT_EQ(GetFocus(), control(0));
    EXPECT_EQ(codes.back(), EVENT_CONTROL);
    EXPECT_EQ(event_control(), 0);
    EXPECT_EQ(get_control_state(0), 1);
}

}  // namespace
