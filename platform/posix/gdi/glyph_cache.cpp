// The glyph cache's file: a header (magic, payload length, checksum), then
// the key, the face's metrics and each glyph's box, advance and coverage.
#include "platform/posix/gdi/glyph_cache.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "platform/posix/gdi/cache_folder.h"
#include "platform/posix/gdi/cache_record.h"

namespace gdi {

namespace {

const char magic[cache_magic_size] = {'S', 'O', 'R', 'V', 'G', 'C', '0', '2'};
// Far above what 95 glyphs of a user-interface size take.
constexpr size_t max_file = 1 << 20;
constexpr int max_side = 512;
constexpr size_t max_family = 256;

}  // namespace

std::string glyph_cache_key_bytes(const GlyphCacheKey& key) {
    std::string identity;
    if (!append_file_identity(key.file, &identity)) {
        return std::string();
    }
    std::string out;
    put<int32_t>(&out, key.em);
    put<int32_t>(&out, key.glyph_em);
    put<int64_t>(&out, key.scaled);
    put<int32_t>(&out, key.embolden);
    put<uint64_t>(&out, key.recipe);
    for (int part : key.freetype_version) {
        put<int32_t>(&out, part);
    }
    out += identity;
    put<uint32_t>(&out, static_cast<uint32_t>(key.file.size()));
    out += key.file;
    return out;
}

std::string glyph_cache_path(const GlyphCacheKey& key) {
    const std::string folder = cache_folder();
    if (folder.empty()) {
        return std::string();
    }
    // One file per face, em and variant; a changed recipe or FreeType
    // writes over it.
    std::string variant = key.file;
    put<int32_t>(&variant, key.glyph_em);
    put<int64_t>(&variant, key.scaled);
    put<int32_t>(&variant, key.embolden);
    char name[96];
    snprintf(name, sizeof name, "/glyphs-%s-%016llx-%d.bin", cache_architecture,
             static_cast<unsigned long long>(fnv1a(variant.data(), variant.size())), key.em);
    return folder + name;
}

namespace {

bool plausible(int value) {
    return value >= -max_side && value <= max_side;
}

bool take_glyph(const std::string& in, size_t* at, Glyph* g) {
    int32_t box[5];
    for (int32_t& value : box) {
        if (!take(in, at, &value)) {
            return false;
        }
    }
    // Drawing adds these to device coordinates: kept far from overflow.
    for (const int32_t value : {box[0], box[1], box[4]}) {
        if (value < -max_side || value > max_side) {
            return false;
        }
    }
    if (box[2] < 0 || box[3] < 0 || box[2] > max_side || box[3] > max_side) {
        return false;
    }
    const size_t size = static_cast<size_t>(box[2]) * static_cast<size_t>(box[3]);
    if (in.size() - *at < size) {
        return false;
    }
    g->left = box[0];
    g->top = box[1];
    g->width = box[2];
    g->height = box[3];
    g->advance = box[4];
    g->coverage.assign(in.begin() + static_cast<ptrdiff_t>(*at), in.begin() + static_cast<ptrdiff_t>(*at + size));
    *at += size;
    return true;
}

}  // namespace

bool parse_glyph_cache(const std::string& file, const std::string& key_bytes, FaceMetrics* metrics,
                       std::vector<std::unique_ptr<Glyph>>* glyphs) {
    size_t at = cache_header_size;
    if (key_bytes.empty() || !is_cache_record(file, magic) || file.compare(at, key_bytes.size(), key_bytes) != 0) {
        return false;
    }
    at += key_bytes.size();
    int32_t values[6];
    for (int32_t& value : values) {
        if (!take(file, &at, &value) || !plausible(value)) {
            return false;
        }
    }
    uint32_t family_size = 0;
    if (values[0] <= 0 || values[5] < 0 || values[5] > 1 || !take(file, &at, &family_size) ||
        family_size > max_family || file.size() - at < family_size) {
        return false;
    }
    FaceMetrics read_metrics;
    read_metrics.glyph_em = values[0];
    read_metrics.ascent = values[1];
    read_metrics.descent = values[2];
    read_metrics.average_width = values[3];
    read_metrics.max_width = values[4];
    read_metrics.scalable = values[5] == 1;
    read_metrics.family = file.substr(at, family_size);
    at += family_size;
    std::vector<std::unique_ptr<Glyph>> read(256);
    for (int c = first_cached; c <= last_cached; ++c) {
        read[c] = std::make_unique<Glyph>();
        if (!take_glyph(file, &at, read[c].get())) {
            return false;
        }
    }
    if (at != file.size()) {
        return false;
    }
    *metrics = read_metrics;
    for (int c = first_cached; c <= last_cached; ++c) {
        (*glyphs)[c] = std::move(read[c]);
    }
    return true;
}

std::string format_glyph_cache(const std::string& key_bytes, const FaceMetrics& metrics,
                               const std::vector<std::unique_ptr<Glyph>>& glyphs) {
    std::string payload = key_bytes;
    for (int value : {metrics.glyph_em, metrics.ascent, metrics.descent, metrics.average_width, metrics.max_width,
                      metrics.scalable ? 1 : 0}) {
        put<int32_t>(&payload, value);
    }
    put<uint32_t>(&payload, static_cast<uint32_t>(metrics.family.size()));
    payload += metrics.family;
    for (int c = first_cached; c <= last_cached; ++c) {
        const Glyph empty;
        const Glyph& g = glyphs[c] ? *glyphs[c] : empty;
        for (int value : {g.left, g.top, g.width, g.height, g.advance}) {
            put<int32_t>(&payload, value);
        }
        payload.append(reinterpret_cast<const char*>(g.coverage.data()), g.coverage.size());
    }
    return seal_cache_record(magic, payload);
}

bool read_glyph_cache(const GlyphCacheKey& key, FaceMetrics* metrics, std::vector<std::unique_ptr<Glyph>>* glyphs) {
    const std::string path = glyph_cache_path(key);
    std::string file;
    return !path.empty() && read_cache_file(path, max_file, &file) &&
           parse_glyph_cache(file, glyph_cache_key_bytes(key), metrics, glyphs);
}

void write_glyph_cache(const GlyphCacheKey& key, const FaceMetrics& metrics,
                       const std::vector<std::unique_ptr<Glyph>>& glyphs) {
    const std::string path = glyph_cache_path(key);
    const std::string key_bytes = glyph_cache_key_bytes(key);
    if (path.empty() || key_bytes.empty() || metrics.family.size() > max_family) {
        return;
    }
    write_cache_file(path, format_glyph_cache(key_bytes, metrics, glyphs));
}

}  // namespace gdi
