// Placeholder painting entry points so the window layer links; replaced by
// the real GDI subset.
#include "platform/posix/user/dc.h"
#include "platform/posix/user/look.h"

HGDIOBJ WINAPI GetStockObject(int) {
    return nullptr;
}
HGDIOBJ WINAPI SelectObject(HDC, HGDIOBJ) {
    return nullptr;
}
BOOL WINAPI DeleteObject(HGDIOBJ) {
    return FALSE;
}
DWORD WINAPI GetSysColor(int) {
    return 0xC0C0C0;
}
HBRUSH WINAPI GetSysColorBrush(int) {
    return nullptr;
}
HBRUSH WINAPI CreateSolidBrush(COLORREF) {
    return nullptr;
}
int WINAPI FillRect(HDC, const RECT*, HBRUSH) {
    return 0;
}
BOOL WINAPI DrawEdge(HDC, LPRECT, UINT, UINT) {
    return FALSE;
}
BOOL WINAPI DrawFocusRect(HDC, const RECT*) {
    return FALSE;
}
int WINAPI DrawTextA(HDC, LPCSTR, int, LPRECT, UINT) {
    return 0;
}
BOOL WINAPI TextOutA(HDC, int, int, LPCSTR, int) {
    return FALSE;
}
BOOL WINAPI GetTextExtentPoint32A(HDC, LPCSTR, int, LPSIZE) {
    return FALSE;
}
BOOL WINAPI GetTextMetricsA(HDC, LPTEXTMETRICA) {
    return FALSE;
}
COLORREF WINAPI SetTextColor(HDC, COLORREF) {
    return 0;
}
COLORREF WINAPI SetBkColor(HDC, COLORREF) {
    return 0;
}
int WINAPI SetBkMode(HDC, int) {
    return 0;
}
COLORREF WINAPI SetPixel(HDC, int, int, COLORREF) {
    return 0;
}
BOOL WINAPI MoveToEx(HDC, int, int, LPPOINT) {
    return FALSE;
}
BOOL WINAPI LineTo(HDC, int, int) {
    return FALSE;
}
HPEN WINAPI CreatePen(int, int, COLORREF) {
    return nullptr;
}

namespace user {
HDC create_dc(PixelBuffer*, int, int, const RECT&) {
    return nullptr;
}
void delete_dc(HDC) {}
RECT dc_drawn_area(HDC) {
    return RECT{0, 0, 0, 0};
}
}  // namespace user

namespace user::look {
void draw_push_button(HDC, const RECT&, const char*, unsigned) {}
void draw_checkbox(HDC, const RECT&, const char*, unsigned) {}
void draw_group_box(HDC, const RECT&, const char*, unsigned) {}
void draw_static_text(HDC, const RECT&, const char*, DWORD, unsigned) {}
}  // namespace user::look
