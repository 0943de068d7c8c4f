// Window messages turned into events.
#include "unit/ui/ui_fixture.h"

namespace {

class Translator : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        main_ = open_main_window();
        ASSERT_NE(main_, nullptr);
        drain_events();
        pending_event = 0;
        event_control_number = 0;
        event_detail = -1;
    }

    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam) { return SendMessageA(main_, message, wParam, lParam); }

    LRESULT notify(HWND from, intptr_t id, int code) {
        NMHDR header = {from, static_cast<UINT_PTR>(id), static_cast<UINT>(code)};
        return send(WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&header));
    }

    LRESULT command_from(HWND control, int notification) {
        return send(WM_COMMAND, MAKEWPARAM(GetWindowLongPtrA(control, GWLP_ID), notification),
                    reinterpret_cast<LPARAM>(control));
    }

    HWND main_ = nullptr;
};

TEST_F(Translator, TheFirstWaitAfterOpeningReturnsTheLastMoveOrSize) {
    close_window(0);
    drain_events();
    HWND window = open_main_window();
    EXPECT_EQ(pending_event, EVENT_MOVE);
    PostMessageA(window, WM_NULL, 0, 0);
    EXPECT_EQ(wait_event(), EVENT_MOVE);
    EXPECT_EQ(pending_event, 0);
}

TEST_F(Translator, MoveSizeAndCloseAreEventsAndTheWindowStays) {
    EXPECT_EQ(send(WM_SIZE, 0, MAKELPARAM(540, 300)), 0);
    EXPECT_EQ(pending_event, EVENT_SIZE);
    EXPECT_EQ(send(WM_MOVE, 0, 0), 0);
    EXPECT_EQ(pending_event, EVENT_MOVE);
    PostMessageA(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(wait_event(), EVENT_CLOSE);
    EXPECT_TRUE(IsWindow(main_));
    PostMessageA(main_, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(wait_event(), EVENT_CLOSE);
    EXPECT_TRUE(IsWindow(main_));
}

TEST_F(Translator, AMessageWithoutAnEventReturnsItsOwnIdentifier) {
    PostMessageA(main_, WM_USER + 7, 0, 0);
    EXPECT_EQ(wait_event(), WM_USER + 7);
}

TEST_F(Translator, ControlCommandsCarryTheControlNumberAndNotification) {
    set_control_parent(main_);
    HWND checkbox = reinterpret_cast<HWND>(create_checkbox(7, 10, 10, 80, 16, "Seven"));
    EXPECT_EQ(command_from(checkbox, BN_CLICKED), 0);
    EXPECT_EQ(pending_event, EVENT_CONTROL);
    EXPECT_EQ(event_control(), 7);
    EXPECT_EQ(event_detail, BN_CLICKED);

    HWND command = make_probe("CommandProbe", WS_CHILD | WS_VISIBLE, main_, COMMAND_CONTROL_ID);
    send(WM_COMMAND, MAKEWPARAM(4321, 3), reinterpret_cast<LPARAM>(command));
    EXPECT_EQ(pending_event, EVENT_MENU);
    EXPECT_EQ(event_control(), 4321);
    EXPECT_EQ(event_detail, 3);
}

TEST_F(Translator, ListBoxesReportOnlySelectionAndDoubleClick) {
    HWND list = make_probe("ListProbe", WS_CHILD | WS_VISIBLE, main_, 21);
    command_from(list, 1);
    EXPECT_EQ(pending_event, EVENT_CONTROL);
    EXPECT_EQ(event_detail, 0);
    command_from(list, 2);
    EXPECT_EQ(pending_event, EVENT_CONTROL);
    EXPECT_EQ(event_detail, 2);
    // Focus changes record no event but still name the list box.
    event_control_number = 0;
    command_from(list, 4);
    EXPECT_EQ(pending_event, 0);
    EXPECT_EQ(event_control(), 21);
    // The class name is compared case-sensitively.
    HWND other = make_probe("listprobe2", WS_CHILD | WS_VISIBLE, main_, 22);
    command_from(other, 4);
    EXPECT_EQ(pending_event, EVENT_CONTROL);
}

TEST_F(Translator, MenuAndKeyboardCommands) {
    EXPECT_EQ(send(WM_COMMAND, 55, 0), 0);
    EXPECT_EQ(pending_event, EVENT_MENU);
    EXPECT_EQ(event_control(), 55);
    pending_event = 0;
    EXPECT_EQ(send(WM_COMMAND, MAKEWPARAM(1300, 1), 0), 0x10000);
    EXPECT_EQ(pending_event, EVENT_MENU);
    EXPECT_EQ(event_control(), 1300);
    pending_event = 0;
    EXPECT_EQ(send(WM_COMMAND, MAKEWPARAM(CMD_NEXT_CONTROL, 1), 0), 0);
    EXPECT_EQ(send(WM_COMMAND, MAKEWPARAM(CMD_PREVIOUS_CONTROL, 1), 0), 0);
    EXPECT_EQ(pending_event, 0);
    EXPECT_EQ(event_control(), 1300);
}

TEST_F(Translator, PrivateControlEventAndScrolling) {
    EXPECT_EQ(send(MSG_CONTROL_EVENT, 9, 4), 4);
    EXPECT_EQ(pending_event, EVENT_CONTROL);
    EXPECT_EQ(event_control(), 9);
    EXPECT_EQ(event_detail, 4);
    HWND bar = make_probe("ScrollProbe", WS_CHILD | WS_VISIBLE, main_, 17);
    EXPECT_EQ(send(WM_VSCROLL, 0, reinterpret_cast<LPARAM>(bar)), 0);
    EXPECT_EQ(event_control(), 17);
    pending_event = 0;
    send(WM_HSCROLL, 0, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(pending_event, EVENT_CONTROL);
}

TEST_F(Translator, RelayedClicksAreEventsOnTheNextWait) {
    PostMessageA(main_, MSG_CLICK_RELAY, 7, WM_LBUTTONUP);
    EXPECT_EQ(wait_event(), MSG_CLICK_RELAY);
    EXPECT_EQ(wait_event(), EVENT_RELAYED_CLICK);
    EXPECT_EQ(event_control(), 7);
    EXPECT_EQ(event_detail, 0);

    const struct {
        LPARAM button;
        int32_t detail;
    } sides[] = {{WM_RBUTTONUP, 1}, {WM_LBUTTONDBLCLK, 2}, {WM_RBUTTONDBLCLK, 3}};
    for (const auto& side : sides) {
        pending_event = 0;
        send(MSG_CLICK_RELAYED, 8, side.button);
        EXPECT_EQ(pending_event, EVENT_RELAYED_CLICK);
        EXPECT_EQ(event_detail, side.detail);
    }
    // Another message clears the event but still names the control.
    send(MSG_CLICK_RELAYED, 11, WM_LBUTTONDOWN);
    EXPECT_EQ(pending_event, 0);
    EXPECT_EQ(event_control(), 11);
}

TEST_F(Translator, TreeAndListViewNotifications) {
    HWND tree = make_probe("SysTreeView32", WS_CHILD, main_, 40);
    const struct {
        int code;
        int32_t detail;
    } clicks[] = {{-2, 0}, {-3, 2}, {-5, 1}, {-6, 3}, {-114, 2}};
    for (const auto& click : clicks) {
        pending_event = 0;
        event_detail = -1;
        EXPECT_EQ(notify(tree, 40, click.code), 0);
        EXPECT_EQ(pending_event, EVENT_CONTROL);
        EXPECT_EQ(event_control(), 40);
        EXPECT_EQ(event_detail, click.detail);
    }
    HWND list = make_probe("SysListView32", WS_CHILD, main_, 41);
    pending_event = 0;
    event_detail = -1;
    notify(list, 41, -101);
    EXPECT_EQ(pending_event, EVENT_CONTROL);
    EXPECT_EQ(event_detail, -1);
    pending_event = 0;
    notify(tree, 40, -402);
    EXPECT_EQ(pending_event, EVENT_CONTROL);
    // An unknown code records nothing while the detail is still -1 ...
    pending_event = 0;
    notify(tree, 40, -12);
    EXPECT_EQ(pending_event, 0);
    // ... but does once a click earlier in the same wait has set it.
    event_detail = 0;
    notify(tree, 40, -12);
    EXPECT_EQ(pending_event, EVENT_CONTROL);
}

TEST_F(Translator, DateCalendarAndUpDownNotifications) {
    HWND date = make_probe("SysDateTimePick32", WS_CHILD, main_, 50);
    HWND calendar = make_probe("SysMonthCal32", WS_CHILD, main_, 51);
    HWND button = make_probe("UpDownProbe", WS_CHILD, main_, 52);
    notify(date, 50, -759);
    EXPECT_EQ(pending_event, EVENT_CONTROL);
    pending_event = 0;
    notify(date, 50, -749);
    EXPECT_EQ(pending_event, 0);
    notify(calendar, 51, -749);
    EXPECT_EQ(pending_event, EVENT_CONTROL);
    EXPECT_EQ(event_control(), 51);
    pending_event = 0;
    notify(button, 52, -2);
    EXPECT_EQ(pending_event, 0);

    NMUPDOWN change = {};
    change.hdr.hwndFrom = button;
    change.hdr.idFrom = 52;
    change.hdr.code = static_cast<UINT>(-722);
    change.iDelta = -3;
    EXPECT_EQ(send(WM_NOTIFY, 52, reinterpret_cast<LPARAM>(&change)), 0);
    EXPECT_EQ(pending_event, EVENT_CONTROL);
    EXPECT_EQ(event_control(), 52);
    EXPECT_EQ(event_detail, -3);
}

TEST_F(Translator, AnEventLeftOverOutsideAWaitIsReturnedByTheNext) {
    send(MSG_CONTROL_EVENT, 3, 0);
    PostMessageA(main_, WM_USER, 0, 0);
    EXPECT_EQ(wait_event(), EVENT_CONTROL);
    // A no-event message in the wait clears what was left over.
    HWND list = make_probe("ListProbe", WS_CHILD | WS_VISIBLE, main_, 21);
    send(WM_MOVE, 0, 0);
    PostMessageA(main_, WM_COMMAND, MAKEWPARAM(21, 4), reinterpret_cast<LPARAM>(list));
    EXPECT_EQ(wait_event(), WM_COMMAND);
    // Each wait starts with the detail at -1.
    event_detail = 5;
    PostMessageA(main_, WM_USER, 0, 0);
    wait_event();
    EXPECT_EQ(event_detail, -1);
}

}  // namespace
