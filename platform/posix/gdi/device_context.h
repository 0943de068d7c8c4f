// The state behind an HDC and the clipped pixel operations every drawing
// call goes through.
#pragma once

#include <stdint.h>

#include "platform/posix/gdi/dc.h"
#include "platform/posix/gdi/gdi_objects.h"

namespace gdi {

struct DeviceContext {
    PixelBuffer* buffer;
    int origin_x, origin_y;  // client (0, 0) in buffer coordinates
    RECT clip;               // buffer coordinates, within the buffer
    COLORREF text_colour;
    COLORREF background_colour;
    int background_mode;
    Object* font;
    Object* brush;
    Object* pen;
    POINT position;  // for MoveToEx and LineTo, client coordinates
    RECT drawn;      // buffer coordinates, empty until something is drawn
    HDC handle;

    // The operations below take client coordinates and never touch a pixel
    // outside the clip rectangle.
    void fill(const RECT& area, COLORREF colour);
    void put(int x, int y, COLORREF colour);
    // Mixes colour over the pixel by coverage (0 keeps it, 255 replaces it).
    void blend(int x, int y, COLORREF colour, unsigned coverage);
    void invert(int x, int y);
    // Narrows drawing to area (client coordinates) until restore_clip.
    RECT narrow_clip(const RECT& area);
    void restore_clip(const RECT& saved) { clip = saved; }

    const Font& current_font() const;

  private:
    bool visible(int bx, int by) const;
    void mark(int bx, int by);
    void mark(const RECT& area);
};

// The live DC behind h; null for anything else.
DeviceContext* find_dc(HDC h);
// Whether some live DC has the object selected.
bool selected_anywhere(const Object* object);

}  // namespace gdi
