// Arbitrary bytes as the glyph cache file of a real key, or as the kept
// choice of faces, through the parsers the cache readers use. Whatever they
// accept must be well-formed and must be the file the writer makes of what
// was read; whatever they refuse leaves the font or choice as it was. The
// first byte chooses how the rest is taken: bit 1 set, as a choice of faces
// (framed with a true header when bit 0 is set too); else even, as the
// whole glyph file; odd, as what follows the key, framed here with a true
// header and the key, so that the glyphs are reached past the checksum.
#include <stdint.h>
#include <stdio.h>

#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/posix/gdi/face_choice.h"
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

std::string framed(const char* magic, const std::string& payload) {
    const uint32_t length = static_cast<uint32_t>(payload.size());
    const uint64_t sum = checksum(payload);
    return std::string(magic) + std::string(reinterpret_cast<const char*>(&length), sizeof length) +
           std::string(reinterpret_cast<const char*>(&sum), sizeof sum) + payload;
}

void check_choice(const std::string& file) {
    gdi::FaceChoice choice;
    choice.regular = "untouched";
    if (!gdi::parse_face_choice(file, &choice)) {
        fuzz::require(choice.regular == "untouched" && choice.depends.empty(), "a refused choice leaves it");
        return;
    }
    const std::string again = gdi::format_face_choice(choice);
    if (again != file) {
        fuzz::mismatch("the choice written of what was read", std::to_string(file.size()) + " bytes",
                       std::to_string(again.size()) + " bytes");
    }
}

bool within(int value, int low, int high) {
    return value >= low && value <= high;
}

void check_accepted(const gdi::FaceMetrics& metrics, const std::vector<std::unique_ptr<gdi::Glyph>>& glyphs) {
    fuzz::require(within(metrics.glyph_em, 1, most_side), "the glyph size is positive and plausible");
    for (int value : {metrics.ascent, metrics.descent, metrics.average_width, metrics.max_width}) {
        fuzz::require(within(value, -most_side, most_side), "the metrics");
    }
    fuzz::require(metrics.family.size() <= 256, "the family's name");
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
    real.recipe = 0x0001000000800011ull;
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
    if (data[0] & 2) {
        check_choice((data[0] & 1) ? framed("SORVFC01", rest) : rest);
        return 0;
    }
    const std::string file = (data[0] & 1) ? framed("SORVGC02", key + rest) : rest;
    gdi::FaceMetrics metrics;
    metrics.glyph_em = -7;
    std::vector<std::unique_ptr<gdi::Glyph>> glyphs(256);
    if (!gdi::parse_glyph_cache(file, key, &metrics, &glyphs)) {
        fuzz::require(metrics.glyph_em == -7 && metrics.family.empty(), "a refused file leaves the metrics");
        for (const std::unique_ptr<gdi::Glyph>& g : glyphs) {
            fuzz::require(g == nullptr, "a refused file leaves the glyphs");
        }
        return 0;
    }
    check_accepted(metrics, glyphs);
    const std::string again = gdi::format_glyph_cache(key, metrics, glyphs);
    if (again != file) {
        fuzz::mismatch("the file written of what was read", std::to_string(file.size()) + " bytes",
                       std::to_string(again.size()) + " bytes");
    }
    return 0;
}
