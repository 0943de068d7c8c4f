// The cache files' header and a file's identity.
#include "platform/posix/gdi/cache_record.h"

#include <sys/stat.h>

namespace gdi {

uint64_t fnv1a(const char* data, size_t size) {
    uint64_t hash = 14695981039346656037ull;
    for (size_t i = 0; i < size; ++i) {
        hash = (hash ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
    }
    return hash;
}

std::string seal_cache_record(const char (&magic)[cache_magic_size], const std::string& payload) {
    std::string record(magic, cache_magic_size);
    put<uint32_t>(&record, static_cast<uint32_t>(payload.size()));
    put<uint64_t>(&record, fnv1a(payload.data(), payload.size()));
    return record + payload;
}

bool is_cache_record(const std::string& bytes, const char (&magic)[cache_magic_size]) {
    if (bytes.size() < cache_header_size || memcmp(bytes.data(), magic, cache_magic_size) != 0) {
        return false;
    }
    size_t at = cache_magic_size;
    uint32_t length = 0;
    uint64_t checksum = 0;
    take(bytes, &at, &length);
    take(bytes, &at, &checksum);
    return length == bytes.size() - cache_header_size && fnv1a(bytes.data() + cache_header_size, length) == checksum;
}

bool append_file_identity(const std::string& path, std::string* out) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        return false;
    }
    put<uint64_t>(out, info.st_dev);
    put<uint64_t>(out, info.st_ino);
    put<int64_t>(out, info.st_size);
    put<int64_t>(out, info.st_mtim.tv_sec);
    put<int64_t>(out, info.st_mtim.tv_nsec);
    return true;
}

}  // namespace gdi
