// Glyphs kept between runs: the glyph size a font chose and the printable
// ASCII glyphs as FreeType rasterised them, in a file of the user's cache
// folder ($XDG_CACHE_HOME/sorvane, else ~/.cache/sorvane), so that a start
// neither measures nor hints nor rasterises them again. A file serves only
// the face file (path, device, inode, size, modification time), em and
// FreeType version it was written for; anything else about it, a short or
// damaged file included, makes it unused and it is written anew.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/posix/gdi/font.h"

namespace gdi {

// The first and last character a cache holds.
constexpr unsigned char first_cached = 0x20;
constexpr unsigned char last_cached = 0x7E;

struct GlyphCacheKey {
    std::string file;
    int em = 0;
    int freetype_version[3] = {};
};

// Fills glyph_em and glyphs[first_cached..last_cached] (glyphs has 256
// slots) from the cache; false, leaving both as they were, when there is
// no usable one.
bool read_glyph_cache(const GlyphCacheKey& key, int* glyph_em, std::vector<std::unique_ptr<Glyph>>* glyphs);

// Writes them for key, replacing the file whole; quietly nothing where the
// cache folder cannot be written.
void write_glyph_cache(const GlyphCacheKey& key, int glyph_em, const std::vector<std::unique_ptr<Glyph>>& glyphs);

// The same without the file, for the fuzz target. The key as a file holds
// it, empty when the face file is not there.
std::string glyph_cache_key_bytes(const GlyphCacheKey& key);
bool parse_glyph_cache(const std::string& file, const std::string& key_bytes, int* glyph_em,
                       std::vector<std::unique_ptr<Glyph>>* glyphs);
std::string format_glyph_cache(const std::string& key_bytes, int glyph_em,
                               const std::vector<std::unique_ptr<Glyph>>& glyphs);

}  // namespace gdi
