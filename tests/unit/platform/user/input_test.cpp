// Input through the scripted player: what the queue hands out for clicks
// and keys, accelerators, focus and enabling, hit testing, and the player's
// end when its script runs out.
#include "tests/unit/platform/user/test_window.h"

namespace {

using namespace user_test;

class UserInput : public UserTest {};

std::vector<UINT> ids(const std::vector<Taken>& taken) {
    std::vector<UINT> out;
    for (const Taken& t : taken) {
        out.push_back(t.message);
    }
    return out;
}

TEST_F(UserInput, ClickOnAButtonIsMoveDownUpWithTheNotificationDuringTheRelease) {
    HWND top = make_top();
    HWND button = make_child(top, "BUTTON", "Set Filter", WS_TABSTOP | BS_PUSHBUTTON, 345, 260, 80, 25, 34);
    // The parent notes which queued message was being dispatched when the
    // notification came.
    static UINT dispatching = 0;
    static std::vector<std::pair<UINT, WPARAM>> commands;
    commands.clear();
    hook() = [](HWND, UINT message, WPARAM wparam, LPARAM, LRESULT*) {
        if (message == WM_COMMAND) {
            commands.emplace_back(dispatching, wparam);
        }
        return false;
    };
    player::click(button, 10, 10);
    MSG msg;
    std::vector<Taken> taken;
    while (player::steps_left() > 0 || PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        GetMessageA(&msg, nullptr, 0, 0);
        if (msg.message != WM_PAINT) {
            taken.push_back(Taken{msg.hwnd, msg.message, msg.wParam});
            EXPECT_EQ(msg.hwnd, button);
        }
        dispatching = msg.message;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(ids(taken), (std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP}));
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].first, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(commands[0].second, MAKEWPARAM(34, BN_CLICKED));
    EXPECT_EQ(GetFocus(), button);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(UserInput, TabWithoutAcceleratorsIsKeyDownCharKeyUpToTheFocusWindow) {
    HWND top = make_top();
    player::type_key(VK_TAB);
    std::vector<Taken> taken = run_script();
    EXPECT_EQ(ids(taken), (std::vector<UINT>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    for (const Taken& t : taken) {
        EXPECT_EQ(t.hwnd, top);
    }
    EXPECT_EQ(taken[1].wparam, static_cast<WPARAM>('\t'));
}

TEST_F(UserInput, AltF4IsTwoSystemKeysThenThePostedCloseCommand) {
    HWND top = make_top();
    hook() = [](HWND, UINT message, WPARAM, LPARAM, LRESULT* result) {
        *result = 0;
        return message == WM_CLOSE;
    };
    player::type_key(VK_F4, player::Alt);
    std::vector<Taken> taken = run_script();
    ASSERT_GE(taken.size(), 3u);
    EXPECT_EQ(taken[0].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(taken[0].wparam, static_cast<WPARAM>(VK_MENU));
    EXPECT_EQ(taken[1].message, static_cast<UINT>(WM_SYSKEYDOWN));
    EXPECT_EQ(taken[1].wparam, static_cast<WPARAM>(VK_F4));
    EXPECT_EQ(taken[2].message, static_cast<UINT>(WM_SYSCOMMAND));
    EXPECT_EQ(taken[2].wparam, static_cast<WPARAM>(SC_CLOSE));
    EXPECT_EQ(messages_of(top, {WM_CLOSE}).size(), 1u);
    EXPECT_TRUE(IsWindow(top));
}

TEST_F(UserInput, AcceleratorsNeedTheExactModifiers) {
    HWND top = make_top();
    ACCEL entries[2] = {{FVIRTKEY | FNOINVERT, VK_TAB, 1212}, {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, 1213}};
    HACCEL table = CreateAcceleratorTableA(entries, 2);
    ASSERT_NE(table, nullptr);
    player::type_key(VK_TAB);
    player::type_key(VK_TAB, player::Shift);
    player::type_key(VK_TAB, player::Ctrl);
    player::type_key(VK_TAB, player::Shift | player::Alt);
    run_script(table);
    std::vector<WPARAM> commands;
    for (const Received& r : received()) {
        if (r.hwnd == top && r.message == WM_COMMAND) {
            commands.push_back(r.wparam);
            EXPECT_EQ(r.lparam, 0);
        }
    }
    EXPECT_EQ(commands, (std::vector<WPARAM>{MAKEWPARAM(1212, 1), MAKEWPARAM(1213, 1)}));
    EXPECT_TRUE(DestroyAcceleratorTable(table));
    EXPECT_FALSE(DestroyAcceleratorTable(table));
    MSG msg{top, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_EQ(TranslateAcceleratorA(top, table, &msg), 0);
}

TEST_F(UserInput, FocusMovesWithMessagesAndDisablingTakesItAway) {
    HWND top = make_top();
    HWND a = make_child(top, recorder_class, "", WS_TABSTOP, 0, 0, 10, 10, 1);
    HWND b = make_child(top, recorder_class, "", WS_TABSTOP, 20, 0, 10, 10, 2);
    received().clear();
    EXPECT_EQ(SetFocus(a), top);
    EXPECT_EQ(SetFocus(b), a);
    EXPECT_EQ(messages_of(a, {WM_SETFOCUS, WM_KILLFOCUS}), (std::vector<UINT>{WM_SETFOCUS, WM_KILLFOCUS}));
    EXPECT_EQ(messages_of(top, {WM_KILLFOCUS}).size(), 1u);
    received().clear();
    EXPECT_FALSE(EnableWindow(b, FALSE));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(messages_of(b, {WM_KILLFOCUS, WM_ENABLE}), (std::vector<UINT>{WM_KILLFOCUS, WM_ENABLE}));
    EXPECT_FALSE(IsWindowEnabled(b));
    EXPECT_EQ(SetFocus(b), nullptr);  // a disabled window cannot take it
    EXPECT_TRUE(EnableWindow(b, TRUE));
    EXPECT_TRUE(IsWindowEnabled(b));
    // A second window takes activation and the focus; the first gets them back.
    HWND other = make_top("Other");
    EXPECT_EQ(GetActiveWindow(), other);
    EXPECT_EQ(GetFocus(), other);
    SetActiveWindow(top);
    EXPECT_EQ(GetFocus(), top);
    EXPECT_EQ(GetForegroundWindow(), top);
    // Hiding a child with the focus hands it to the parent.
    SetFocus(a);
    ShowWindow(a, SW_HIDE);
    EXPECT_EQ(GetFocus(), top);
    EXPECT_FALSE(IsWindowVisible(a));
}

TEST_F(UserInput, DisabledWindowsGetNoInput) {
    HWND top = make_top();
    HWND button = make_child(top, "BUTTON", "b", WS_TABSTOP | BS_PUSHBUTTON, 10, 10, 80, 25, 1);
    EnableWindow(button, FALSE);
    player::click(button, 5, 5);
    EXPECT_TRUE(run_script().empty());
    EnableWindow(button, TRUE);
    SetFocus(button);
    EnableWindow(top, FALSE);  // the top-level window disabled: its controls too
    player::click(button, 5, 5);
    player::type_key(VK_SPACE);
    player::close_window(top);
    EXPECT_TRUE(run_script().empty());
    EXPECT_TRUE(IsWindow(top));
}

TEST_F(UserInput, GroupBoxesAndStaticsLetClicksThroughToTheParent) {
    HWND top = make_top();
    HWND frame = make_child(top, "BUTTON", "Weapons", WS_GROUP | BS_GROUPBOX, 20, 45, 240, 200, 29);
    HWND inside = make_child(top, "BUTTON", "Axes", WS_TABSTOP | BS_AUTOCHECKBOX, 35, 65, 90, 20, 0);
    HWND text = make_child(top, "STATIC", "Help", SS_LEFT, 20, 10, 500, 15, 27);
    player::click(frame, 200, 150);
    player::click(text, 3, 3);
    player::click(inside, 3, 3);
    std::vector<Taken> taken = run_script();
    std::vector<std::pair<HWND, UINT>> downs;
    for (const Taken& t : taken) {
        if (t.message == WM_LBUTTONDOWN) {
            downs.emplace_back(t.hwnd, t.message);
        }
    }
    EXPECT_EQ(downs, (std::vector<std::pair<HWND, UINT>>{
                         {top, WM_LBUTTONDOWN}, {top, WM_LBUTTONDOWN}, {inside, WM_LBUTTONDOWN}}));
    // Client coordinates of the window that gets the click.
    for (const Received& r : received()) {
        if (r.hwnd == top && r.message == WM_LBUTTONDOWN) {
            EXPECT_EQ(r.lparam, MAKELPARAM(220, 195));
            break;
        }
    }
    EXPECT_EQ(SendMessageA(inside, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(UserInput, KeyStateFollowsTheMessagesTaken) {
    make_top();
    run_script();
    player::key_down(VK_SHIFT);
    player::key_down('A');
    MSG msg;
    GetMessageA(&msg, nullptr, 0, 0);
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_GE(GetKeyState('A'), 0);  // not taken yet
    GetMessageA(&msg, nullptr, 0, 0);
    EXPECT_LT(GetKeyState('A'), 0);
    TranslateMessage(&msg);
    GetMessageA(&msg, nullptr, 0, 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('A'));
    player::key_up('A');
    player::key_up(VK_SHIFT);
    run_script();
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(UserInput, PostedMessagesComeFirstThenPaintThenInput) {
    HWND top = make_top();
    run_script();
    InvalidateRect(top, nullptr, TRUE);
    PostMessageA(top, WM_USER + 1, 0, 0);
    player::type_key(VK_RETURN);
    MSG msg;
    GetMessageA(&msg, nullptr, 0, 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    GetMessageA(&msg, nullptr, 0, 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    DispatchMessageA(&msg);
    GetMessageA(&msg, nullptr, 0, 0);
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    run_script();
    PostQuitMessage(7);
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 7u);
}

using UserInputDeathTest = UserInput;

TEST_F(UserInputDeathTest, PlayerOutOfScriptEndsTheProcessAndNamesTheWindows) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            player::install();
            make_top("Waiting window");
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0)) {
                DispatchMessageA(&msg);
            }
        },
        ::testing::ExitedWithCode(player::script_ran_out_status), "ran out(.|\n)*Waiting window");
}

}  // namespace

// Focus stays inside the active window and capture ends with its window;
// a dropped desktop keeps no key toggles, classes, focus or messages.
TEST_F(UserInput, TheDesktopKeepsItsInvariantsAndDropsEverything) {
    HWND top = make_top();
    HWND child = make_child(top, recorder_class, "", WS_TABSTOP, 0, 0, 10, 10, 1);
    HWND other = make_top("Other");
    SetFocus(child);
    EXPECT_TRUE(user::desktop_consistent());
    SetActiveWindow(other);
    EXPECT_TRUE(user::desktop_consistent());
    SetCapture(child);
    DestroyWindow(child);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(user::desktop_consistent());
    DestroyWindow(other);
    EXPECT_TRUE(user::desktop_consistent());

    player::type_key(VK_TAB);
    run_script();
    ASSERT_EQ(GetKeyState(VK_TAB) & 1, 1);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "UserTestDropped";
    ASSERT_NE(RegisterClassA(&wc), 0);
    PostMessageA(top, WM_USER, 0, 0);
    SetFocus(top);

    user::drop_desktop();
    EXPECT_FALSE(IsWindow(top));
    EXPECT_EQ(GetKeyState(VK_TAB), 0);
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(UnregisterClassA("UserTestDropped", nullptr), FALSE);
}
