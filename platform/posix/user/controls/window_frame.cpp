// The classic frame of a top-level window: a raised border, the caption in
// its gradient with the small icon and the title, and the close box, at the
// classic metrics (a close box of 16 x 14 two pixels in from the caption's
// right end, the 16 x 16 icon two pixels in from its left).
#include "platform/posix/user/controls/look.h"

#include "platform/posix/gdi/dc.h"
#include "platform/posix/gdi/gdi_objects.h"

namespace user::look {

namespace {

constexpr int close_width = 16, close_height = 14, close_margin = 2;
constexpr int title_indent = 3;
constexpr int icon_side = 16, icon_margin = 2;
// The close box's cross: rows of eight pixels, leftmost in bit 0.
constexpr unsigned char cross[7] = {0xC3, 0x66, 0x3C, 0x18, 0x3C, 0x66, 0xC3};
constexpr int cross_width = 8, cross_height = 7;

bool inside(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

void fill(HDC dc, const RECT& r, int colour_index) {
    if (r.right > r.left && r.bottom > r.top) {
        FillRect(dc, &r, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(colour_index + 1)));
    }
}

int frame_width(const RECT& window, const RECT& client) {
    return client.left - window.left;
}

RECT caption_of(const RECT& window, const RECT& client) {
    const int f = frame_width(window, client);
    // The last row above the client area is the face: a line under the caption.
    return RECT{window.left + f, window.top + f, window.right - f, client.top - 1};
}

RECT close_box_of(const RECT& caption) {
    const int right = caption.right - close_margin;
    return RECT{right - close_width, caption.top + close_margin, right, caption.top + close_margin + close_height};
}

RECT icon_of(const RECT& caption) {
    const int top = caption.top + (caption.bottom - caption.top - icon_side) / 2;
    return RECT{caption.left + icon_margin, top, caption.left + icon_margin + icon_side, top + icon_side};
}

COLORREF mix(COLORREF a, COLORREF b, int step, int steps) {
    auto channel = [step, steps](int from, int to) { return from + (to - from) * step / steps; };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

// Left to right from the caption colour to its gradient partner.
void draw_gradient(HDC dc, const RECT& caption, bool active) {
    const COLORREF from = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    const COLORREF to = GetSysColor(active ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
    const int width = caption.right - caption.left;
    for (int column = 0; column < width; column++) {
        const COLORREF colour = mix(from, to, column, width > 1 ? width - 1 : 1);
        for (int y = caption.top; y < caption.bottom; y++) {
            SetPixel(dc, caption.left + column, y, colour);
        }
    }
}

void draw_close_box(HDC dc, RECT box, bool pushed) {
    if (pushed) {
        DrawEdge(dc, &box, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_FLAT);
    } else {
        DrawEdge(dc, &box, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT);
    }
    const int shift = pushed ? 1 : 0;
    const int left = box.left + (close_width - cross_width) / 2 + shift;
    const int top = box.top + (close_height - cross_height) / 2 + shift;
    const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
    for (int row = 0; row < cross_height; row++) {
        for (int column = 0; column < cross_width; column++) {
            if (cross[row] & (1u << column)) {
                SetPixel(dc, left + column, top + row, ink);
            }
        }
    }
}

// The caption font is the bold one; where only the regular face could be
// had it is drawn twice, a pixel apart.
void draw_title(HDC dc, const RECT& text, const char* title, bool active) {
    bool bold = false;
    SelectObject(dc, gdi::caption_font(&bold));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    const char* shown = title != nullptr ? title : "";
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX;
    RECT area = text;
    DrawTextA(dc, shown, -1, &area, format);
    if (!bold) {
        RECT again{text.left + 1, text.top, text.right + 1, text.bottom};
        DrawTextA(dc, shown, -1, &again, format);
    }
}

}  // namespace

void draw_window_frame(HDC dc, const RECT& window, const RECT& client, const char* title, unsigned flags,
                       const FrameIconPicture* icon) {
    fill(dc, RECT{window.left, window.top, window.right, client.top}, COLOR_BTNFACE);
    fill(dc, RECT{window.left, client.top, client.left, client.bottom}, COLOR_BTNFACE);
    fill(dc, RECT{client.right, client.top, window.right, client.bottom}, COLOR_BTNFACE);
    fill(dc, RECT{window.left, client.bottom, window.right, window.bottom}, COLOR_BTNFACE);
    RECT edge = window;
    if (frame_width(window, client) >= 2) {
        DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
    } else {
        DrawEdge(dc, &edge, BDR_RAISEDOUTER, BF_RECT | BF_FLAT);
    }
    const RECT caption = caption_of(window, client);
    if (caption.bottom <= caption.top) {
        return;
    }
    const bool active = (flags & FrameActive) != 0;
    draw_gradient(dc, caption, active);
    RECT text{caption.left + title_indent, caption.top, caption.right - 1, caption.bottom};
    if (flags & FrameIcon) {
        const RECT place = icon_of(caption);
        if (icon != nullptr) {
            gdi::draw_picture(dc, place, icon->pixels, icon->size);
        }
        text.left = place.right + icon_margin;
    }
    if (flags & FrameCloseBox) {
        const RECT box = close_box_of(caption);
        draw_close_box(dc, box, (flags & FrameClosePushed) != 0);
        text.right = box.left - close_margin - 1;
    }
    draw_title(dc, text, title, active);
}

FramePart frame_part_at(const RECT& window, const RECT& client, unsigned flags, int x, int y) {
    if (inside(client, x, y)) {
        return FramePart::Client;
    }
    const RECT caption = caption_of(window, client);
    if ((flags & FrameCloseBox) && inside(close_box_of(caption), x, y)) {
        return FramePart::CloseBox;
    }
    // The icon up to the title, where the platform opens the system menu.
    if ((flags & FrameIcon) && inside(RECT{caption.left, caption.top, icon_of(caption).right, caption.bottom}, x, y)) {
        return FramePart::Icon;
    }
    // The face line under the caption belongs to it, as on the platform.
    const RECT bar{caption.left, caption.top, caption.right, client.top};
    return inside(bar, x, y) ? FramePart::Caption : FramePart::Border;
}

}  // namespace user::look
