// Arbitrary bytes as the glyph cache file of a real key, through the
// parser the cache reader uses. Whatever it accepts must be well-formed and
// must be the file the writer makes of what it read; whatever it refuses
// leaves the font as it was. The first byte chooses how the rest is taken:
// even, as the whole file; odd, as what follows the key, framed here with a
// true header and the key, so that the glyphs are reached past the checksum.
#include <stdint.h>
#include <stdio.h>

#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/posix/gdi/glyph_cache.h"

namespace {

const int most_side = 512;  // what a box may hold, either way from the pen
std::string key;

uint64_t checksum(const std::string& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    return hash;
}

std::string framed(const std::string& after_key) {
    const std::string payload = key + after_key;
    const uint32_t length = static_cast<uint32_t>(payload.size());
    const uint64_t sum = checksum(payload);
    return std::string("SORVGC01") + std::string(reinterpret_cast<const char*>(&length), sizeof length) +
           std::string(reinterpret_cast<const char*>(&sum), sizeof sum) + payload;
}

bool within(int value, int low, int high) {
    return value >= low && value <= high;
}

void check_accepted(int glyph_em, const std::vector<std::unique_ptr<gdi::Glyph>>& glyphs) {
    fuzz::require(within(glyph_em, 1, most_side), "the glyph size is positive and plausible");
    for (int c = 0; c < 256; ++c) {
        const bool cached = c >= gdi::first_cached && c <= gdi::last_cached;
        fuzz::require((glyphs[c] != nullptr) == cached, "exactly the cached characters are filled in");
        if (!cached) {
            continue;
        }
        const gdi::Glyph& g = *glyphs[c];
        fuzz::require(within(g.width, 0, most_side) && within(g.height, 0, most_side), "the box's size");
        fuzz::require(within(g.left, -most_side, most_side) && within(g.top, -most_side, most_side), "the box's place");
        fuzz::require(within(g.advance, -most_side, most_side), "the advance");
        fuzz::require(g.coverage.size() == static_cast<size_t>(g.width) * static_cast<size_t>(g.height),
                      "coverage of width * height");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::start_in_private_folder();
    fuzz::put_file("face.ttf", "not read, only its identity is");
    gdi::GlyphCacheKey real;
    real.file = fuzz::private_folder() + "/face.ttf";
    real.em = 13;
    real.freetype_version[0] = 2;
    real.freetype_version[1] = 12;
    real.freetype_version[2] = 1;
    key = gdi::glyph_cache_key_bytes(real);
    fuzz::require(!key.empty(), "the key of a face file that is there");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string file = (data[0] & 1) ? framed(rest) : rest;
    int glyph_em = -7;
    std::vector<std::unique_ptr<gdi::Glyph>> glyphs(256);
    if (!gdi::parse_glyph_cache(file, key, &glyph_em, &glyphs)) {
        fuzz::require(glyph_em == -7, "a refused file leaves the glyph size");
        for (const std::unique_ptr<gdi::Glyph>& g : glyphs) {
            fuzz::require(g == nullptr, "a refused file leaves the glyphs");
        }
        return 0;
    }
    check_accepted(glyph_em, glyphs);
    const std::string again = gdi::format_glyph_cache(key, glyph_em, glyphs);
    if (again != file) {
        fuzz::mismatch("the file written of what was read", std::to_string(file.size()) + " bytes",
                       std::to_string(again.size()) + " bytes");
    }
    return 0;
}
