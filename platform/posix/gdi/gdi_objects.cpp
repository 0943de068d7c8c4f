// Brushes, pens and fonts: the stock set and the ones callers create.
// Selecting and deleting them, which must see the DCs, is selection.cpp's,
// so that DCs build on objects and objects know nothing of DCs.
#include "platform/posix/gdi/gdi_objects.h"

#include <memory>

#include "platform/posix/gdi/font.h"
#include "platform/posix/gdi/shared.h"
#include "platform/posix/kernel/handles.h"

namespace gdi {

namespace {

// DEFAULT_GUI_FONT is 8 points at 96 dots per inch.
constexpr int gui_font_em = 11;
constexpr int system_font_em = 13;

// Null when the handle table is full.
Object* make_object(ObjectKind kind, bool stock, COLORREF colour) {
    Object* object = new Object{kind, stock, false, colour, 1, nullptr, nullptr};
    object->handle = kernel::insert_handle(kernel::HandleKind::GdiObject, object);
    if (object->handle == nullptr) {
        delete object;
        return nullptr;
    }
    return object;
}

HGDIOBJ handle_of(const Object* object) {
    return object != nullptr ? object->handle : nullptr;
}

// Null, as make_object is, when the handle table is full.
Object* stock_font(const Font* font) {
    Object* object = make_object(ObjectKind::Font, true, 0);
    if (object != nullptr) {
        object->font = font;
    }
    return object;
}

Object* stock_hollow(ObjectKind kind) {
    Object* object = make_object(kind, true, 0);
    if (object != nullptr) {
        object->hollow = true;
    }
    return object;
}

// The stock set, made whole on first use (see Shared).
Object** stock_table() {
    Shared& state = shared();
    Object** table = state.stock;
    if (state.stock_complete) {
        return table;
    }
    struct Plain {
        int index;
        ObjectKind kind;
        COLORREF colour;
    };
    static const Plain plain[] = {
        {WHITE_BRUSH, ObjectKind::Brush, RGB(255, 255, 255)}, {LTGRAY_BRUSH, ObjectKind::Brush, RGB(192, 192, 192)},
        {GRAY_BRUSH, ObjectKind::Brush, RGB(128, 128, 128)},  {DKGRAY_BRUSH, ObjectKind::Brush, RGB(64, 64, 64)},
        {BLACK_BRUSH, ObjectKind::Brush, RGB(0, 0, 0)},       {WHITE_PEN, ObjectKind::Pen, RGB(255, 255, 255)},
        {BLACK_PEN, ObjectKind::Pen, RGB(0, 0, 0)},
    };
    for (const Plain& p : plain) {
        if (table[p.index] == nullptr) {
            table[p.index] = make_object(p.kind, true, p.colour);
        }
    }
    if (table[NULL_BRUSH] == nullptr) {
        table[NULL_BRUSH] = stock_hollow(ObjectKind::Brush);
    }
    if (table[NULL_PEN] == nullptr) {
        table[NULL_PEN] = stock_hollow(ObjectKind::Pen);
    }
    if (table[DEFAULT_GUI_FONT] == nullptr) {
        table[DEFAULT_GUI_FONT] = stock_font(gui_font());
    }
    if (table[SYSTEM_FONT] == nullptr) {
        // The system font's face is opened when text first needs it.
        table[SYSTEM_FONT] = stock_font(nullptr);
    }
    // The fixed and ANSI fonts (and DEFAULT_PALETTE among them, as a font).
    for (int i = OEM_FIXED_FONT; i <= SYSTEM_FIXED_FONT; ++i) {
        table[i] = table[SYSTEM_FONT];
    }
    table[ANSI_VAR_FONT] = table[DEFAULT_GUI_FONT];
    bool complete = true;
    for (const Plain& p : plain) {
        complete = complete && table[p.index] != nullptr;
    }
    state.stock_complete =
        complete && table[NULL_BRUSH] && table[NULL_PEN] && table[DEFAULT_GUI_FONT] && table[SYSTEM_FONT];
    return table;
}

}  // namespace

const Font* gui_font() {
    Shared& state = shared();
    if (state.gui_font == nullptr) {
        state.gui_font = Font::open(gui_font_em);
    }
    return state.gui_font.get();
}

const Font* system_font() {
    Shared& state = shared();
    if (state.system_font == nullptr) {
        state.system_font = Font::open(system_font_em);
    }
    return state.system_font.get();
}

HFONT caption_font(bool* bold) {
    Shared& state = shared();
    if (state.caption_font == nullptr) {
        state.caption_font = gui_font()->open_bold();
    }
    if (state.caption_object == nullptr) {
        state.caption_object = stock_font(state.caption_font.get());
    }
    if (state.caption_object == nullptr) {
        *bold = false;
        return static_cast<HFONT>(handle_of(stock_table()[DEFAULT_GUI_FONT]));
    }
    *bold = state.caption_font->bold();
    return static_cast<HFONT>(state.caption_object->handle);
}

Object* find_any_object(HGDIOBJ h) {
    stock_table();
    return static_cast<Object*>(kernel::peek_handle(h, kernel::HandleKind::GdiObject));
}

Object* find_object(HGDIOBJ h, ObjectKind kind) {
    Object* object = find_any_object(h);
    return object && object->kind == kind ? object : nullptr;
}

bool brush_colour(HBRUSH brush, COLORREF* colour) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(brush);
    if (value >= 1 && value <= sys_colour_count) {
        *colour = GetSysColor(static_cast<int>(value - 1));
        return true;
    }
    const Object* object = find_object(brush, ObjectKind::Brush);
    if (!object || object->hollow) {
        return false;
    }
    *colour = object->colour;
    return true;
}

}  // namespace gdi

using gdi::Object;
using gdi::ObjectKind;

HGDIOBJ WINAPI GetStockObject(int i) {
    if (i < 0 || i >= gdi::stock_count) {
        return nullptr;
    }
    return gdi::handle_of(gdi::stock_table()[i]);
}

HBRUSH WINAPI GetSysColorBrush(int nIndex) {
    Object** brushes = gdi::shared().system_brushes;
    if (nIndex < 0 || nIndex >= gdi::sys_colour_count) {
        return nullptr;
    }
    if (!brushes[nIndex]) {
        brushes[nIndex] = gdi::make_object(ObjectKind::Brush, true, GetSysColor(nIndex));
    }
    return static_cast<HBRUSH>(gdi::handle_of(brushes[nIndex]));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
    gdi::stock_table();
    return static_cast<HBRUSH>(gdi::handle_of(gdi::make_object(ObjectKind::Brush, false, color & 0xFFFFFF)));
}

HPEN WINAPI CreatePen(int iStyle, int cWidth, COLORREF color) {
    gdi::stock_table();
    Object* pen = gdi::make_object(ObjectKind::Pen, false, color & 0xFFFFFF);
    if (pen == nullptr) {
        return nullptr;
    }
    pen->pen_width = cWidth > 1 ? cWidth : 1;
    pen->hollow = iStyle == PS_NULL;
    return static_cast<HPEN>(pen->handle);
}
