// Orders and results the real platform shows under Wine, where the window
// layer once differed: losing activation before focus, a box's owner
// disabled before the box activates, maximised creation.
#include <algorithm>

#include "tests/unit/platform/user/test_window.h"

namespace {

using namespace user_test;

class UserPlatformFacts : public UserTest {};

// The messages of interest to any of these windows, in the order sent.
std::vector<std::pair<HWND, UINT>> sequence(const std::vector<HWND>& windows, const std::vector<UINT>& wanted) {
    std::vector<std::pair<HWND, UINT>> out;
    for (const Received& r : received()) {
        bool window = std::find(windows.begin(), windows.end(), r.hwnd) != windows.end();
        bool message = std::find(wanted.begin(), wanted.end(), r.message) != wanted.end();
        if (window && message) {
            out.emplace_back(r.hwnd, r.message);
        }
    }
    return out;
}

TEST_F(UserPlatformFacts, DestroyingTheActiveFocusedWindowDeactivatesItBeforeTakingTheFocus) {
    HWND top = make_top();
    run_script();
    ASSERT_EQ(GetActiveWindow(), top);
    ASSERT_EQ(GetFocus(), top);
    received().clear();
    DestroyWindow(top);
    std::vector<std::pair<HWND, UINT>> want = {{top, WM_ACTIVATE}, {top, WM_KILLFOCUS}, {top, WM_DESTROY}};
    EXPECT_EQ(sequence({top}, {WM_ACTIVATE, WM_KILLFOCUS, WM_DESTROY}), want);
    for (const Received& r : received()) {
        if (r.message == WM_ACTIVATE) {
            EXPECT_EQ(LOWORD(r.wparam), WA_INACTIVE);
        }
    }
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(UserPlatformFacts, AMessageBoxDisablesItsOwnerBeforeTheBoxActivatesThenTakesTheControlsFocus) {
    HWND owner = make_top("Owner");
    HWND check = make_child(owner, "BUTTON", "Axes", BS_AUTOCHECKBOX | WS_TABSTOP, 35, 65, 80, 20, 100);
    record_button(check);
    run_script();
    SetFocus(check);
    received().clear();
    player::answer_message_box();
    EXPECT_EQ(MessageBoxA(owner, "text  ", "Box", MB_OK), IDOK);
    // As Wine gives them: the owner disabled, deactivated as the box
    // activates, the control's focus lost; then, as the box closes, the
    // owner enabled, activated and given the focus itself.
    std::vector<std::pair<HWND, UINT>> want = {{owner, WM_ENABLE}, {owner, WM_ACTIVATE}, {check, WM_KILLFOCUS},
                                               {owner, WM_ENABLE}, {owner, WM_ACTIVATE}, {owner, WM_SETFOCUS}};
    EXPECT_EQ(sequence({owner, check}, {WM_ENABLE, WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS}), want);
}

TEST_F(UserPlatformFacts, AVisibleWindowCreatedMaximisedCoversTheScreen) {
    HWND top = make_top("Big", tool_style | WS_MAXIMIZE);
    run_script();
    // As Wine gives it on a 1280 x 1024 screen: (-3, -3)-(1283, 1027), a
    // client area of 1280 x 1005.
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    RECT window, client;
    GetWindowRect(top, &window);
    GetClientRect(top, &client);
    EXPECT_EQ(window.left, -3);
    EXPECT_EQ(window.top, -3);
    EXPECT_EQ(window.right, width + 3);
    EXPECT_EQ(window.bottom, height + 3);
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height - 19);

    // Hidden, it is only marked; showing it maximised still works.
    HWND hidden = make_top("Later", (tool_style & ~WS_VISIBLE) | WS_MAXIMIZE);
    GetWindowRect(hidden, &window);
    EXPECT_EQ(window.right - window.left, 546);
    ShowWindow(hidden, SW_MAXIMIZE);
    GetClientRect(hidden, &client);
    EXPECT_EQ(client.right, width);
}

TEST_F(UserPlatformFacts, DestroyingTheActiveWindowActivatesTheNextBeforeTheFocusMoves) {
    HWND other = make_top("Other");
    HWND top = make_top("Top");
    run_script();
    ASSERT_EQ(GetFocus(), top);
    received().clear();
    DestroyWindow(top);
    // The order Wine shows.
    std::vector<std::pair<HWND, UINT>> want = {
        {top, WM_ACTIVATE}, {other, WM_ACTIVATE}, {top, WM_KILLFOCUS}, {other, WM_SETFOCUS}, {top, WM_DESTROY}};
    EXPECT_EQ(sequence({top, other}, {WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS, WM_DESTROY}), want);
    EXPECT_EQ(GetActiveWindow(), other);
    EXPECT_EQ(GetFocus(), other);
}

display::SurfaceId surface_of(HWND hwnd) {
    return reinterpret_cast<display::SurfaceId>(hwnd);
}

TEST_F(UserPlatformFacts, TheDisplayLearnsABoxsOwnerItsModalityAndTheClassBackground) {
    HWND owner = make_top("Owner");
    run_script();
    display::headless::Relations relations;
    ASSERT_TRUE(display::headless::relations(surface_of(owner), &relations));
    EXPECT_EQ(relations.owner, 0u);
    EXPECT_FALSE(relations.modal);
    ASSERT_TRUE(relations.has_background);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(relations.background,
              static_cast<uint32_t>(GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face)));

    static display::headless::Relations while_up;
    static bool found = false;
    player::call([] {
        HWND box = FindWindowA("#32770", "Box");
        found = display::headless::relations(surface_of(box), &while_up);
    });
    player::answer_message_box();
    EXPECT_EQ(MessageBoxA(owner, "text  ", "Box", MB_OK), IDOK);
    ASSERT_TRUE(found);
    EXPECT_EQ(while_up.owner, surface_of(owner));
    EXPECT_TRUE(while_up.modal);
    ASSERT_TRUE(display::headless::relations(surface_of(owner), &relations));
    EXPECT_FALSE(relations.modal);

    // A box without an owner is nobody's dialog.
    player::call([] {
        HWND box = FindWindowA("#32770", "Alone");
        found = display::headless::relations(surface_of(box), &while_up);
    });
    player::answer_message_box();
    EXPECT_EQ(MessageBoxA(nullptr, "text  ", "Alone", MB_OK), IDOK);
    ASSERT_TRUE(found);
    EXPECT_EQ(while_up.owner, 0u);
    EXPECT_FALSE(while_up.modal);
}

TEST_F(UserPlatformFacts, AMoveByTheWindowManagerMovesTheRectangleSendsWmMoveAndCentresTheNextBox) {
    HWND top = make_top("Moved");
    run_script();
    received().clear();
    display::Input moved;
    moved.kind = display::InputKind::Moved;
    moved.surface = surface_of(top);
    moved.x = 103;
    moved.y = 122;
    display::headless::push_input(moved);
    // The same place again is no move.
    display::headless::push_input(moved);
    run_script();
    RECT window, client;
    GetWindowRect(top, &window);
    EXPECT_EQ(window.left, 100);
    EXPECT_EQ(window.top, 100);
    EXPECT_EQ(window.right - window.left, 546);
    EXPECT_EQ(window.bottom - window.top, 325);
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    EXPECT_EQ(origin.x, 103);
    EXPECT_EQ(origin.y, 122);
    GetClientRect(top, &client);
    EXPECT_EQ(client.right, 540);
    EXPECT_EQ(client.bottom, 300);
    std::vector<LPARAM> moves;
    for (const Received& r : received()) {
        if (r.hwnd == top && r.message == WM_MOVE) {
            moves.push_back(r.lparam);
        }
    }
    EXPECT_EQ(moves, std::vector<LPARAM>{MAKELPARAM(103, 122)});

    static RECT box{};
    player::call([] { GetWindowRect(FindWindowA("#32770", "Box"), &box); });
    player::answer_message_box();
    MessageBoxA(top, "text  ", "Box", MB_OK);
    EXPECT_NEAR((box.left + box.right) / 2, (100 + 646) / 2, 1);
    EXPECT_NEAR((box.top + box.bottom) / 2, (100 + 425) / 2, 1);
}

}  // namespace
