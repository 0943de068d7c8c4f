// Device contexts over a pixel buffer: their life, their attributes and the
// clipped pixel operations.
#include "platform/posix/gdi/dc.h"

#include <utility>

#include "platform/posix/gdi/device_context.h"
#include "platform/posix/gdi/font.h"
#include "platform/posix/gdi/system_colours.h"
#include "platform/posix/kernel/handles.h"

namespace gdi {

namespace {

uint32_t to_pixel(COLORREF colour) {
    return static_cast<uint32_t>(GetRValue(colour)) << 16 | static_cast<uint32_t>(GetGValue(colour)) << 8 |
           GetBValue(colour);
}

RECT intersect(const RECT& a, const RECT& b) {
    RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top, a.right < b.right ? a.right : b.right,
           a.bottom < b.bottom ? a.bottom : b.bottom};
    if (r.right <= r.left || r.bottom <= r.top) {
        return RECT{0, 0, 0, 0};
    }
    return r;
}

bool empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

}  // namespace

DeviceContext* find_dc(HDC h) {
    return static_cast<DeviceContext*>(kernel::peek_handle(h, kernel::HandleKind::DeviceContext));
}

const Font& DeviceContext::current_font() const {
    return font && font->font ? *font->font : *system_font();
}

const Font& DeviceContext::device_font() const {
    return current_font().at_scale(quarters);
}

bool DeviceContext::visible(int bx, int by) const {
    return bx >= clip.left && bx < clip.right && by >= clip.top && by < clip.bottom;
}

void DeviceContext::mark(const RECT& area) {
    if (empty(area)) {
        return;
    }
    if (empty(drawn)) {
        drawn = area;
        return;
    }
    if (area.left < drawn.left) {
        drawn.left = area.left;
    }
    if (area.top < drawn.top) {
        drawn.top = area.top;
    }
    if (area.right > drawn.right) {
        drawn.right = area.right;
    }
    if (area.bottom > drawn.bottom) {
        drawn.bottom = area.bottom;
    }
}

void DeviceContext::mark(int bx, int by) {
    mark(RECT{bx, by, bx + 1, by + 1});
}

void DeviceContext::fill_device(const RECT& area, COLORREF colour) {
    const RECT target = intersect(area, clip);
    if (empty(target)) {
        return;
    }
    const uint32_t pixel = to_pixel(colour);
    for (int y = target.top; y < target.bottom; ++y) {
        uint32_t* row = buffer->pixels + static_cast<ptrdiff_t>(y) * buffer->stride;
        for (int x = target.left; x < target.right; ++x) {
            row[x] = pixel;
        }
    }
    mark(target);
}

namespace {

// over mixed onto under by coverage (1 to 254), channel by channel.
uint32_t mix(uint32_t under, uint32_t over, unsigned coverage) {
    uint32_t mixed = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned under_channel = (under >> shift) & 0xFF;
        const unsigned over_channel = (over >> shift) & 0xFF;
        const unsigned channel = (over_channel * coverage + under_channel * (255 - coverage) + 127) / 255;
        mixed |= channel << shift;
    }
    return mixed;
}

}  // namespace

void DeviceContext::blend_device(int bx, int by, COLORREF colour, unsigned coverage) {
    if (coverage == 0 || !visible(bx, by)) {
        return;
    }
    uint32_t& pixel = buffer->pixels[static_cast<ptrdiff_t>(by) * buffer->stride + bx];
    const uint32_t over = to_pixel(colour);
    // Monochrome glyphs are all full coverage: the mix is the colour.
    pixel = coverage >= 255 ? over : mix(pixel, over, coverage);
    mark(bx, by);
}

void DeviceContext::blend_coverage(int bx, int by, int width, int height, const uint8_t* coverage, COLORREF colour) {
    const RECT target = intersect(RECT{bx, by, bx + width, by + height}, clip);
    if (empty(target)) {
        return;
    }
    const uint32_t over = to_pixel(colour);
    // In a High Contrast scheme text is solid, so that every pixel is one
    // of the scheme's colours and none a blend of two.
    const bool solid = high_contrast();
    // Only the pixels given ink count as drawn, as blend_device has it.
    RECT inked{target.right, target.bottom, target.left, target.top};
    for (int y = target.top; y < target.bottom; ++y) {
        const uint8_t* source = coverage + static_cast<ptrdiff_t>(y - by) * width - bx;
        uint32_t* row = buffer->pixels + static_cast<ptrdiff_t>(y) * buffer->stride;
        for (int x = target.left; x < target.right; ++x) {
            const unsigned c = source[x];
            if (c == 0 || (solid && c < 128)) {
                continue;
            }
            row[x] = c >= 255 || solid ? over : mix(row[x], over, c);
            inked.left = x < inked.left ? x : inked.left;
            inked.right = x + 1 > inked.right ? x + 1 : inked.right;
            inked.top = y < inked.top ? y : inked.top;
            inked.bottom = y + 1;
        }
    }
    mark(inked);
}

void DeviceContext::invert_device(int bx, int by) {
    if (!visible(bx, by)) {
        return;
    }
    uint32_t& pixel = buffer->pixels[static_cast<ptrdiff_t>(by) * buffer->stride + bx];
    pixel ^= 0xFFFFFF;
    mark(bx, by);
}

RECT DeviceContext::narrow_clip(const RECT& area) {
    const RECT saved = clip;
    clip = intersect(clip, device_rect(area));
    return saved;
}

HDC create_dc(PixelBuffer* buffer, int origin_x, int origin_y, const RECT& clip, int quarters) {
    if (!buffer || !buffer->pixels || buffer->width <= 0 || buffer->height <= 0 || buffer->stride < buffer->width) {
        return nullptr;
    }
    auto* dc = new gdi::DeviceContext();
    dc->buffer = buffer;
    dc->origin_x = origin_x;
    dc->origin_y = origin_y;
    dc->quarters = quarters >= unit_quarters ? quarters : unit_quarters;
    const RECT device_clip{to_device(clip.left, dc->quarters), to_device(clip.top, dc->quarters),
                           to_device(clip.right, dc->quarters), to_device(clip.bottom, dc->quarters)};
    dc->clip = gdi::intersect(device_clip, RECT{0, 0, buffer->width, buffer->height});
    dc->text_colour = RGB(0, 0, 0);
    dc->background_colour = RGB(255, 255, 255);
    dc->background_mode = OPAQUE;
    dc->font = gdi::find_any_object(GetStockObject(SYSTEM_FONT));
    dc->brush = gdi::find_any_object(GetStockObject(WHITE_BRUSH));
    dc->pen = gdi::find_any_object(GetStockObject(BLACK_PEN));
    dc->position = POINT{0, 0};
    dc->drawn = RECT{0, 0, 0, 0};
    dc->handle = static_cast<HDC>(kernel::insert_handle(kernel::HandleKind::DeviceContext, dc));
    if (dc->handle == nullptr) {
        delete dc;
        return nullptr;
    }
    return dc->handle;
}

void delete_dc(HDC dc) {
    gdi::DeviceContext* context = gdi::find_dc(dc);
    if (!context) {
        return;
    }
    kernel::remove_handle(dc, kernel::HandleKind::DeviceContext);
    delete context;
}

RECT dc_drawn_area(HDC dc) {
    const gdi::DeviceContext* context = gdi::find_dc(dc);
    return context ? context->drawn : RECT{0, 0, 0, 0};
}

}  // namespace gdi

namespace {

COLORREF set_colour(HDC hdc, COLORREF gdi::DeviceContext::*field, COLORREF colour) {
    gdi::DeviceContext* dc = gdi::find_dc(hdc);
    if (!dc) {
        return CLR_INVALID;
    }
    const COLORREF previous = dc->*field;
    dc->*field = colour & 0xFFFFFF;
    return previous;
}

}  // namespace

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
    return set_colour(hdc, &gdi::DeviceContext::text_colour, color);
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
    return set_colour(hdc, &gdi::DeviceContext::background_colour, color);
}

int WINAPI SetBkMode(HDC hdc, int mode) {
    gdi::DeviceContext* dc = gdi::find_dc(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) {
        return 0;
    }
    const int previous = dc->background_mode;
    dc->background_mode = mode;
    return previous;
}
