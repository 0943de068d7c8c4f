// Shared by the window layer's tests: a class whose procedure records every
// message it gets, a fixture on the headless display, and a message loop
// that records what it takes from the queue.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/posix/user/desktop.h"
#include "platform/posix/user/surface.h"
#include "platform/win32.h"
#include "support/player.h"

namespace user_test {

struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};

inline std::vector<Received>& received() {
    static std::vector<Received> list;
    return list;
}

// Runs before DefWindowProcA for the recording class; returns true when it
// handled the message itself.
inline std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>& hook() {
    static std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> h;
    return h;
}

inline LRESULT CALLBACK recording_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    received().push_back(Received{hwnd, message, wparam, lparam});
    LRESULT result = 0;
    if (hook() && hook()(hwnd, message, wparam, lparam, &result)) {
        return result;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

constexpr const char* recorder_class = "UserTestRecorder";
constexpr DWORD tool_style = 0x10C80000;  // visible, caption, system menu

inline void register_recorder() {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = recording_procedure;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
    wc.lpszClassName = recorder_class;
    RegisterClassA(&wc);  // already there after the first test
}

// Subclasses a button so that its messages are recorded too.
inline WNDPROC& original_button() {
    static WNDPROC original = nullptr;
    return original;
}

inline LRESULT CALLBACK recording_button(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    received().push_back(Received{hwnd, message, wparam, lparam});
    return CallWindowProcA(original_button(), hwnd, message, wparam, lparam);
}

inline void record_button(HWND button) {
    original_button() = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recording_button)));
}

inline HWND make_top(const char* title = "Test window", DWORD style = tool_style) {
    return CreateWindowExA(0, recorder_class, title, style, 422, 492, 546, 325, nullptr, nullptr, nullptr, nullptr);
}

inline HWND make_child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
                       int id) {
    return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

inline BOOL CALLBACK destroy_each(HWND hwnd, LPARAM) {
    DestroyWindow(hwnd);
    return TRUE;
}

// Messages of one window, in the order it got them, limited to a set.
inline std::vector<UINT> messages_of(HWND hwnd, const std::vector<UINT>& wanted) {
    std::vector<UINT> out;
    for (const Received& r : received()) {
        if (r.hwnd != hwnd) {
            continue;
        }
        for (UINT w : wanted) {
            if (r.message == w) {
                out.push_back(r.message);
            }
        }
    }
    return out;
}

struct Taken {
    HWND hwnd;
    UINT message;
    WPARAM wparam;
};

// Takes, translates and dispatches messages until the script is used up
// and nothing is left, paint included; returns what was taken (paint
// aside). Input that no window accepts leaves nothing to wait for, so the
// player is asked directly rather than through a blocking GetMessageA.
inline std::vector<Taken> run_script(HACCEL accelerators = nullptr) {
    std::vector<Taken> taken;
    MSG msg;
    for (;;) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (player::steps_left() == 0) {
                break;
            }
            display::Input input;
            user::next_display_input(&input);
            user::queue_input(input);
            continue;
        }
        if (msg.message == WM_QUIT) {
            break;
        }
        if (msg.message != WM_PAINT) {
            taken.push_back(Taken{msg.hwnd, msg.message, msg.wParam});
        }
        if (accelerators != nullptr && TranslateAcceleratorA(GetActiveWindow(), accelerators, &msg)) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return taken;
}

class UserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        player::install();
        player::clear_script();
        register_recorder();
        received().clear();
        hook() = nullptr;
        run_script();  // nothing from an earlier test is left to paint
        received().clear();
    }
    // The hook may hold what the test body held, so it goes first.
    void TearDown() override {
        hook() = nullptr;
        user::drop_desktop();
    }
};

}  // namespace user_test
