// Window handles, from the layer's one handle table: a handle of a
// destroyed window, or a value that was never a handle, finds nothing.
#include <algorithm>

#include "platform/posix/kernel/handles.h"
#include "platform/posix/user/desktop.h"

namespace user {

Window* peek_window(HWND hwnd) {
    return static_cast<Window*>(kernel::peek_handle(hwnd, kernel::HandleKind::Window));
}

Window* find_window(HWND hwnd) {
    Window* window = peek_window(hwnd);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    }
    return window;
}

HWND add_window(std::unique_ptr<Window> window) {
    HWND hwnd = static_cast<HWND>(kernel::insert_handle(kernel::HandleKind::Window, window.get()));
    if (hwnd == nullptr) {
        return nullptr;
    }
    window->handle = hwnd;
    window.release();
    return hwnd;
}

void free_window(HWND hwnd) {
    delete static_cast<Window*>(kernel::remove_handle(hwnd, kernel::HandleKind::Window));
    auto& tops = top_level_windows();
    tops.erase(std::remove(tops.begin(), tops.end(), hwnd), tops.end());
}

std::vector<HWND>& top_level_windows() {
    return desktop().top_level;
}

void bring_to_top(HWND hwnd) {
    auto& tops = top_level_windows();
    auto it = std::find(tops.begin(), tops.end(), hwnd);
    if (it != tops.end()) {
        tops.erase(it);
        tops.insert(tops.begin(), hwnd);
    }
}

RECT rect_intersection(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (rect_empty(r)) {
        return RECT{0, 0, 0, 0};
    }
    return r;
}

RECT rect_union(const RECT& a, const RECT& b) {
    if (rect_empty(a)) {
        return b;
    }
    if (rect_empty(b)) {
        return a;
    }
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

}  // namespace user

// A window stays a window until its WM_NCDESTROY has been handled.
BOOL WINAPI IsWindow(HWND hWnd) {
    return user::find_window(hWnd) != nullptr;
}
