// Numbered controls: creation, reuse, growth and states.
#include <algorithm>

#include "unit/ui/ui_fixture.h"

namespace {

class Controls : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        main_ = open_main_window();
        ASSERT_EQ(set_control_parent(main_), main_);
    }

    int count_children_with_id(HWND parent, intptr_t id) {
        struct Search {
            intptr_t id;
            int count;
        } search = {id, 0};
        EnumChildWindows(
            parent,
            [](HWND child, LPARAM data) -> BOOL {
                Search* s = reinterpret_cast<Search*>(data);
                if (GetWindowLongPtrA(child, GWLP_ID) == s->id) {
                    ++s->count;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.count;
    }

    HWND main_ = nullptr;
};

DWORD style_of(HWND window) {
    return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
}

TEST_F(Controls, EachKindHasItsClassStyleIdAndFont) {
    HWND text = reinterpret_cast<HWND>(create_text(27, 5, 5, 100, 14, "Weapons"));
    HWND frame = reinterpret_cast<HWND>(create_frame(29, 5, 20, 200, 100, "Armour"));
    HWND checkbox = reinterpret_cast<HWND>(create_checkbox(0, 10, 40, 80, 16, "Axes"));
    HWND button = reinterpret_cast<HWND>(create_button(32, 300, 10, 80, 24, "Check All"));
    const struct {
        HWND window;
        const char* class_name;
        DWORD style;
        intptr_t number;
        ControlKind* kind;
    } expected[] = {{text, "STATIC", 0x50020000, 27, &text_kind},
                    {frame, "BUTTON", 0x50020007, 29, &button_kind},
                    {checkbox, "BUTTON", 0x50030003, 0, &checkbox_kind},
                    {button, "BUTTON", 0x50030000, 32, &button_kind}};
    for (const auto& control : expected) {
        ASSERT_NE(control.window, nullptr);
        EXPECT_EQ(GetParent(control.window), main_);
        EXPECT_EQ(_stricmp(class_of(control.window).c_str(), control.class_name), 0);
        EXPECT_EQ(style_of(control.window), control.style);
        EXPECT_EQ(GetWindowLongPtrA(control.window, GWLP_ID), control.number);
        EXPECT_EQ(control_table[control.number].window, control.window);
        EXPECT_EQ(control_table[control.number].kind, control.kind);
        EXPECT_NE(control_table[control.number].previous_procedure, nullptr);
        EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control.window, WM_GETFONT, 0, 0)), default_font);
    }
    EXPECT_EQ(GetWindowLongPtrA(text, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(control_procedure));
    EXPECT_EQ(GetWindowLongPtrA(frame, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(frame_paint_filter));
    EXPECT_EQ(text_kind.get_state, nullptr);
    EXPECT_NE(checkbox_kind.get_state, nullptr);
}

TEST_F(Controls, CheckboxStateFollowsSetAndClicks) {
    HWND checkbox = reinterpret_cast<HWND>(create_checkbox(3, 10, 10, 80, 16, "Bows"));
    EXPECT_EQ(get_control_state(3), 0);
    pending_event = 0;
    set_control_state(3, 1);
    EXPECT_EQ(get_control_state(3), 1);
    // Setting a state is no user action: no event.
    EXPECT_EQ(pending_event, 0);
    set_control_state(3, 0);
    EXPECT_EQ(get_control_state(3), 0);
    // Any other value leaves an automatic checkbox checked.
    set_control_state(3, -1);
    EXPECT_EQ(get_control_state(3), 1);

    drain_events();
    player::click(checkbox, 5, 5);
    std::vector<int32_t> codes = drain_events();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), EVENT_CONTROL), 1);
    EXPECT_EQ(event_control(), 3);
    EXPECT_EQ(get_control_state(3), 0);
}

TEST_F(Controls, TextsFramesAndUnknownNumbersHaveNoState) {
    create_text(27, 5, 5, 100, 14, "Weapons");
    create_frame(29, 5, 20, 200, 100, "Armour");
    create_button(32, 300, 10, 80, 24, "Check All");
    set_control_state(27, 1);
    EXPECT_EQ(get_control_state(27), 0);
    EXPECT_EQ(get_control_state(29), 0);
    EXPECT_EQ(get_control_state(32), 0);
    EXPECT_EQ(get_control_state(28), 0);
    EXPECT_EQ(get_control_state(12345), 0);
    set_control_state(12345, 1);
    free_control(12345);
}

TEST_F(Controls, ReusingANumberReplacesTheControlInAnyParent) {
    HWND first = reinterpret_cast<HWND>(create_checkbox(5, 10, 10, 80, 16, "first"));
    HWND second = reinterpret_cast<HWND>(create_button(5, 10, 40, 80, 24, "second"));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(control_table[5].window, second);
    EXPECT_EQ(count_children_with_id(main_, 5), 1);

    HWND other = reinterpret_cast<HWND>(open_window(1, 0, 0, 200, 200, 0xC80000, "other"));
    set_control_parent(other);
    HWND third = reinterpret_cast<HWND>(create_checkbox(5, 10, 10, 80, 16, "third"));
    EXPECT_FALSE(IsWindow(second));
    EXPECT_EQ(count_children_with_id(main_, 5), 0);
    EXPECT_EQ(count_children_with_id(other, 5), 1);
    EXPECT_EQ(control_table[5].window, third);
}

TEST_F(Controls, ANumberAtTheCapacityGrowsTheTable) {
    HWND controls[30];
    for (int number = 0; number < 30; ++number) {
        controls[number] = reinterpret_cast<HWND>(create_checkbox(number, 0, 0, 10, 10, ""));
    }
    EXPECT_EQ(control_capacity, 30);
    EXPECT_EQ(HeapSize(main_heap, 0, control_table), 32 * sizeof(ControlEntry));
    create_checkbox(30, 0, 0, 10, 10, "");
    EXPECT_EQ(control_capacity, 60);
    EXPECT_EQ(HeapSize(main_heap, 0, control_table), 62 * sizeof(ControlEntry));
    for (int number = 0; number < 30; ++number) {
        EXPECT_EQ(control_table[number].window, controls[number]);
    }
    set_control_state(29, 1);
    EXPECT_EQ(get_control_state(29), 1);
    EXPECT_EQ(get_control_state(40), 0);
}

TEST_F(Controls, ClosingTheParentFreesItsNumbers) {
    for (int number = 0; number < 3; ++number) {
        create_checkbox(number, 0, 20 * number, 80, 16, "");
        set_control_state(number, 1);
    }
    close_window(0);
    for (int number = 0; number < 3; ++number) {
        EXPECT_EQ(control_table[number].window, nullptr);
        EXPECT_EQ(get_control_state(number), 0);
    }
}

TEST_F(Controls, DynamicControlsAreNumberedByTheirEntry) {
    intptr_t number = create_checkbox(-1, 0, 0, 80, 16, "dynamic");
    ASSERT_NE(number, 0);
    ASSERT_NE(control_list, nullptr);
    EXPECT_EQ(number, reinterpret_cast<intptr_t>(payload_of_node(control_list)));
    HWND window = reinterpret_cast<ControlEntry*>(number)->window;
    EXPECT_EQ(GetWindowLongPtrA(window, GWLP_ID), number);
    set_control_state(number, 1);
    EXPECT_EQ(get_control_state(number), 1);

    SendMessageA(main_, WM_COMMAND, MAKEWPARAM(number, BN_CLICKED), reinterpret_cast<LPARAM>(window));
    EXPECT_EQ(event_control(), number);

    free_control(number);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(control_list, nullptr);
    EXPECT_EQ(get_control_state(number), 0);
}

TEST_F(Controls, WithoutAParentNothingIsCreated) {
    set_control_parent(nullptr);
    EXPECT_EQ(create_checkbox(2, 0, 0, 80, 16, ""), 0);
    EXPECT_EQ(control_table[2].window, nullptr);
    EXPECT_EQ(get_control_state(2), 0);
}

TEST_F(Controls, TheFrameFilterPassesPaintingOn) {
    HWND frame = reinterpret_cast<HWND>(create_frame(29, 5, 20, 200, 100, "Armour"));
    drain_events();
    // The button procedure behind the filter validates what it paints.
    InvalidateRect(frame, nullptr, TRUE);
    std::vector<int32_t> codes = drain_events();
    EXPECT_NE(std::find(codes.begin(), codes.end(), WM_PAINT), codes.end());
    MSG waiting;
    EXPECT_FALSE(PeekMessageA(&waiting, frame, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

}  // namespace
