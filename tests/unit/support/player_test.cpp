// The scripted player's call steps: what a call posts is handled before the
// next step runs, and a script that ends on a call does not end the program
// while the messages it posted are waiting.
#include "tests/unit/platform/user/test_window.h"

namespace {

using namespace user_test;

class Player : public UserTest {};

constexpr UINT open_late_window = WM_USER + 1;

TEST_F(Player, ACallsPostedMessageIsHandledBeforeTheNextStepLooksForItsWindow) {
    HWND top = make_top();
    hook() = [](HWND, UINT message, WPARAM, LPARAM, LRESULT*) {
        if (message == open_late_window) {
            make_top("Late window");
        }
        return false;
    };
    player::call([top] { PostMessageA(top, open_late_window, 0, 0); });
    // Found by title only when the step runs: the window must exist by then.
    player::click("Late window", 5, 5);
    std::vector<Taken> taken = run_script();
    HWND late = FindWindowA(nullptr, "Late window");
    ASSERT_NE(late, nullptr);
    std::vector<UINT> order;
    for (const Taken& t : taken) {
        if (t.message == open_late_window || (t.hwnd == late && t.message == WM_LBUTTONDOWN)) {
            order.push_back(t.message);
        }
    }
    EXPECT_EQ(order, (std::vector<UINT>{open_late_window, WM_LBUTTONDOWN}));
}

TEST_F(Player, AScriptEndingOnACallLetsTheProgramTakeWhatTheCallPosted) {
    HWND top = make_top();
    player::call([top] {
        PostMessageA(top, WM_USER + 2, 0, 0);
        PostQuitMessage(5);
    });
    MSG msg;
    std::vector<UINT> taken;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        if (msg.message != WM_PAINT) {
            taken.push_back(msg.message);
        }
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_EQ(taken, (std::vector<UINT>{WM_USER + 2}));
    EXPECT_EQ(player::steps_left(), 0u);
}

TEST_F(Player, StepsAddedByACallRunBeforeTheRestAfterItsMessages) {
    HWND top = make_top();
    static std::vector<std::string> events;
    events.clear();
    hook() = [](HWND, UINT message, WPARAM wparam, LPARAM, LRESULT*) {
        if (message == WM_USER + 3) {
            events.push_back("posted");
        } else if (message == WM_KEYDOWN) {
            events.push_back("key " + std::to_string(wparam));
        }
        return false;
    };
    player::call([top] {
        PostMessageA(top, WM_USER + 3, 0, 0);
        player::type_key('A');
    });
    player::type_key('B');
    run_script();
    EXPECT_EQ(events, (std::vector<std::string>{"posted", "key 65", "key 66"}));
}

}  // namespace
