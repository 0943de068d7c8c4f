// Glyphs kept between runs: a font's metrics, the glyph size it chose and
// the printable ASCII glyphs as FreeType rasterised them, in a file of the
// cache folder (cache_folder.h), so that a start neither loads FreeType
// nor measures, hints or rasterises. A file serves only the key it was
// written for: the face file (path, device, inode, size, modification
// time), the em, a size or widening asked for, the render recipe (how the
// glyphs are made: FreeType's load flags, render mode, the shrink rule)
// and FreeType's version; anything else about it, a short or damaged file
// included, makes it unused and it is written anew. The file's name holds
// the build's architecture.
#pragma once

#include <stdint.h>

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
    int glyph_em = 0;  // a glyph size given, or 0: chosen by measuring
    long scaled = 0;   // 26.6 pixels drawn at for a device scale, or 0
    int embolden = 0;  // FreeType's widening asked for, 26.6
    uint64_t recipe = 0;
    int freetype_version[3] = {};
};

// What a font measured of its face, kept with its glyphs.
struct FaceMetrics {
    int glyph_em = 0;
    int ascent = 0;
    int descent = 0;
    int average_width = 0;
    int max_width = 0;
    bool scalable = false;
    std::string family;
};

// Fills metrics and glyphs[first_cached..last_cached] (glyphs has 256
// slots) from the cache; false, leaving both as they were, when there is
// no usable one.
bool read_glyph_cache(const GlyphCacheKey& key, FaceMetrics* metrics, std::vector<std::unique_ptr<Glyph>>* glyphs);

// Writes them for key, replacing the file whole; quietly nothing where the
// cache folder cannot be written.
void write_glyph_cache(const GlyphCacheKey& key, const FaceMetrics& metrics,
                       const std::vector<std::unique_ptr<Glyph>>& glyphs);

// The file's path for key; empty without a cache folder.
std::string glyph_cache_path(const GlyphCacheKey& key);

// The same without the file, for the fuzz target. The key as a file holds
// it, empty when the face file is not there.
std::string glyph_cache_key_bytes(const GlyphCacheKey& key);
bool parse_glyph_cache(const std::string& file, const std::string& key_bytes, FaceMetrics* metrics,
                       std::vector<std::unique_ptr<Glyph>>* glyphs);
std::string format_glyph_cache(const std::string& key_bytes, const FaceMetrics& metrics,
                               const std::vector<std::unique_ptr<Glyph>>& glyphs);

}  // namespace gdi
