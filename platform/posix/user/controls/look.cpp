// The classic look of push buttons, checkboxes, group boxes and static text.
#include "platform/posix/user/controls/look.h"

#include <string.h>

#include "platform/posix/gdi/dc.h"
#include "platform/posix/gdi/system_colours.h"

namespace user::look {

namespace {

constexpr int check_box_size = 13;
constexpr int check_box_text_gap = 4;
constexpr int group_caption_indent = 8;

// The check mark, one row of seven pixels a line, leftmost pixel in bit 0.
constexpr unsigned char check_mark[7] = {0x40, 0x60, 0x70, 0x39, 0x1F, 0x0F, 0x06};

int text_height(HDC dc) {
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    return metrics.tmHeight;
}

void fill(HDC dc, const RECT& r, int colour_index) {
    FillRect(dc, &r, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(colour_index + 1)));
}

void fill_background(HDC dc, const RECT& client, HBRUSH background) {
    if (background != nullptr) {
        FillRect(dc, &client, background);
    } else {
        fill(dc, client, COLOR_BTNFACE);
    }
}

// Draws text in the colour the parent left in the DC, or etched and grey when
// disabled: a white copy one pixel down and right under the grey one. A
// High Contrast scheme's disabled text is its own colour alone, with no
// copy in the edges' colour to blur it.
void draw_label(HDC dc, const char* text, RECT r, UINT format, unsigned flags) {
    SetBkMode(dc, TRANSPARENT);
    if (flags & Disabled) {
        const COLORREF parent_colour = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        if (!gdi::high_contrast()) {
            RECT etched{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
            DrawTextA(dc, text, -1, &etched, format);
        }
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
        DrawTextA(dc, text, -1, &r, format);
        SetTextColor(dc, parent_colour);
        return;
    }
    DrawTextA(dc, text, -1, &r, format);
}

// Half of n, rounded down also when n is negative.
int floor_half(int n) {
    return n >= 0 ? n / 2 : -((1 - n) / 2);
}

// The size of text as a single line with its prefixes taken out.
SIZE label_size(HDC dc, const char* text) {
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text, -1, &r, DT_SINGLELINE | DT_CALCRECT);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

void draw_push_button(HDC dc, const RECT& client, const char* text, unsigned flags) {
    if (!text) {
        text = "";
    }
    RECT r = client;
    if (flags & Default) {
        // The frame of the default button is a line like the bevel's.
        DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT | BF_MONO | BF_ADJUST);
    }
    if (flags & Pushed) {
        DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_FLAT);
    } else {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT);
    }

    // Centred inside the bevel; an odd pixel of spare room goes right and
    // below, and so does one more, as the platform places button labels.
    const RECT inside{client.left + 2, client.top + 2, client.right - 2, client.bottom - 2};
    const SIZE size = label_size(dc, text);
    RECT label;
    label.left = inside.left + floor_half(inside.right - inside.left - 1 - size.cx);
    label.top = inside.top + floor_half(inside.bottom - inside.top - 1 - text_height(dc));
    label.right = label.left + size.cx;
    label.bottom = label.top + text_height(dc);
    if (flags & Pushed) {
        label = RECT{label.left + 1, label.top + 1, label.right + 1, label.bottom + 1};
    }
    // A push button's label keeps the system colour: the parent's colour
    // reaches only its focus rectangle.
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    draw_label(dc, text, label, DT_SINGLELINE | DT_LEFT | DT_NOCLIP, flags);

    if (flags & Focused) {
        // Three lines in: past the frame and the two rings of the bevel.
        gdi::draw_focus_inside(dc, client, 3);
    }
}

void draw_checkbox(HDC dc, const RECT& client, const char* text, unsigned flags, HBRUSH background) {
    if (!text) {
        text = "";
    }
    fill_background(dc, client, background);
    const int top = client.top + (client.bottom - client.top - check_box_size) / 2;
    RECT box{client.left, top, client.left + check_box_size, top + check_box_size};
    // Filled first and the bevel's lines over it, so that at any scale the
    // inside meets the lines.
    fill(dc, box, (flags & (Pushed | Disabled)) ? COLOR_BTNFACE : COLOR_WINDOW);
    DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (flags & Checked) {
        const COLORREF mark = GetSysColor((flags & Disabled) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
        for (int row = 0; row < 7; ++row) {
            for (int column = 0; column < 7; ++column) {
                if (check_mark[row] & (1u << column)) {
                    SetPixel(dc, box.left + 1 + column, box.top + 1 + row, mark);
                }
            }
        }
    }

    const int height = text_height(dc);
    RECT label{client.left + check_box_size + check_box_text_gap, 0, client.right, 0};
    label.top = client.top + (client.bottom - client.top - height) / 2;
    label.bottom = label.top + height;
    draw_label(dc, text, label, DT_SINGLELINE | DT_LEFT, flags);

    if ((flags & Focused) && *text) {
        const SIZE size = label_size(dc, text);
        RECT focus{label.left - 1, label.top - 1, label.left + size.cx + 1, label.bottom + 1};
        if (focus.right > client.right) {
            focus.right = client.right;
        }
        if (focus.top < client.top) {
            focus.top = client.top;
        }
        if (focus.bottom > client.bottom) {
            focus.bottom = client.bottom;
        }
        DrawFocusRect(dc, &focus);
    }
}

void draw_group_box(HDC dc, const RECT& client, const char* text, unsigned flags, HBRUSH background) {
    if (!text) {
        text = "";
    }
    const int height = text_height(dc);
    RECT frame{client.left, client.top + height / 2 - 1, client.right, client.bottom};
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!*text) {
        return;
    }
    // The caption breaks the top line, with a pixel of face either side.
    const SIZE size = label_size(dc, text);
    const int x = client.left + group_caption_indent;
    int right = x + size.cx + 1;
    if (right > client.right - 1) {
        right = client.right - 1;
    }
    fill_background(dc, RECT{x - 1, client.top, right, client.top + height}, background);
    draw_label(dc, text, RECT{x, client.top, right, client.top + height}, DT_SINGLELINE | DT_LEFT, flags);
}

void draw_static_text(HDC dc, const RECT& client, const char* text, DWORD style, unsigned flags, HBRUSH background) {
    if (!text) {
        text = "";
    }
    fill_background(dc, client, background);
    UINT format = DT_WORDBREAK;
    const DWORD kind = style & SS_TYPEMASK;
    if (kind == SS_CENTER) {
        format = DT_WORDBREAK | DT_CENTER;
    } else if (kind == SS_RIGHT) {
        format = DT_WORDBREAK | DT_RIGHT;
    } else if (kind == SS_LEFTNOWORDWRAP || kind == SS_SIMPLE) {
        format = DT_SINGLELINE;
    }
    if (style & SS_NOPREFIX) {
        format |= DT_NOPREFIX;
    }
    draw_label(dc, text, client, format, flags);
}

}  // namespace user::look
