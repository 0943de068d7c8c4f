// The classic system colours, as the reference platform's default scheme
// paints them.
#include "platform/win32.h"

namespace {

// Index 25, the alternate button face, has no name in the platform's
// headers.
constexpr int alternate_face = 25;

COLORREF grey(int level) {
    return RGB(level, level, level);
}

}  // namespace

DWORD WINAPI GetSysColor(int nIndex) {
    switch (nIndex) {
        case COLOR_SCROLLBAR:
            return grey(0xC8);
        case COLOR_BACKGROUND:
            return RGB(0x3A, 0x6E, 0xA5);
        case COLOR_ACTIVECAPTION:
            return RGB(0x0A, 0x24, 0x6A);
        case COLOR_INACTIVECAPTION:
            return grey(0x80);
        case COLOR_MENU:
            return grey(0xF5);
        case COLOR_WINDOW:
            return grey(0xFF);
        case COLOR_WINDOWFRAME:
            return grey(0x9E);
        case COLOR_MENUTEXT:
        case COLOR_WINDOWTEXT:
        case COLOR_BTNTEXT:
            return grey(0x00);
        case COLOR_CAPTIONTEXT:
            return grey(0xFF);
        case COLOR_ACTIVEBORDER:
        case COLOR_INACTIVEBORDER:
        case COLOR_BTNFACE:
        case alternate_face:
            return grey(0xF5);
        case COLOR_APPWORKSPACE:
            return grey(0x80);
        case COLOR_HIGHLIGHT:
            return RGB(0x0A, 0x24, 0x6A);
        case COLOR_HIGHLIGHTTEXT:
            return grey(0xFF);
        case COLOR_BTNSHADOW:
            return grey(0xA6);
        case COLOR_GRAYTEXT:
            return grey(0xA6);
        case COLOR_INACTIVECAPTIONTEXT:
            return grey(0xD4);
        case COLOR_BTNHIGHLIGHT:
            return grey(0xFF);
        case COLOR_3DDKSHADOW:
            return grey(0x6A);
        case COLOR_3DLIGHT:
            return grey(0xE3);
        case COLOR_INFOTEXT:
            return grey(0x00);
        case COLOR_INFOBK:
            return RGB(0xFF, 0xFF, 0xE1);
        case COLOR_HOTLIGHT:
            return RGB(0x00, 0x00, 0x80);
        case COLOR_GRADIENTACTIVECAPTION:
            return RGB(0xA6, 0xCA, 0xF0);
        case COLOR_GRADIENTINACTIVECAPTION:
            return grey(0xC0);
        case COLOR_MENUHILIGHT:
            return RGB(0x0A, 0x24, 0x6A);
        case COLOR_MENUBAR:
            return grey(0xF5);
        default:
            return 0;
    }
}
