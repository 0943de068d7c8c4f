// Window position and size: ShowWindow, MoveWindow and the WM_SHOWWINDOW,
// WM_SIZE and WM_MOVE they send; a top-level window following the moves
// and scale changes its display reports.
#include "platform/posix/user/surface.h"
#include "platform/posix/user/window.h"

namespace user {

void set_window_rect(Window* window, int x, int y, int width, int height) {
    Insets insets = nonclient_insets(window->style, window->ex_style);
    window->rect = RECT{x, y, x + (width < 0 ? 0 : width), y + (height < 0 ? 0 : height)};
    window->client = RECT{window->rect.left + insets.left, window->rect.top + insets.top,
                          window->rect.right - insets.right, window->rect.bottom - insets.bottom};
    if (window->client.right < window->client.left) {
        window->client.right = window->client.left;
    }
    if (window->client.bottom < window->client.top) {
        window->client.bottom = window->client.top;
    }
}

void send_size_and_move(HWND hwnd) {
    Window* window = peek_window(hwnd);
    if (window == nullptr || window->size_move_sent) {
        return;
    }
    window->size_move_sent = true;
    int width = window->client.right - window->client.left;
    int height = window->client.bottom - window->client.top;
    SendMessageA(hwnd, WM_SIZE, 0, MAKELPARAM(width, height));
    window = peek_window(hwnd);
    if (window == nullptr) {
        return;
    }
    // WM_MOVE carries the client origin: on the screen for a top-level
    // window, in the parent's client area for a child.
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(window->client.left, window->client.top));
}

void moved_by_display(Window* top, int x, int y) {
    int dx = x - top->client.left, dy = y - top->client.top;
    if (dx == 0 && dy == 0) {
        return;
    }
    top->rect = RECT{top->rect.left + dx, top->rect.top + dy, top->rect.right + dx, top->rect.bottom + dy};
    top->client = RECT{x, y, top->client.right + dx, top->client.bottom + dy};
    SendMessageA(top->handle, WM_MOVE, 0, MAKELPARAM(x, y));
}

void rescaled_by_display(Window* top) {
    if (!top->surface) {
        return;
    }
    resize_buffer(top);
    move_surface(top);
    invalidate_tree(top);
}

void show(HWND hwnd, bool visible, bool activate, bool notify) {
    Window* window = peek_window(hwnd);
    if (window == nullptr) {
        return;
    }
    bool was_visible = (window->style & WS_VISIBLE) != 0;
    if (visible == was_visible) {
        if (visible && activate && window->parent == nullptr && !(window->style & WS_DISABLED)) {
            SetActiveWindow(hwnd);
        }
        return;
    }
    if (notify) {
        SendMessageA(hwnd, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
        window = peek_window(hwnd);
        if (window == nullptr) {
            return;
        }
    }
    if (visible) {
        window->style |= WS_VISIBLE;
        if (window->parent == nullptr) {
            show_surface(window, true);
        }
        invalidate(hwnd, nullptr, true);
        if (window->parent == nullptr && activate && !(window->style & WS_DISABLED)) {
            SetActiveWindow(hwnd);
        }
        send_size_and_move(hwnd);
    } else {
        HWND parent = window->parent;
        RECT covered = window->rect;
        window->style &= ~WS_VISIBLE;
        window->invalid = RECT{0, 0, 0, 0};
        if (parent == nullptr) {
            show_surface(window, false);
            if (active_window() == hwnd) {
                activate_other_than(hwnd);
            }
        } else {
            HWND focus = GetFocus();
            if (focus == hwnd || IsChild(hwnd, focus)) {
                SetFocus(parent);
            }
            invalidate(parent, &covered, true);
        }
    }
}

}  // namespace user

namespace {

// A maximised window covers the screen with its sizing border just past the
// screen's edges on every side, so the caption stays on screen.
RECT maximized_rect(const user::Window* window) {
    int width = 0;
    int height = 0;
    user::screen_size(&width, &height);
    const user::Insets insets = user::nonclient_insets(window->style, window->ex_style);
    const int frame = insets.left;
    return RECT{-frame, -frame, width + frame, height + frame};
}

void place(HWND hwnd, const RECT& r) {
    MoveWindow(hwnd, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void maximize(HWND hwnd, user::Window* window) {
    if (window->parent != nullptr || window->maximized) {
        return;
    }
    const RECT restored = window->rect;
    place(hwnd, maximized_rect(window));
    window = user::peek_window(hwnd);
    if (window == nullptr) {
        return;
    }
    window->style |= WS_MAXIMIZE;
    window->maximized = true;
    window->restored = restored;
}

void restore(HWND hwnd, user::Window* window) {
    if (!window->maximized) {
        return;
    }
    place(hwnd, window->restored);
}

}  // namespace

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    BOOL was_visible = (window->style & WS_VISIBLE) != 0;
    switch (nCmdShow) {
        case SW_HIDE:
            user::show(hWnd, false, false);
            break;
        case SW_SHOWMAXIMIZED:
            maximize(hWnd, window);
            user::show(hWnd, true, true);
            break;
        case SW_SHOWNORMAL:
        case SW_RESTORE:
            restore(hWnd, window);
            user::show(hWnd, true, true);
            break;
        case SW_SHOWNOACTIVATE:
        case SW_SHOWNA:
        case SW_SHOWMINNOACTIVE:
            user::show(hWnd, true, false);
            break;
        default:
            user::show(hWnd, true, true);
            break;
    }
    return was_visible;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    // Any move or size ends the maximised state.
    window->maximized = false;
    window->style &= ~WS_MAXIMIZE;
    RECT old_rect = window->rect;
    bool was_visible = user::is_visible(window);
    user::set_window_rect(window, X, Y, nWidth, nHeight);
    if (window->parent == nullptr) {
        user::resize_buffer(window);
        user::move_surface(window);
    } else if (was_visible && bRepaint) {
        // The parent shows again what the child covered.
        RECT uncovered = old_rect;
        user::invalidate(window->parent, &uncovered, true);
    }
    if (bRepaint || window->parent == nullptr) {
        user::invalidate(hWnd, nullptr, true);
    }
    window->size_move_sent = false;
    user::send_size_and_move(hWnd);
    return TRUE;
}
