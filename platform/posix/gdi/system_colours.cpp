// The system colours: the classic scheme, as the reference platform's
// default scheme paints them, and its two High Contrast schemes.
#include "platform/posix/gdi/system_colours.h"

#include "platform/posix/gdi/gdi_objects.h"
#include "platform/posix/gdi/shared.h"

namespace gdi {

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

const Entry classic[] = {
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

// A High Contrast scheme is eight colours, the ones the platform's contrast
// settings name (Microsoft's "Contrast themes" documentation, its table of
// system colours: Background, Text, Hyperlink, Inactive text, Selected
// text and its background, Button text and its face), as High Contrast
// Black and High Contrast White set them. Every other index is one of
// those eight, as the scheme uses them: edges, frames and borders in the
// text colour, so that a bevel is a line and not a shade; faces, menus and
// the desktop in the background; the active caption in the selection's
// colours, the inactive one in the window's, without a gradient.
struct Contrast {
    COLORREF background, text, hyperlink, inactive_text, selected, selected_text, button_face, button_text;
};

const Contrast high_contrast_black = {
    RGB(0x00, 0x00, 0x00), RGB(0xFF, 0xFF, 0xFF), RGB(0xFF, 0xFF, 0x00), RGB(0x3F, 0xF2, 0x3F),
    RGB(0x1A, 0xEB, 0xFF), RGB(0x00, 0x00, 0x00), RGB(0x00, 0x00, 0x00), RGB(0xFF, 0xFF, 0xFF),
};

const Contrast high_contrast_white = {
    RGB(0xFF, 0xFF, 0xFF), RGB(0x00, 0x00, 0x00), RGB(0x00, 0x00, 0x9F), RGB(0x60, 0x00, 0x00),
    RGB(0x37, 0x00, 0x6E), RGB(0xFF, 0xFF, 0xFF), RGB(0xFF, 0xFF, 0xFF), RGB(0x00, 0x00, 0x00),
};

COLORREF contrast_colour(const Contrast& c, int index) {
    switch (index) {
        case COLOR_WINDOW:
        case COLOR_SCROLLBAR:
        case COLOR_BACKGROUND:
        case COLOR_MENU:
        case COLOR_MENUBAR:
        case COLOR_APPWORKSPACE:
        case COLOR_INFOBK:
        case COLOR_INACTIVECAPTION:
        case COLOR_GRADIENTINACTIVECAPTION:
            return c.background;
        case COLOR_WINDOWTEXT:
        case COLOR_MENUTEXT:
        case COLOR_INFOTEXT:
        case COLOR_INACTIVECAPTIONTEXT:
        case COLOR_WINDOWFRAME:
            return c.text;
        case COLOR_HOTLIGHT:
            return c.hyperlink;
        case COLOR_GRAYTEXT:
            return c.inactive_text;
        case COLOR_HIGHLIGHT:
        case COLOR_MENUHILIGHT:
        case COLOR_ACTIVECAPTION:
        case COLOR_GRADIENTACTIVECAPTION:
            return c.selected;
        case COLOR_HIGHLIGHTTEXT:
        case COLOR_CAPTIONTEXT:
            return c.selected_text;
        case COLOR_BTNFACE:
        case alternate_face:
        case COLOR_ACTIVEBORDER:
        case COLOR_INACTIVEBORDER:
            return c.button_face;
        case COLOR_BTNTEXT:
        case COLOR_BTNSHADOW:
        case COLOR_BTNHIGHLIGHT:
        case COLOR_3DDKSHADOW:
        case COLOR_3DLIGHT:
            return c.button_text;
        default:
            return 0;
    }
}

}  // namespace

COLORREF scheme_colour(ColourScheme scheme, int index) {
    switch (scheme) {
        case ColourScheme::high_contrast_black:
            return contrast_colour(high_contrast_black, index);
        case ColourScheme::high_contrast_white:
            return contrast_colour(high_contrast_white, index);
        case ColourScheme::classic:
            break;
    }
    for (const Entry& entry : classic) {
        if (entry.index == index) {
            return entry.colour;
        }
    }
    return 0;
}

ColourScheme colour_scheme() {
    return shared().colour_scheme;
}

void set_colour_scheme(ColourScheme scheme) {
    Shared& s = shared();
    s.colour_scheme = scheme;
    for (int i = 0; i < sys_colour_count; i++) {
        if (s.system_brushes[i] != nullptr) {
            s.system_brushes[i]->colour = scheme_colour(scheme, i);
        }
    }
}

bool high_contrast() {
    return colour_scheme() != ColourScheme::classic;
}

}  // namespace gdi

DWORD WINAPI GetSysColor(int nIndex) {
    return gdi::scheme_colour(gdi::colour_scheme(), nIndex);
}
