// Device contexts over a top-level window's pixel buffer.
//
// The window layer makes one for BeginPaint and GetDC; the GDI calls of
// win32_gdi.h draw through it. Drawing never leaves the clip rectangle.
//
// Files of platform/posix/gdi (the only code that sees FreeType and
// fontconfig):
//   dc.h                 this: making and ending DCs, for the window layer
//   shared.h, .cpp       the one state object: stock objects, the font engine
//   device_scale.h, .cpp  the device scale: 96-DPI coordinates to device pixels
//   device_context.h     the state behind an HDC, its clipped pixel operations
//   dc.cpp               DC life, attributes, clipping, pixels
//   gdi_objects.h, .cpp  brushes, pens and fonts: stock and created
//   selection.cpp        SelectObject, DeleteObject (which sees the DCs)
//   gdi_draw.cpp         FillRect, DrawEdge, DrawFocusRect, SetPixel, lines
//   text_draw.cpp        TextOutA, DrawTextA, text metrics and extents
//   font.h, .cpp         faces rasterised with FreeType or read from the cache
//   face_lookup.cpp      the faces fontconfig finds and what that rests on
//   face_choice.h, .cpp  the kept choice of faces and what it rests on
//   glyph_cache.h, .cpp  the kept metrics and glyphs of a font
//   cache_folder.h, .cpp  the cache folder: whole writes, use and ageing
//   cache_record.h, .cpp  the cache files' header, fields and file identity
//   freetype_library.h   FreeType's calls (loaded on first need)
//   fontconfig_library.h  fontconfig's calls (loaded on first need)
//   library_loading.cpp  the dlopen of both
//   system_colours.h, .cpp  GetSysColor: the classic and High Contrast schemes
#pragma once

#include <stdint.h>

#include "platform/posix/gdi/device_scale.h"
#include "platform/win32.h"

namespace gdi {

// 32-bit 0x00RRGGBB pixels, rows of stride pixels.
struct PixelBuffer {
    uint32_t* pixels;
    int width;
    int height;
    int stride;
};

// A DC drawing into buffer, whose pixels are device pixels at a scale of
// quarters (see device_scale.h). (origin_x, origin_y) is where the painted
// window's client point (0, 0) lies in the top-level client area, and clip
// is in that area's coordinates, both logical. At scale 1 logical and
// device pixels are the same. The DC starts with the system font, black
// text, an opaque white background mode and no brush or pen of note.
HDC create_dc(PixelBuffer* buffer, int origin_x, int origin_y, const RECT& clip, int quarters = unit_quarters);
void delete_dc(HDC dc);

// Everything the DC drew since it was made, in device pixels; an empty
// rectangle when it drew nothing. The window layer presents this area.
RECT dc_drawn_area(HDC dc);

// The focus rectangle of a bevelled control: its dots lie lines line widths
// inside r, so at every scale they clear the bevel's lines exactly as they
// do at scale 1.
void draw_focus_inside(HDC dc, const RECT& r, int lines);

// A picture of size x size 0xAARRGGBB pixels (alpha 0 clear, any other
// opaque) over the logical rectangle r: pixel for pixel where r is that
// size on the device, the nearest pixel where it is not.
void draw_picture(HDC dc, const RECT& r, const uint32_t* pixels, int size);

}  // namespace gdi
