// Focus, activation and capture. The process is one application on its
// screen, so the active window is also the foreground window.
#include "platform/posix/user/desktop.h"
#include "platform/posix/user/surface.h"

namespace user {

namespace {

bool can_activate(Window* window) {
    return window != nullptr && window->parent == nullptr && (window->style & WS_VISIBLE) &&
           !(window->style & WS_DISABLED) && !window->destroying;
}

bool focus_inside(HWND top) {
    return desktop().focus != nullptr && (desktop().focus == top || IsChild(top, desktop().focus));
}

void change_focus(HWND to) {
    HWND old = desktop().focus;
    if (old == to) {
        return;
    }
    desktop().focus = to;
    if (old != nullptr && peek_window(old) != nullptr) {
        SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(to), 0);
    }
    if (to != nullptr && desktop().focus == to && peek_window(to) != nullptr) {
        SendMessageA(to, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    }
}

HWND change_active(HWND to) {
    HWND old = desktop().active;
    if (old == to) {
        return old;
    }
    desktop().active = to;
    if (to != nullptr) {
        bring_to_top(to);
    }
    if (old != nullptr && peek_window(old) != nullptr) {
        SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(to));
    }
    if (to == nullptr) {
        change_focus(nullptr);
        return old;
    }
    if (desktop().active != to || peek_window(to) == nullptr) {
        return old;
    }
    activate_surface(peek_window(to));
    SendMessageA(to, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
    // A procedure that keeps WM_ACTIVATE from DefWindowProcA still leaves
    // the keyboard inside the window it activated.
    if (desktop().active == to && peek_window(to) != nullptr && !focus_inside(to)) {
        change_focus(to);
    }
    return old;
}

}  // namespace

HWND active_window() {
    return desktop().active;
}

void forget_focus_of(HWND hwnd) {
    if (desktop().focus == hwnd) {
        desktop().focus = nullptr;
    }
    if (desktop().active == hwnd) {
        desktop().active = nullptr;
    }
    if (desktop().capture == hwnd) {
        desktop().capture = nullptr;
    }
}

void activate_other_than(HWND hwnd) {
    Window* window = peek_window(hwnd);
    HWND next = nullptr;
    if (window != nullptr && window->owner != nullptr && can_activate(peek_window(window->owner))) {
        next = window->owner;
    } else {
        for (HWND top : top_level_windows()) {
            if (top != hwnd && can_activate(peek_window(top))) {
                next = top;
                break;
            }
        }
    }
    change_active(next);
}

}  // namespace user

HWND WINAPI GetFocus(void) {
    return user::desktop().focus;
}

HWND WINAPI SetFocus(HWND hWnd) {
    HWND old = user::desktop().focus;
    if (hWnd == nullptr) {
        user::change_focus(nullptr);
        return old;
    }
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return nullptr;
    }
    // A disabled window, or one inside a disabled window, cannot have it.
    for (user::Window* w = window; w != nullptr; w = w->parent ? user::peek_window(w->parent) : nullptr) {
        if (w->style & WS_DISABLED) {
            return nullptr;
        }
    }
    HWND top = user::top_level_of(window)->handle;
    if (user::desktop().active != top) {
        user::change_active(top);
        if (user::desktop().active != top || user::peek_window(hWnd) == nullptr) {
            return nullptr;
        }
        old = user::desktop().focus;
    }
    user::change_focus(hWnd);
    return old;
}

HWND WINAPI GetActiveWindow(void) {
    return user::desktop().active;
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
    if (hWnd == nullptr) {
        return user::change_active(nullptr);
    }
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return nullptr;
    }
    return user::change_active(user::top_level_of(window)->handle);
}

HWND WINAPI GetForegroundWindow(void) {
    return user::desktop().active;
}

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    user::change_active(user::top_level_of(window)->handle);
    return TRUE;
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    BOOL was_disabled = (window->style & WS_DISABLED) != 0;
    if (bEnable && was_disabled) {
        window->style &= ~WS_DISABLED;
        if (window->parent == nullptr) {
            user::follow_owner_enabled(window);
        }
        SendMessageA(hWnd, WM_ENABLE, TRUE, 0);
    } else if (!bEnable && !was_disabled) {
        window->style |= WS_DISABLED;
        if (window->parent == nullptr) {
            user::follow_owner_enabled(window);
        }
        // Only the window itself loses the focus; a control inside keeps it
        // until another window is activated, as on the platform.
        if (user::desktop().focus == hWnd) {
            SetFocus(nullptr);
        }
        if (user::desktop().capture == hWnd || IsChild(hWnd, user::desktop().capture)) {
            ReleaseCapture();
        }
        SendMessageA(hWnd, WM_ENABLE, FALSE, 0);
    }
    return was_disabled;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    user::Window* window = user::find_window(hWnd);
    return window != nullptr && !(window->style & WS_DISABLED);
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    user::Window* window = user::find_window(hWnd);
    return window != nullptr && user::is_visible(window);
}

HWND WINAPI GetCapture(void) {
    return user::desktop().capture;
}

HWND WINAPI SetCapture(HWND hWnd) {
    HWND old = user::desktop().capture;
    if (hWnd != nullptr && user::find_window(hWnd) == nullptr) {
        return nullptr;
    }
    user::desktop().capture = hWnd;
    if (old != nullptr && old != hWnd && user::peek_window(old) != nullptr) {
        SendMessageA(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    }
    return old;
}

BOOL WINAPI ReleaseCapture(void) {
    HWND old = user::desktop().capture;
    user::desktop().capture = nullptr;
    if (old != nullptr && user::peek_window(old) != nullptr) {
        SendMessageA(old, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}
