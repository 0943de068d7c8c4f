// What the glyph cache's and the face choice's files share: a checksummed
// header, fields as their bytes, and a file's identity, which tells whether
// the file a record rests on is still the one it was made from.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

namespace gdi {

constexpr size_t cache_magic_size = 8;
// The magic, the payload's length (32 bits) and its checksum (64 bits).
constexpr size_t cache_header_size = cache_magic_size + 4 + 8;

uint64_t fnv1a(const char* data, size_t size);

template <typename T>
void put(std::string* out, T value) {
    out->append(reinterpret_cast<const char*>(&value), sizeof value);
}

// False, with *at unmoved, when fewer bytes than a T are left.
template <typename T>
bool take(const std::string& in, size_t* at, T* value) {
    if (in.size() - *at < sizeof *value) {
        return false;
    }
    memcpy(value, in.data() + *at, sizeof *value);
    *at += sizeof *value;
    return true;
}

// The header, then the payload.
std::string seal_cache_record(const char (&magic)[cache_magic_size], const std::string& payload);
// Whether the bytes are one whole record of that magic, its checksum
// matching; the payload starts at cache_header_size.
bool is_cache_record(const std::string& bytes, const char (&magic)[cache_magic_size]);

// Appends the file's device, inode, size and modification time; false,
// appending nothing, when it cannot be stat'ed.
bool append_file_identity(const std::string& path, std::string* out);

}  // namespace gdi
