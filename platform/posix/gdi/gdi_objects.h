// GDI objects (brushes, pens, fonts) behind their handles, for the drawing
// calls. Handles come from the layer's one handle table.
#pragma once

#include "platform/win32.h"

namespace gdi {

class Font;

enum class ObjectKind { Brush, Pen, Font };

struct Object {
    ObjectKind kind;
    bool stock;       // never deleted
    bool hollow;      // NULL_BRUSH: paints nothing
    COLORREF colour;  // brush and pen colour
    int pen_width;
    const Font* font;  // fonts only; null for the stock system font
    HGDIOBJ handle;
};

// The live object behind h, of that kind; null for anything else.
Object* find_object(HGDIOBJ h, ObjectKind kind);
Object* find_any_object(HGDIOBJ h);

// The colour a brush paints, with FillRect's convention that a system colour
// index + 1 stands for that colour's brush. False for a bad or hollow brush.
bool brush_colour(HBRUSH brush, COLORREF* colour);

// The stock fonts.
const Font* gui_font();
const Font* system_font();

// The caption's font, never deleted: DEFAULT_GUI_FONT's family in bold,
// opened on first call, which only a caption the layer draws makes.
// *bold is false where no bold could be had (the caller draws it twice);
// DEFAULT_GUI_FONT itself when the handle table is full.
HFONT caption_font(bool* bold);

}  // namespace gdi
