// Window longs and window text.
#include "platform/posix/user/window.h"

namespace user {

namespace {

bool extra_slot(Window* window, int index, size_t size) {
    return index >= 0 && static_cast<size_t>(index) + size <= window->extra.size();
}

LONG_PTR get_long(HWND hwnd, int index, size_t size) {
    Window* window = find_window(hwnd);
    if (window == nullptr) {
        return 0;
    }
    switch (index) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(window->proc);
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(window->instance);
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(window->parent != nullptr ? window->parent : window->owner);
        case GWLP_ID:
            return window->id;
        case GWL_STYLE:
            return static_cast<LONG>(window->style);
        case GWL_EXSTYLE:
            return static_cast<LONG>(window->ex_style);
        case GWLP_USERDATA:
            return window->user_data;
        default:
            if (extra_slot(window, index, size)) {
                if (size == sizeof(LONG)) {
                    LONG value;
                    memcpy(&value, &window->extra[index], sizeof value);
                    return value;
                }
                LONG_PTR value;
                memcpy(&value, &window->extra[index], sizeof value);
                return value;
            }
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
}

// The class's extra bytes at index, size wide.
LONG_PTR set_extra(Window* window, int index, LONG_PTR value, size_t size) {
    if (!extra_slot(window, index, size)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    LONG_PTR old = get_long(window->handle, index, size);
    if (size == sizeof(LONG)) {
        LONG v = static_cast<LONG>(value);
        memcpy(&window->extra[index], &v, sizeof v);
    } else {
        memcpy(&window->extra[index], &value, sizeof value);
    }
    return old;
}

LONG_PTR set_long(HWND hwnd, int index, LONG_PTR value, size_t size) {
    Window* window = find_window(hwnd);
    if (window == nullptr) {
        return 0;
    }
    LONG_PTR old = 0;
    switch (index) {
        case GWLP_WNDPROC:
            old = reinterpret_cast<LONG_PTR>(window->proc);
            if (value == 0) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            window->proc = reinterpret_cast<WNDPROC>(value);
            return old;
        case GWLP_HINSTANCE:
            old = reinterpret_cast<LONG_PTR>(window->instance);
            window->instance = reinterpret_cast<HINSTANCE>(value);
            return old;
        case GWLP_HWNDPARENT: {
            if (window->parent != nullptr) {
                // Re-parenting a child is not part of this subset.
                SetLastError(ERROR_INVALID_INDEX);
                return 0;
            }
            old = reinterpret_cast<LONG_PTR>(window->owner);
            Window* owner = value != 0 ? peek_window(reinterpret_cast<HWND>(value)) : nullptr;
            window->owner = owner != nullptr ? top_level_of(owner)->handle : nullptr;
            return old;
        }
        case GWLP_ID:
            old = window->id;
            window->id = value;
            return old;
        case GWL_STYLE:
            old = static_cast<LONG>(window->style);
            // Visibility and enabling change only through their calls'
            // messages; the bits themselves follow the caller.
            window->style = static_cast<DWORD>(value);
            return old;
        case GWL_EXSTYLE:
            old = static_cast<LONG>(window->ex_style);
            window->ex_style = static_cast<DWORD>(value);
            return old;
        case GWLP_USERDATA:
            old = window->user_data;
            window->user_data = value;
            return old;
        default:
            return set_extra(window, index, value, size);
    }
}

}  // namespace

}  // namespace user

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex) {
    return user::get_long(hWnd, nIndex, sizeof(LONG_PTR));
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    return user::set_long(hWnd, nIndex, dwNewLong, sizeof(LONG_PTR));
}

LONG WINAPI GetWindowLongA(HWND hWnd, int nIndex) {
    return static_cast<LONG>(user::get_long(hWnd, nIndex, sizeof(LONG)));
}

LONG WINAPI SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong) {
    return static_cast<LONG>(user::set_long(hWnd, nIndex, dwNewLong, sizeof(LONG)));
}

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
    if (user::find_window(hWnd) == nullptr) {
        return FALSE;
    }
    return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != 0;
}

int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
    if (lpString != nullptr && nMaxCount > 0) {
        lpString[0] = '\0';
    }
    if (user::find_window(hWnd) == nullptr || lpString == nullptr || nMaxCount <= 0) {
        return 0;
    }
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, nMaxCount, reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
    if (user::find_window(hWnd) == nullptr) {
        return 0;
    }
    return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}
