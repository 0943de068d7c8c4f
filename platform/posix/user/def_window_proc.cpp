// DefWindowProcA: what a window does with a message its procedure leaves.
#include "platform/posix/user/surface.h"
#include "platform/posix/user/window.h"

namespace user {

namespace {

LRESULT erase_background(HWND hwnd, HDC dc) {
    Window* window = peek_window(hwnd);
    if (window == nullptr || dc == nullptr) {
        return 0;
    }
    // FillRect reads a system colour + 1 as that colour's brush.
    HBRUSH brush = window->cls->wc.hbrBackground;
    if (brush == nullptr) {
        return 0;
    }
    RECT client;
    GetClientRect(hwnd, &client);
    return FillRect(dc, &client, brush) ? 1 : 0;
}

LRESULT set_text(HWND hwnd, LPCSTR text) {
    Window* window = peek_window(hwnd);
    if (window == nullptr) {
        return FALSE;
    }
    window->text = text != nullptr ? text : "";
    if (window->parent == nullptr) {
        set_surface_title(window);
    }
    return TRUE;
}

LRESULT get_text(HWND hwnd, WPARAM size, LPSTR buffer) {
    Window* window = peek_window(hwnd);
    if (window == nullptr || buffer == nullptr || size == 0) {
        return 0;
    }
    size_t n = window->text.size();
    if (n > size - 1) {
        n = size - 1;
    }
    memcpy(buffer, window->text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

}  // namespace

}  // namespace user

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (user::find_window(hWnd) == nullptr) {
        return 0;
    }
    switch (Msg) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(hWnd);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                SendMessageA(hWnd, WM_CLOSE, 0, 0);
            }
            return 0;
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (lParam & (LPARAM(1) << 29))) {
                PostMessageA(GetAncestor(hWnd, GA_ROOT), WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return 0;
        case WM_ERASEBKGND:
            return user::erase_background(hWnd, reinterpret_cast<HDC>(wParam));
        case WM_PAINT: {
            PAINTSTRUCT ps;
            if (BeginPaint(hWnd, &ps) != nullptr) {
                EndPaint(hWnd, &ps);
            }
            return 0;
        }
        case WM_SETTEXT:
            return user::set_text(hWnd, reinterpret_cast<LPCSTR>(lParam));
        case WM_GETTEXT:
            return user::get_text(hWnd, wParam, reinterpret_cast<LPSTR>(lParam));
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(user::peek_window(hWnd)->text.size());
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) {
                SetFocus(hWnd);
            }
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_ACTIVATE;
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSTATIC: {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        default:
            // WM_SETFONT and WM_GETFONT among them: a plain window keeps no font.
            return 0;
    }
}
