// The state behind an HDC and the clipped pixel operations every drawing
// call goes through.
#pragma once

#include <stdint.h>

#include "platform/posix/gdi/dc.h"
#include "platform/posix/gdi/device_scale.h"
#include "platform/posix/gdi/gdi_objects.h"

namespace gdi {

// The program draws in logical (96-DPI) client coordinates; the buffer holds
// device pixels. Every edge goes through to_device on its own, from the
// top-level client coordinates, so that shared edges stay shared.
struct DeviceContext {
    PixelBuffer* buffer;
    int origin_x, origin_y;  // client (0, 0) in logical top-level coordinates
    int quarters;            // the device scale
    RECT clip;               // device pixels, within the buffer
    COLORREF text_colour;
    COLORREF background_colour;
    int background_mode;
    Object* font;
    Object* brush;
    Object* pen;
    POINT position;  // for MoveToEx and LineTo, client coordinates
    RECT drawn;      // device pixels, empty until something is drawn
    HDC handle;

    // Client coordinates to device pixels, edge by edge.
    int device_x(int x) const { return to_device(x + origin_x, quarters); }
    int device_y(int y) const { return to_device(y + origin_y, quarters); }
    RECT device_rect(const RECT& r) const {
        return RECT{device_x(r.left), device_y(r.top), device_x(r.right), device_y(r.bottom)};
    }
    // Lines, bevels and focus dots: whole device pixels, round(scale).
    int line() const { return line_width(quarters); }

    // The operations below take client coordinates (a pixel is the device
    // pixels its edges span) and never touch a pixel outside the clip.
    void fill(const RECT& area, COLORREF colour) { fill_device(device_rect(area), colour); }
    void put(int x, int y, COLORREF colour) { fill(RECT{x, y, x + 1, y + 1}, colour); }
    // The same on device pixels.
    void fill_device(const RECT& area, COLORREF colour);
    // Mixes colour over the pixel by coverage (0 keeps it, 255 replaces it).
    void blend_device(int bx, int by, COLORREF colour, unsigned coverage);
    // The same over a width x height block of coverage whose top left is bx, by.
    void blend_coverage(int bx, int by, int width, int height, const uint8_t* coverage, COLORREF colour);
    void invert_device(int bx, int by);
    // Narrows drawing to area (client coordinates) until restore_clip.
    RECT narrow_clip(const RECT& area);
    void restore_clip(const RECT& saved) { clip = saved; }

    // The selected font, whose metrics the program sees, and the same face
    // rasterised for the device.
    const Font& current_font() const;
    const Font& device_font() const;

  private:
    bool visible(int bx, int by) const;
    void mark(int bx, int by);
    void mark(const RECT& area);
};

// The live DC behind h; null for anything else.
DeviceContext* find_dc(HDC h);

}  // namespace gdi
