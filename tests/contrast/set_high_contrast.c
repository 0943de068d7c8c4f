/* The Wine scenario's helper, built by the windows preset: sets every
 * system colour of this Wine session to High Contrast Black (the values of
 * platform/posix/gdi/system_colours.cpp) with SetSysColors, which the
 * platform keeps for the session, so that the tool started after it draws
 * in them. Writing the prefix's Control Panel\Colors beforehand was not
 * taken up by Wine. */
#include <windows.h>

#define HC_BACKGROUND RGB(0x00, 0x00, 0x00)
#define HC_TEXT RGB(0xFF, 0xFF, 0xFF)
#define HC_HYPERLINK RGB(0xFF, 0xFF, 0x00)
#define HC_INACTIVE_TEXT RGB(0x3F, 0xF2, 0x3F)
#define HC_SELECTED RGB(0x1A, 0xEB, 0xFF)
#define HC_SELECTED_TEXT RGB(0x00, 0x00, 0x00)
#define HC_BUTTON_FACE RGB(0x00, 0x00, 0x00)
#define HC_BUTTON_TEXT RGB(0xFF, 0xFF, 0xFF)

static const int indices[] = {
    COLOR_SCROLLBAR,
    COLOR_BACKGROUND,
    COLOR_ACTIVECAPTION,
    COLOR_INACTIVECAPTION,
    COLOR_MENU,
    COLOR_WINDOW,
    COLOR_WINDOWFRAME,
    COLOR_MENUTEXT,
    COLOR_WINDOWTEXT,
    COLOR_CAPTIONTEXT,
    COLOR_ACTIVEBORDER,
    COLOR_INACTIVEBORDER,
    COLOR_APPWORKSPACE,
    COLOR_HIGHLIGHT,
    COLOR_HIGHLIGHTTEXT,
    COLOR_BTNFACE,
    COLOR_BTNSHADOW,
    COLOR_GRAYTEXT,
    COLOR_BTNTEXT,
    COLOR_INACTIVECAPTIONTEXT,
    COLOR_BTNHIGHLIGHT,
    COLOR_3DDKSHADOW,
    COLOR_3DLIGHT,
    COLOR_INFOTEXT,
    COLOR_INFOBK,
    25,
    COLOR_HOTLIGHT,
    COLOR_GRADIENTACTIVECAPTION,
    COLOR_GRADIENTINACTIVECAPTION,
    COLOR_MENUHILIGHT,
    COLOR_MENUBAR,
};

static const COLORREF colours[] = {
    HC_BACKGROUND,    HC_BACKGROUND,  HC_SELECTED,      HC_BACKGROUND,    HC_BACKGROUND,  HC_BACKGROUND, HC_TEXT,
    HC_TEXT,          HC_TEXT,        HC_SELECTED_TEXT, HC_BUTTON_FACE,   HC_BUTTON_FACE, HC_BACKGROUND, HC_SELECTED,
    HC_SELECTED_TEXT, HC_BUTTON_FACE, HC_BUTTON_TEXT,   HC_INACTIVE_TEXT, HC_BUTTON_TEXT, HC_TEXT,       HC_BUTTON_TEXT,
    HC_BUTTON_TEXT,   HC_BUTTON_TEXT, HC_TEXT,          HC_BACKGROUND,    HC_BUTTON_FACE, HC_HYPERLINK,  HC_SELECTED,
    HC_BACKGROUND,    HC_SELECTED,    HC_BACKGROUND,
};

int main(void) {
    /* Solid text: every pixel of the tool's window one of the scheme's
     * colours, as the Linux build draws it in a High Contrast scheme. */
    SystemParametersInfoA(SPI_SETFONTSMOOTHING, FALSE, NULL, SPIF_SENDCHANGE);
    return SetSysColors(sizeof indices / sizeof indices[0], indices, colours) ? 0 : 1;
}
