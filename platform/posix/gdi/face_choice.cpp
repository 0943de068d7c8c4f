// The kept choice of faces: a header (magic, payload length, checksum),
// then the environment, the choice and each path with its identity.
#include "platform/posix/gdi/face_choice.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "platform/posix/gdi/cache_folder.h"
#include "platform/posix/gdi/cache_record.h"

namespace gdi {

namespace {

const char magic[cache_magic_size] = {'S', 'O', 'R', 'V', 'F', 'C', '0', '1'};
constexpr size_t max_file = 1 << 20;
constexpr size_t max_text = 4096;
constexpr uint32_t max_depends = 4096;

const char* const environment_read[] = {
    "HOME",           "XDG_DATA_HOME", "XDG_CONFIG_HOME", "FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT",
    "LD_LIBRARY_PATH"};

void put_text(std::string* out, const std::string& text) {
    put<uint32_t>(out, static_cast<uint32_t>(text.size()));
    *out += text;
}

bool take_text(const std::string& in, size_t* at, std::string* text) {
    uint32_t size = 0;
    if (!take(in, at, &size) || size > max_text || in.size() - *at < size) {
        return false;
    }
    text->assign(in, *at, size);
    *at += size;
    return true;
}

// A variable's value, with whether it is set at all.
std::string environment() {
    std::string out;
    for (const char* name : environment_read) {
        const char* value = getenv(name);
        out += value != nullptr ? '=' : '-';
        put_text(&out, value != nullptr ? value : "");
    }
    return out;
}

// What a path is now: absent, or its device, inode, size and time.
std::string identity(const std::string& path) {
    std::string out = "+";
    return append_file_identity(path, &out) ? out : "-";
}

std::string choice_path(const std::string& environment_bytes) {
    const std::string folder = cache_folder();
    if (folder.empty()) {
        return std::string();
    }
    char name[64];
    snprintf(name, sizeof name, "/faces-%s-%016llx.bin", cache_architecture,
             static_cast<unsigned long long>(fnv1a(environment_bytes.data(), environment_bytes.size())));
    return folder + name;
}

}  // namespace

std::string format_face_choice(const FaceChoice& choice) {
    std::string payload = environment();
    put_text(&payload, choice.regular);
    put_text(&payload, choice.family);
    put_text(&payload, choice.bold);
    for (int part : choice.freetype_version) {
        put<int32_t>(&payload, part);
    }
    put<uint32_t>(&payload, static_cast<uint32_t>(choice.depends.size()));
    for (const std::string& path : choice.depends) {
        put_text(&payload, path);
        payload += identity(path);
    }
    return seal_cache_record(magic, payload);
}

bool parse_face_choice(const std::string& bytes, FaceChoice* choice) {
    size_t at = cache_header_size;
    const std::string now = environment();
    if (!is_cache_record(bytes, magic) || bytes.compare(at, now.size(), now) != 0) {
        return false;
    }
    at += now.size();
    FaceChoice read;
    uint32_t count = 0;
    bool ok = take_text(bytes, &at, &read.regular) && take_text(bytes, &at, &read.family) &&
              take_text(bytes, &at, &read.bold);
    for (int& part : read.freetype_version) {
        int32_t value = 0;
        ok = ok && take(bytes, &at, &value);
        part = value;
    }
    ok = ok && take(bytes, &at, &count) && count <= max_depends;
    for (uint32_t i = 0; ok && i < count; ++i) {
        std::string path;
        ok = take_text(bytes, &at, &path);
        if (!ok) {
            break;
        }
        // Only what the path is now serves: a face or folder changed since
        // makes the choice stale.
        const std::string is = identity(path);
        ok = bytes.compare(at, is.size(), is) == 0;
        at += is.size();
        read.depends.push_back(path);
    }
    if (!ok || at != bytes.size()) {
        return false;
    }
    *choice = read;
    return true;
}

bool read_face_choice(FaceChoice* choice) {
    const std::string path = choice_path(environment());
    std::string bytes;
    return !path.empty() && read_cache_file(path, max_file, &bytes) && parse_face_choice(bytes, choice);
}

void write_face_choice(const FaceChoice& choice) {
    const std::string path = choice_path(environment());
    // The folder first: making it changes its parent's time, and the
    // parent may be one the choice rests on (a home holding fonts.conf).
    if (!path.empty() && make_cache_folder(path.substr(0, path.rfind('/')))) {
        write_cache_file(path, format_face_choice(choice));
    }
}

}  // namespace gdi
