// Where windows lie: client origins, window and client rectangles, and
// mapping points between windows and the screen.
#include "platform/posix/user/window.h"

namespace user {

Window* top_level_of(Window* window) {
    while (window != nullptr && window->parent != nullptr) {
        window = peek_window(window->parent);
    }
    return window;
}

POINT client_origin_on_screen(Window* window) {
    POINT p{0, 0};
    while (window != nullptr) {
        p.x += window->client.left;
        p.y += window->client.top;
        window = window->parent ? peek_window(window->parent) : nullptr;
    }
    return p;
}

POINT client_origin_in_top_level(Window* window) {
    POINT p{0, 0};
    while (window != nullptr && window->parent != nullptr) {
        p.x += window->client.left;
        p.y += window->client.top;
        window = peek_window(window->parent);
    }
    return p;
}

bool is_visible(Window* window) {
    while (window != nullptr) {
        if (!(window->style & WS_VISIBLE)) {
            return false;
        }
        window = window->parent ? peek_window(window->parent) : nullptr;
    }
    return true;
}

}  // namespace user

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr || lpRect == nullptr) {
        return FALSE;
    }
    RECT r = window->rect;
    if (window->parent != nullptr) {
        POINT origin = user::client_origin_on_screen(user::peek_window(window->parent));
        r.left += origin.x;
        r.right += origin.x;
        r.top += origin.y;
        r.bottom += origin.y;
    }
    *lpRect = r;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr || lpRect == nullptr) {
        return FALSE;
    }
    *lpRect = RECT{0, 0, window->client.right - window->client.left, window->client.bottom - window->client.top};
    return TRUE;
}

namespace {

// Moves the point by the window's client origin on the screen, times sign.
BOOL shift_point(HWND hwnd, LPPOINT point, int sign) {
    user::Window* window = user::find_window(hwnd);
    if (window == nullptr || point == nullptr) {
        return FALSE;
    }
    POINT origin = user::client_origin_on_screen(window);
    point->x += sign * origin.x;
    point->y += sign * origin.y;
    return TRUE;
}

}  // namespace

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    return shift_point(hWnd, lpPoint, 1);
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    return shift_point(hWnd, lpPoint, -1);
}
