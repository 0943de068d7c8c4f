// The part of FreeType the fonts use, declared by its own headers and
// loaded with dlopen on first need: a start whose glyphs all come from the
// glyph cache never maps FreeType, nor the zlib, libpng and brotli it
// brings.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

namespace gdi {

// clang-format off
#define SORVANE_FREETYPE_CALLS(X) \
    X(FT_Init_FreeType) \
    X(FT_Library_Version) \
    X(FT_New_Face) \
    X(FT_Done_Face) \
    X(FT_Set_Pixel_Sizes) \
    X(FT_Set_Char_Size) \
    X(FT_Load_Char) \
    X(FT_Render_Glyph) \
    X(FT_Get_Glyph) \
    X(FT_Done_Glyph) \
    X(FT_Glyph_To_Bitmap) \
    X(FT_Outline_EmboldenXY) \
    X(FT_Get_Sfnt_Table)
// clang-format on

// The calls by their own names, so that the code reads as FreeType's.
struct FreeTypeCalls {
#define SORVANE_FREETYPE_MEMBER(name) decltype(&::name) name;
    SORVANE_FREETYPE_CALLS(SORVANE_FREETYPE_MEMBER)
#undef SORVANE_FREETYPE_MEMBER
};

// The loaded library, or null when it cannot be had (then text has blank
// glyphs of a plausible width). Loaded once.
const FreeTypeCalls* freetype_calls();

// The file the library was loaded from, once loaded; empty before.
const char* freetype_file();

}  // namespace gdi
