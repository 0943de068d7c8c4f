// Touch as the mouse, through the headless display's promotion and the real
// window layer: what a checkbox and a push button take from the queue and
// whether they click, for taps, slides, second fingers and cancels.
#include <string>

#include "tests/unit/platform/user/test_window.h"

namespace {

using namespace user_test;

class TouchPromotion : public UserTest {};

constexpr int box_id = 1, button_id = 2;

struct Case {
    const char* name;
    void (*script)(HWND box, HWND button);
    // The mouse messages taken, as "<window> <message>"; a move taken with
    // the left button held reads "move held".
    std::vector<std::string> taken;
    LRESULT checked;
    std::vector<int> clicked;  // the ids BN_CLICKED came from
};

const Case cases[] = {
    {"a tap is a click",
     [](HWND box, HWND) {
         player::touch_down(box, 5, 5);
         player::touch_up();
     },
     {"box move", "box down", "box up"},
     BST_CHECKED,
     {box_id}},
    {"a slide moves with the button held and lifts where it ended",
     [](HWND box, HWND) {
         player::touch_down(box, 5, 5);
         player::touch_move(box, 60, 12);
         player::touch_up();
     },
     {"box move", "box down", "box move held", "box up"},
     BST_CHECKED,
     {box_id}},
    {"a slide off the checkbox clicks nothing, as the mouse",
     [](HWND box, HWND) {
         player::touch_down(box, 5, 5);
         player::touch_move(box, 5, 40);
         player::touch_up();
     },
     {"box move", "box down", "box move held", "box up"},
     BST_UNCHECKED,
     {}},
    {"a second finger while the first is down gives nothing",
     [](HWND box, HWND button) {
         player::touch_down(box, 5, 5, 7);
         player::touch_down(button, 5, 5, 8);
         player::touch_move(button, 9, 9, 8);
         player::touch_up(8);
         player::touch_move(box, 6, 6, 7);
         player::touch_up(7);
     },
     {"box move", "box down", "box move held", "box up"},
     BST_CHECKED,
     {box_id}},
    {"a finger left down after the first is lifted is not the mouse; the next sequence's first is",
     [](HWND box, HWND button) {
         player::touch_down(box, 5, 5, 1);
         player::touch_down(button, 5, 5, 2);
         player::touch_up(1);
         player::touch_move(button, 9, 9, 2);
         player::touch_down(box, 5, 5, 3);
         player::touch_up(3);
         player::touch_up(2);
         player::touch_down(button, 5, 5, 4);
         player::touch_up(4);
     },
     {"box move", "box down", "box up", "button move", "button down", "button up"},
     BST_CHECKED,
     {box_id, button_id}},
    {"a cancelled touch releases the checkbox outside itself",
     [](HWND box, HWND) {
         player::touch_down(box, 5, 5);
         player::touch_cancel();
         player::touch_up();  // no up follows a cancel; one would be no point's
     },
     {"box move", "box down", "box move held", "box up"},
     BST_UNCHECKED,
     {}},
    {"a cancelled touch on a push button clicks nothing, and the sequence ends with it",
     [](HWND, HWND button) {
         player::touch_down(button, 5, 5, 1);
         player::touch_down(button, 8, 8, 2);
         player::touch_cancel();
         player::touch_down(button, 5, 5, 3);
         player::touch_up(3);
     },
     {"button move", "button down", "button move held", "button up", "button move", "button down", "button up"},
     BST_UNCHECKED,
     {button_id}},
};

TEST_F(TouchPromotion, TouchesAreTheMouseOfTheirFirstPoint) {
    for (const Case& c : cases) {
        HWND top = make_top();
        HWND box = make_child(top, "BUTTON", "Axes", WS_TABSTOP | BS_AUTOCHECKBOX, 35, 65, 90, 20, box_id);
        HWND button = make_child(top, "BUTTON", "Set Filter", WS_TABSTOP | BS_PUSHBUTTON, 345, 260, 80, 25, button_id);
        received().clear();
        c.script(box, button);
        std::vector<std::string> taken;
        for (const Taken& t : run_script()) {
            const char* window = t.hwnd == box ? "box" : t.hwnd == button ? "button" : "window";
            const char* message = t.message == WM_MOUSEMOVE     ? (t.wparam & MK_LBUTTON ? "move held" : "move")
                                  : t.message == WM_LBUTTONDOWN ? "down"
                                  : t.message == WM_LBUTTONUP   ? "up"
                                                                : nullptr;
            if (message != nullptr) {
                taken.push_back(std::string(window) + " " + message);
            }
        }
        std::vector<int> clicked;
        for (const Received& r : received()) {
            if (r.hwnd == top && r.message == WM_COMMAND && HIWORD(r.wparam) == BN_CLICKED) {
                clicked.push_back(LOWORD(r.wparam));
            }
        }
        EXPECT_EQ(taken, c.taken) << c.name;
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), c.checked) << c.name;
        EXPECT_EQ(clicked, c.clicked) << c.name;
        EXPECT_EQ(GetCapture(), nullptr) << c.name;
        DestroyWindow(top);
    }
}

}  // namespace
