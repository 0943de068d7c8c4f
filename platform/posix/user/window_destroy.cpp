// DestroyWindow: WM_DESTROY to the window, then to each child in creation
// order (depth first); then WM_NCDESTROY to each child, the window last.
// The handles die only after every message has been sent.
#include <algorithm>

#include "platform/posix/user/surface.h"
#include "platform/posix/user/window.h"

namespace user {

namespace {

void send_destroy(HWND hwnd) {
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    Window* window = peek_window(hwnd);
    if (window == nullptr) {
        return;
    }
    std::vector<HWND> children = window->children;
    for (HWND child : children) {
        Window* c = peek_window(child);
        if (c != nullptr && !c->destroying) {
            c->destroying = true;
            send_destroy(child);
        }
    }
}

// WM_NCDESTROY to the descendants first, then the window; then the handle
// and everything kept for it go.
void send_final(HWND hwnd) {
    Window* window = peek_window(hwnd);
    if (window == nullptr) {
        return;
    }
    std::vector<HWND> children = window->children;
    for (HWND child : children) {
        send_final(child);
    }
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    window = peek_window(hwnd);
    if (window == nullptr) {
        return;
    }
    if (window->parent != nullptr) {
        Window* parent = peek_window(window->parent);
        if (parent != nullptr) {
            auto& list = parent->children;
            list.erase(std::remove(list.begin(), list.end(), hwnd), list.end());
        }
    }
    destroy_surface(window);
    window->cls->windows--;
    forget_messages(hwnd);
    forget_focus_of(hwnd);
    free_window(hwnd);
}

}  // namespace

}  // namespace user

BOOL WINAPI DestroyWindow(HWND hWnd) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    if (window->destroying) {
        return TRUE;
    }
    window->destroying = true;
    // Windows this one owns go first.
    if (window->parent == nullptr) {
        std::vector<HWND> tops = user::top_level_windows();
        for (HWND other : tops) {
            user::Window* w = user::peek_window(other);
            if (w != nullptr && w->owner == hWnd && !w->destroying) {
                DestroyWindow(other);
            }
        }
    }
    if (GetCapture() == hWnd || IsChild(hWnd, GetCapture())) {
        ReleaseCapture();
    }
    // Hiding deactivates an active window first, which then loses the
    // focus: WM_ACTIVATE before WM_KILLFOCUS, as on the platform.
    window = user::peek_window(hWnd);
    if (window != nullptr && (window->style & WS_VISIBLE)) {
        user::show(hWnd, false, false, false);
    }
    window = user::peek_window(hWnd);
    if (window == nullptr) {
        return TRUE;
    }
    HWND focus = GetFocus();
    if (focus == hWnd || IsChild(hWnd, focus)) {
        SetFocus(window->parent);
    }
    if (user::peek_window(hWnd) == nullptr) {
        return TRUE;
    }
    user::send_destroy(hWnd);
    user::send_final(hWnd);
    return TRUE;
}
