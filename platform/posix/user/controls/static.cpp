// The STATIC class: left, centred or right-aligned text, transparent to
// the mouse unless SS_NOTIFY asks for clicks.
#include "platform/posix/user/controls/look.h"
#include "platform/posix/user/window.h"

namespace user {

namespace {

constexpr int font_offset = 0;

void paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc == nullptr) {
        return;
    }
    RECT client;
    GetClientRect(hwnd, &client);
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(GetWindowLongPtrA(hwnd, font_offset));
    HGDIOBJ old_font = font != nullptr ? SelectObject(dc, font) : nullptr;
    char text[1024];
    GetWindowTextA(hwnd, text, sizeof text);
    look::draw_static_text(dc, client, text, style, (style & WS_DISABLED) ? unsigned(look::Disabled) : 0u, brush);
    if (old_font != nullptr) {
        SelectObject(dc, old_font);
    }
    EndPaint(hwnd, &ps);
}

}  // namespace

namespace {

LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_NCHITTEST:
            if (GetWindowLongA(hwnd, GWL_STYLE) & SS_NOTIFY) {
                return HTCLIENT;
            }
            return HTTRANSPARENT;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            paint(hwnd);
            return 0;
        case WM_SETFONT:
            SetWindowLongPtrA(hwnd, font_offset, static_cast<LONG_PTR>(wparam));
            if (LOWORD(lparam)) {
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            return 0;
        case WM_GETFONT:
            return GetWindowLongPtrA(hwnd, font_offset);
        case WM_SETTEXT: {
            LRESULT result = DefWindowProcA(hwnd, message, wparam, lparam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return result;
        }
        case WM_ENABLE:
            InvalidateRect(hwnd, nullptr, TRUE);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

}  // namespace

WNDCLASSA static_class() {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = sizeof(LONG_PTR);  // the font
    wc.lpszClassName = "Static";
    return wc;
}

}  // namespace user
