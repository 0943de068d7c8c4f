// The glyph cache's file: a header (magic, payload length, checksum), then
// the key, the glyph size and each glyph's box, advance and coverage.
#include "platform/posix/gdi/glyph_cache.h"

#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gdi {

namespace {

const char magic[8] = {'S', 'O', 'R', 'V', 'G', 'C', '0', '1'};
constexpr size_t header_size = sizeof magic + 4 + 8;
// Far above what 95 glyphs of a user-interface size take.
constexpr size_t max_file = 1 << 20;
constexpr int max_side = 512;

uint64_t fnv1a(const char* data, size_t size) {
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
    }
    return hash;
}

template <typename T>
void put(std::string* out, T value) {
    out->append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
bool take(const std::string& in, size_t* at, T* value) {
    if (in.size() - *at < sizeof *value) {
        return false;
    }
    memcpy(value, in.data() + *at, sizeof *value);
    *at += sizeof *value;
    return true;
}

}  // namespace

std::string glyph_cache_key_bytes(const GlyphCacheKey& key) {
    struct stat info;
    if (stat(key.file.c_str(), &info) != 0) {
        return std::string();
    }
    std::string out;
    put<int32_t>(&out, key.em);
    for (int part : key.freetype_version) {
        put<int32_t>(&out, part);
    }
    put<uint64_t>(&out, info.st_dev);
    put<uint64_t>(&out, info.st_ino);
    put<int64_t>(&out, info.st_size);
    put<int64_t>(&out, info.st_mtim.tv_sec);
    put<int64_t>(&out, info.st_mtim.tv_nsec);
    put<uint32_t>(&out, static_cast<uint32_t>(key.file.size()));
    out += key.file;
    return out;
}

namespace {

std::string cache_folder() {
    const char* cache_home = getenv("XDG_CACHE_HOME");
    if (cache_home != nullptr && cache_home[0] == '/') {
        return std::string(cache_home) + "/sorvane";
    }
    const char* home = getenv("HOME");
    return home != nullptr && home[0] == '/' ? std::string(home) + "/.cache/sorvane" : std::string();
}

std::string cache_path(const GlyphCacheKey& key) {
    const std::string folder = cache_folder();
    if (folder.empty()) {
        return std::string();
    }
    char name[64];
    snprintf(name, sizeof name, "/glyphs-%016llx-%d.bin",
             static_cast<unsigned long long>(fnv1a(key.file.data(), key.file.size())), key.em);
    return folder + name;
}

bool read_whole(const std::string& path, std::string* out) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info;
    bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
              static_cast<size_t>(info.st_size) <= max_file;
    if (ok) {
        out->resize(static_cast<size_t>(info.st_size));
        size_t got = 0;
        while (got < out->size()) {
            const ssize_t n = read(fd, &(*out)[got], out->size() - got);
            if (n <= 0) {
                break;
            }
            got += static_cast<size_t>(n);
        }
        ok = got == out->size();
    }
    close(fd);
    return ok;
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

// Makes the folder and its parent, as the cache folder may not exist yet.
bool make_folder(const std::string& folder) {
    const size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        mkdir(folder.substr(0, slash).c_str(), 0700);
    }
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

bool parse_glyph_cache(const std::string& file, const std::string& key_bytes, int* glyph_em,
                       std::vector<std::unique_ptr<Glyph>>* glyphs) {
    if (key_bytes.empty() || file.size() < header_size || memcmp(file.data(), magic, sizeof magic) != 0) {
        return false;
    }
    size_t at = sizeof magic;
    uint32_t length = 0;
    uint64_t checksum = 0;
    take(file, &at, &length);
    take(file, &at, &checksum);
    if (length != file.size() - header_size || fnv1a(file.data() + header_size, length) != checksum ||
        file.compare(at, key_bytes.size(), key_bytes) != 0) {
        return false;
    }
    at += key_bytes.size();
    int32_t size = 0;
    if (!take(file, &at, &size) || size <= 0 || size > max_side) {
        return false;
    }
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
    *glyph_em = size;
    for (int c = first_cached; c <= last_cached; ++c) {
        (*glyphs)[c] = std::move(read[c]);
    }
    return true;
}

std::string format_glyph_cache(const std::string& key_bytes, int glyph_em,
                               const std::vector<std::unique_ptr<Glyph>>& glyphs) {
    std::string payload = key_bytes;
    put<int32_t>(&payload, glyph_em);
    for (int c = first_cached; c <= last_cached; ++c) {
        const Glyph empty;
        const Glyph& g = glyphs[c] ? *glyphs[c] : empty;
        for (int value : {g.left, g.top, g.width, g.height, g.advance}) {
            put<int32_t>(&payload, value);
        }
        payload.append(reinterpret_cast<const char*>(g.coverage.data()), g.coverage.size());
    }
    std::string file(magic, sizeof magic);
    put<uint32_t>(&file, static_cast<uint32_t>(payload.size()));
    put<uint64_t>(&file, fnv1a(payload.data(), payload.size()));
    return file + payload;
}

bool read_glyph_cache(const GlyphCacheKey& key, int* glyph_em, std::vector<std::unique_ptr<Glyph>>* glyphs) {
    const std::string path = cache_path(key);
    std::string file;
    return !path.empty() && read_whole(path, &file) &&
           parse_glyph_cache(file, glyph_cache_key_bytes(key), glyph_em, glyphs);
}

void write_glyph_cache(const GlyphCacheKey& key, int glyph_em, const std::vector<std::unique_ptr<Glyph>>& glyphs) {
    const std::string path = cache_path(key);
    const std::string key_bytes = glyph_cache_key_bytes(key);
    if (path.empty() || key_bytes.empty() || !make_folder(path.substr(0, path.rfind('/')))) {
        return;
    }
    const std::string file = format_glyph_cache(key_bytes, glyph_em, glyphs);
    // Written aside and renamed over, so that a reader sees one whole file.
    const std::string aside = path + "." + std::to_string(getpid());
    const int fd = open(aside.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    size_t done = 0;
    while (done < file.size()) {
        const ssize_t n = write(fd, file.data() + done, file.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<size_t>(n);
    }
    const bool whole = close(fd) == 0 && done == file.size();
    if (!whole || rename(aside.c_str(), path.c_str()) != 0) {
        unlink(aside.c_str());
    }
}

}  // namespace gdi
