// Filled rectangles, the classic 3D edges, the focus rectangle, pixels and
// lines.
#include <stdlib.h>

#include "platform/posix/gdi/device_context.h"

using gdi::DeviceContext;
using gdi::find_dc;

namespace {

struct EdgeColours {
    int top_left;
    int bottom_right;
};

// One ring of a bevel. The inner ring of a raised edge is the lighter one
// and of a sunken edge the darker one; BF_SOFT swaps the top-left shades of
// the two rings.
EdgeColours ring_colours(UINT edge, bool outer, UINT flags) {
    const bool soft = flags & BF_SOFT;
    const bool raised = outer ? (edge & BDR_RAISEDOUTER) : (edge & BDR_RAISEDINNER);
    if (flags & BF_MONO) {
        return outer ? EdgeColours{COLOR_WINDOWFRAME, COLOR_WINDOWFRAME} : EdgeColours{COLOR_WINDOW, COLOR_WINDOW};
    }
    if (flags & BF_FLAT) {
        return outer ? EdgeColours{COLOR_BTNSHADOW, COLOR_BTNSHADOW} : EdgeColours{COLOR_BTNFACE, COLOR_BTNFACE};
    }
    if (outer) {
        if (raised) {
            return {soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW};
        }
        return {soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    }
    if (raised) {
        return {soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    }
    return {soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
}

// Draws one ring just inside r (device pixels), a line wide, on the sides
// flags names, top-left sides first so the bottom-right ones own the two
// far corners.
void draw_ring(DeviceContext* dc, const RECT& r, EdgeColours colours, UINT flags) {
    const int w = dc->line();
    if (r.right <= r.left || r.bottom <= r.top) {
        return;
    }
    const COLORREF light = GetSysColor(colours.top_left);
    const COLORREF dark = GetSysColor(colours.bottom_right);
    if (flags & BF_TOP) {
        dc->fill_device(RECT{r.left, r.top, r.right - w, r.top + w}, light);
    }
    if (flags & BF_LEFT) {
        dc->fill_device(RECT{r.left, r.top, r.left + w, r.bottom - w}, light);
    }
    if (flags & BF_BOTTOM) {
        dc->fill_device(RECT{r.left, r.bottom - w, r.right, r.bottom}, dark);
    }
    if (flags & BF_RIGHT) {
        dc->fill_device(RECT{r.right - w, r.top, r.right, r.bottom}, dark);
    }
}

RECT shrink(const RECT& r, UINT flags, int by) {
    return RECT{r.left + ((flags & BF_LEFT) ? by : 0), r.top + ((flags & BF_TOP) ? by : 0),
                r.right - ((flags & BF_RIGHT) ? by : 0), r.bottom - ((flags & BF_BOTTOM) ? by : 0)};
}

// The dotted outline just inside r (device pixels): dots a line square on a
// checkerboard fixed to the client area, each pixel of the outline once, so
// a second call takes it away again.
void draw_focus_outline(DeviceContext* dc, const RECT& r) {
    const int w = dc->line();
    if (r.right <= r.left || r.bottom <= r.top) {
        return;
    }
    const int x0 = dc->device_x(0), y0 = dc->device_y(0);
    auto cell = [w](int d) { return d >= 0 ? d / w : -((-d + w - 1) / w); };
    auto dot = [&](int x, int y) {
        if ((cell(x - x0) + cell(y - y0)) & 1) {
            dc->invert_device(x, y);
        }
    };
    for (int y = r.top; y < r.bottom; ++y) {
        if (y < r.top + w || y >= r.bottom - w) {
            for (int x = r.left; x < r.right; ++x) {
                dot(x, y);
            }
            continue;
        }
        const int left_end = r.left + w < r.right ? r.left + w : r.right;
        for (int x = r.left; x < left_end; ++x) {
            dot(x, y);
        }
        for (int x = r.right - w > left_end ? r.right - w : left_end; x < r.right; ++x) {
            dot(x, y);
        }
    }
}

}  // namespace

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    DeviceContext* dc = find_dc(hDC);
    COLORREF colour = 0;
    if (!dc || !lprc || !gdi::brush_colour(hbr, &colour)) {
        return 0;
    }
    dc->fill(*lprc, colour);
    return 1;
}

BOOL WINAPI DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc || !qrc) {
        return FALSE;
    }
    // The rings are drawn in device pixels, a line wide each; the program
    // gets its rectangle back a logical pixel smaller a ring.
    RECT r = *qrc;
    RECT device = dc->device_rect(r);
    const UINT sides = grfFlags & BF_RECT;
    const bool has_outer = edge & (BDR_RAISEDOUTER | BDR_SUNKENOUTER);
    const bool has_inner = edge & (BDR_RAISEDINNER | BDR_SUNKENINNER);
    if (has_outer) {
        draw_ring(dc, device, ring_colours(edge, true, grfFlags), sides);
        device = shrink(device, sides, dc->line());
        r = shrink(r, sides, 1);
    }
    if (has_inner) {
        draw_ring(dc, device, ring_colours(edge, false, grfFlags), sides);
        device = shrink(device, sides, dc->line());
        r = shrink(r, sides, 1);
    }
    if ((grfFlags & BF_MIDDLE) && device.right > device.left && device.bottom > device.top) {
        dc->fill_device(device, GetSysColor((grfFlags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    if (grfFlags & BF_ADJUST) {
        *qrc = r;
    }
    return TRUE;
}

BOOL WINAPI DrawFocusRect(HDC hDC, const RECT* lprc) {
    DeviceContext* dc = find_dc(hDC);
    if (!dc || !lprc) {
        return FALSE;
    }
    draw_focus_outline(dc, dc->device_rect(*lprc));
    return TRUE;
}

void gdi::draw_focus_inside(HDC hdc, const RECT& r, int lines) {
    DeviceContext* dc = find_dc(hdc);
    if (dc != nullptr) {
        const int by = lines * dc->line();
        const RECT device = dc->device_rect(r);
        draw_focus_outline(dc, RECT{device.left + by, device.top + by, device.right - by, device.bottom - by});
    }
}

void gdi::draw_picture(HDC hdc, const RECT& r, const uint32_t* pixels, int size) {
    DeviceContext* dc = find_dc(hdc);
    if (dc == nullptr || pixels == nullptr || size <= 0) {
        return;
    }
    const RECT device = dc->device_rect(r);
    const int width = device.right - device.left, height = device.bottom - device.top;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            const uint32_t pixel = pixels[static_cast<size_t>(y * size / height) * size + x * size / width];
            if (pixel >> 24 != 0) {
                const COLORREF colour = RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
                dc->fill_device(RECT{device.left + x, device.top + y, device.left + x + 1, device.top + y + 1}, colour);
            }
        }
    }
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc) {
        return CLR_INVALID;
    }
    dc->put(x, y, color & 0xFFFFFF);
    return color & 0xFFFFFF;
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT lppt) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc) {
        return FALSE;
    }
    if (lppt) {
        *lppt = dc->position;
    }
    dc->position = POINT{x, y};
    return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
    DeviceContext* dc = find_dc(hdc);
    if (!dc) {
        return FALSE;
    }
    // The end point itself is left out, as the platform does.
    int cx = dc->position.x, cy = dc->position.y;
    const int dx = abs(x - cx), dy = -abs(y - cy);
    const int step_x = cx < x ? 1 : -1, step_y = cy < y ? 1 : -1;
    int error = dx + dy;
    const gdi::Object* pen = dc->pen;
    const bool visible = pen && !pen->hollow;
    const int width = pen ? pen->pen_width : 1;
    while (cx != x || cy != y) {
        if (visible) {
            if (width == 1) {
                // A pen a pixel wide draws lines a line wide.
                const int w = dc->line();
                dc->fill_device(RECT{dc->device_x(cx), dc->device_y(cy), dc->device_x(cx) + w, dc->device_y(cy) + w},
                                pen->colour);
            } else {
                dc->fill(RECT{cx - width / 2, cy - width / 2, cx - width / 2 + width, cy - width / 2 + width},
                         pen->colour);
            }
        }
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            cx += step_x;
        }
        if (twice <= dx) {
            error += dx;
            cy += step_y;
        }
    }
    dc->position = POINT{x, y};
    return TRUE;
}
