// Input from the display becomes queued messages: mouse messages for the
// deepest visible window under the pointer (or the capture), key messages
// for the focus window; nothing for a disabled window or one whose
// top-level window is disabled. TranslateMessage lives here because it
// reads the characters the keys typed.
#include <stdlib.h>

#include "platform/posix/user/desktop.h"
#include "platform/posix/user/surface.h"

namespace user {

namespace {

constexpr uint32_t double_click_ms = 500;
constexpr int double_click_slop = 4;

bool top_level_enabled(Window* window) {
    Window* top = top_level_of(window);
    return top != nullptr && !(top->style & WS_DISABLED);
}

// Deepest visible child under the screen point; group boxes and statics
// answer HTTRANSPARENT and let the point through to what lies beneath.
HWND hit_test(HWND hwnd, POINT screen) {
    for (;;) {
        Window* window = peek_window(hwnd);
        if (window == nullptr || (window->style & WS_DISABLED)) {
            return hwnd;
        }
        POINT origin = client_origin_on_screen(window);
        int x = screen.x - origin.x;
        int y = screen.y - origin.y;
        HWND found = nullptr;
        std::vector<HWND> children = window->children;
        for (HWND child : children) {
            Window* c = peek_window(child);
            if (c == nullptr || !(c->style & WS_VISIBLE) || !rect_contains(c->rect, x, y)) {
                continue;
            }
            if (!(c->style & WS_DISABLED) &&
                SendMessageA(child, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)) == HTTRANSPARENT) {
                continue;
            }
            found = child;
            break;
        }
        if (found == nullptr) {
            return hwnd;
        }
        hwnd = found;
    }
}

WPARAM mouse_key_flags() {
    WPARAM flags = 0;
    if (async_key_down(VK_LBUTTON)) {
        flags |= MK_LBUTTON;
    }
    if (async_key_down(VK_RBUTTON)) {
        flags |= MK_RBUTTON;
    }
    if (async_key_down(VK_MBUTTON)) {
        flags |= MK_MBUTTON;
    }
    if (async_key_down(VK_SHIFT)) {
        flags |= MK_SHIFT;
    }
    if (async_key_down(VK_CONTROL)) {
        flags |= MK_CONTROL;
    }
    return flags;
}

void post_mouse(HWND target, UINT message, POINT screen, uint32_t time, int key_vk, bool key_down) {
    Window* window = peek_window(target);
    if (window == nullptr) {
        return;
    }
    POINT origin = client_origin_on_screen(window);
    LPARAM lparam = MAKELPARAM(screen.x - origin.x, screen.y - origin.y);
    post_message(target, message, mouse_key_flags(), lparam, time, key_vk, key_down);
}

HWND mouse_target(POINT screen, HWND top) {
    HWND capture = GetCapture();
    if (capture != nullptr) {
        return capture;
    }
    return hit_test(top, screen);
}

bool accepts_input(HWND hwnd) {
    Window* window = peek_window(hwnd);
    return window != nullptr && !(window->style & WS_DISABLED) && top_level_enabled(window);
}

void mouse_input(const display::Input& input, Window* top) {
    POINT origin = client_origin_on_screen(top);
    POINT screen{origin.x + input.x, origin.y + input.y};
    bool moved = screen.x != desktop().last_pointer.x || screen.y != desktop().last_pointer.y;
    desktop().last_pointer = screen;
    set_cursor_position(screen);
    if (input.kind == display::InputKind::MouseMove || moved) {
        HWND target = mouse_target(screen, top->handle);
        if (accepts_input(target)) {
            post_mouse(target, WM_MOUSEMOVE, screen, input.time, 0, false);
        }
        if (input.kind == display::InputKind::MouseMove) {
            return;
        }
    }
    int vk = input.button == display::ButtonRight    ? VK_RBUTTON
             : input.button == display::ButtonMiddle ? VK_MBUTTON
                                                     : VK_LBUTTON;
    bool down = input.kind == display::InputKind::ButtonDown;
    HWND target = mouse_target(screen, top->handle);
    if (down && GetCapture() == nullptr && accepts_input(top->handle) && active_window() != top->handle) {
        SetActiveWindow(top->handle);
    }
    set_async_key(vk, down);
    if (!accepts_input(target)) {
        return;
    }
    UINT message;
    if (down) {
        message = vk == VK_RBUTTON ? WM_RBUTTONDOWN : vk == VK_MBUTTON ? WM_MBUTTONDOWN : WM_LBUTTONDOWN;
        Window* window = peek_window(target);
        const LastClick& last = desktop().last_click;
        bool is_double = input.time != 0 && last.hwnd == target && last.button == vk &&
                         input.time - last.time <= double_click_ms && abs(screen.x - last.at.x) <= double_click_slop &&
                         abs(screen.y - last.at.y) <= double_click_slop && (window->cls->wc.style & CS_DBLCLKS);
        if (is_double && vk != VK_MBUTTON) {
            message = vk == VK_RBUTTON ? WM_RBUTTONDBLCLK : WM_LBUTTONDBLCLK;
            desktop().last_click = LastClick{};
        } else {
            desktop().last_click = LastClick{target, vk, input.time, screen};
        }
    } else {
        message = vk == VK_RBUTTON ? WM_RBUTTONUP : vk == VK_MBUTTON ? WM_MBUTTONUP : WM_LBUTTONUP;
    }
    post_mouse(target, message, screen, input.time, vk, down);
}

void key_input(const display::Input& input) {
    int vk = input.vk & 0xff;
    bool down = input.kind == display::InputKind::KeyDown;
    bool was_down = async_key_down(vk);
    set_async_key(vk, down);
    if (down) {
        desktop().typed[vk] = input.text;
    }
    HWND focus = GetFocus();
    HWND target = focus != nullptr ? focus : active_window();
    if (target == nullptr || !accepts_input(target)) {
        return;
    }
    bool alt = async_key_down(VK_MENU) || (vk == VK_MENU && !down);
    bool ctrl = async_key_down(VK_CONTROL);
    // With no focus window the active window gets the keys as system keys.
    bool system = (alt && !ctrl) || vk == VK_F10 || focus == nullptr;
    UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    LPARAM lparam = 1;
    if (alt) {
        lparam |= LPARAM(1) << 29;
    }
    if (was_down) {
        lparam |= LPARAM(1) << 30;
    }
    if (!down) {
        lparam |= (LPARAM(1) << 30) | (LPARAM(1) << 31);
    }
    post_message(target, message, static_cast<WPARAM>(vk), lparam, input.time, vk, down);
}

// The character a key types when the display did not say.
char character_of(int vk) {
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl) {
            return static_cast<char>(vk - 'A' + 1);
        }
        return static_cast<char>(shift ? vk : vk - 'A' + 'a');
    }
    if (vk >= '0' && vk <= '9') {
        return shift ? ")!@#$%^&*("[vk - '0'] : static_cast<char>(vk);
    }
    switch (vk) {
        case VK_SPACE:
            return ' ';
        case VK_RETURN:
            return '\r';
        case VK_TAB:
            return '\t';
        case VK_ESCAPE:
            return '\x1b';
        case VK_BACK:
            return '\b';
        default:
            return 0;
    }
}

}  // namespace

void queue_input(const display::Input& input) {
    Window* top = peek_window(reinterpret_cast<HWND>(input.surface));
    switch (input.kind) {
        case display::InputKind::MouseMove:
        case display::InputKind::ButtonDown:
        case display::InputKind::ButtonUp:
            if (top != nullptr && top->parent == nullptr) {
                mouse_input(input, top);
            }
            break;
        case display::InputKind::KeyDown:
        case display::InputKind::KeyUp:
            key_input(input);
            break;
        case display::InputKind::CloseRequest:
            if (top != nullptr && top->parent == nullptr && !(top->style & WS_DISABLED)) {
                post_message(top->handle, WM_SYSCOMMAND, SC_CLOSE, 0, input.time);
            }
            break;
        case display::InputKind::Expose:
            if (top != nullptr && top->parent == nullptr) {
                RECT area{input.x, input.y, input.x + input.width, input.y + input.height};
                show_drawn(top, area);
            }
            break;
        case display::InputKind::FocusIn:
            if (top != nullptr && top->parent == nullptr && !(top->style & WS_DISABLED) && (top->style & WS_VISIBLE) &&
                active_window() != top->handle) {
                SetActiveWindow(top->handle);
            }
            break;
        case display::InputKind::Moved:
            if (top != nullptr && top->parent == nullptr) {
                moved_by_display(top, input.x, input.y);
            }
            break;
        case display::InputKind::Rescaled:
            if (top != nullptr && top->parent == nullptr) {
                rescaled_by_display(top);
            }
            break;
        case display::InputKind::FocusOut:
        case display::InputKind::None:
            break;
    }
}

}  // namespace user

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (lpMsg == nullptr) {
        return FALSE;
    }
    UINT message = lpMsg->message;
    if (message != WM_KEYDOWN && message != WM_SYSKEYDOWN) {
        return message == WM_KEYUP || message == WM_SYSKEYUP;
    }
    int vk = static_cast<int>(lpMsg->wParam & 0xff);
    char c = user::desktop().typed[vk] != 0 ? user::desktop().typed[vk] : user::character_of(vk);
    if (c != 0) {
        user::post_message(lpMsg->hwnd, message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR,
                           static_cast<WPARAM>(static_cast<unsigned char>(c)), lpMsg->lParam);
    }
    return TRUE;
}
