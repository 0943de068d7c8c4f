// The classic system colours, as the reference platform's default scheme
// paints them.
#include "platform/win32.h"

namespace {

// Index 25, the alternate button face, has no name in the platform's
// headers.
constexpr int alternate_face = 25;

constexpr COLORREF grey(int level) {
    return RGB(level, level, level);
}

struct Entry {
    int index;
    COLORREF colour;
};

const Entry scheme[] = {
    {COLOR_SCROLLBAR, grey(0xC8)},
    {COLOR_BACKGROUND, RGB(0x3A, 0x6E, 0xA5)},
    {COLOR_ACTIVECAPTION, RGB(0x0A, 0x24, 0x6A)},
    {COLOR_INACTIVECAPTION, grey(0x80)},
    {COLOR_MENU, grey(0xF5)},
    {COLOR_WINDOW, grey(0xFF)},
    {COLOR_WINDOWFRAME, grey(0x9E)},
    {COLOR_MENUTEXT, grey(0x00)},
    {COLOR_WINDOWTEXT, grey(0x00)},
    {COLOR_BTNTEXT, grey(0x00)},
    {COLOR_CAPTIONTEXT, grey(0xFF)},
    {COLOR_ACTIVEBORDER, grey(0xF5)},
    {COLOR_INACTIVEBORDER, grey(0xF5)},
    {COLOR_BTNFACE, grey(0xF5)},
    {alternate_face, grey(0xF5)},
    {COLOR_APPWORKSPACE, grey(0x80)},
    {COLOR_HIGHLIGHT, RGB(0x0A, 0x24, 0x6A)},
    {COLOR_HIGHLIGHTTEXT, grey(0xFF)},
    {COLOR_BTNSHADOW, grey(0xA6)},
    {COLOR_GRAYTEXT, grey(0xA6)},
    {COLOR_INACTIVECAPTIONTEXT, grey(0xD4)},
    {COLOR_BTNHIGHLIGHT, grey(0xFF)},
    {COLOR_3DDKSHADOW, grey(0x6A)},
    {COLOR_3DLIGHT, grey(0xE3)},
    {COLOR_INFOTEXT, grey(0x00)},
    {COLOR_INFOBK, RGB(0xFF, 0xFF, 0xE1)},
    {COLOR_HOTLIGHT, RGB(0x00, 0x00, 0x80)},
    {COLOR_GRADIENTACTIVECAPTION, RGB(0xA6, 0xCA, 0xF0)},
    {COLOR_GRADIENTINACTIVECAPTION, grey(0xC0)},
    {COLOR_MENUHILIGHT, RGB(0x0A, 0x24, 0x6A)},
    {COLOR_MENUBAR, grey(0xF5)},
};

}  // namespace

DWORD WINAPI GetSysColor(int nIndex) {
    for (const Entry& entry : scheme) {
        if (entry.index == nIndex) {
            return entry.colour;
        }
    }
    return 0;
}
