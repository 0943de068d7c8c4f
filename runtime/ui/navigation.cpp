// Keyboard navigation for plain top-level windows, which get no dialog
// key handling from the platform.
#include "runtime/ui/navigation.h"

#include "platform/win32.h"

namespace {

HWND start_window;
bool found;
bool done;
HWND previous_control;

bool is_eligible(HWND window) {
    return IsWindowEnabled(window) && IsWindowVisible(window) &&
           (static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & WS_TABSTOP) != 0;
}

HWND focused_control(HWND active) {
    HWND focus = GetFocus();
    return focus != nullptr && IsChild(active, focus) ? focus : nullptr;
}

BOOL CALLBACK next_callback(HWND window, LPARAM) {
    if (!is_eligible(window)) {
        return TRUE;
    }
    if (found) {
        SetFocus(window);
        found = false;
        return FALSE;
    }
    if (start_window == nullptr) {
        SetFocus(window);
        return FALSE;
    }
    if (window == start_window) {
        found = true;
    }
    return TRUE;
}

BOOL CALLBACK previous_callback(HWND window, LPARAM) {
    if (!is_eligible(window)) {
        return TRUE;
    }
    if (window == start_window && previous_control != nullptr) {
        SetFocus(previous_control);
        done = true;
        return FALSE;
    }
    previous_control = window;
    return TRUE;
}

}  // namespace

void focus_next_control() {
    // Without an active window there are no descendants to visit.
    HWND active = GetActiveWindow();
    if (active == nullptr) {
        return;
    }
    found = false;
    start_window = focused_control(active);
    EnumChildWindows(active, next_callback, 0);
    if (found) {
        // The focused control was the last eligible one.
        EnumChildWindows(active, next_callback, 0);
    }
}

void focus_previous_control() {
    HWND active = GetActiveWindow();
    if (active == nullptr) {
        return;
    }
    previous_control = nullptr;
    done = false;
    start_window = focused_control(active);
    EnumChildWindows(active, previous_callback, 0);
    if (!done && previous_control != nullptr) {
        SetFocus(previous_control);
    }
}
