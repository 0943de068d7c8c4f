// Reading, writing and ageing the font cache's files.
#include "platform/posix/gdi/cache_folder.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace gdi {

#if defined(__x86_64__)
const char cache_architecture[] = "x86_64";
#elif defined(__aarch64__)
const char cache_architecture[] = "aarch64";
#elif defined(__i386__)
const char cache_architecture[] = "i386";
#elif defined(__arm__)
const char cache_architecture[] = "arm";
#elif defined(__riscv) && __riscv_xlen == 64
const char cache_architecture[] = "riscv64";
#elif defined(__powerpc64__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
const char cache_architecture[] = "ppc64el";
#else
// Unknown: the byte order and word size at least.
const char cache_architecture[] = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? (sizeof(void*) == 8 ? "le64" : "le32")
                                                                            : (sizeof(void*) == 8 ? "be64" : "be32");
#endif

namespace {

constexpr long long day_seconds = 24 * 60 * 60;
// A writer takes milliseconds; an aside file this old is a crash's.
constexpr long long aside_stale_seconds = 60 * 60;
const char aside_suffix[] = ".aside";
// Our files' names begin with one of these (see glyph_cache.cpp, face_choice.cpp).
const char* const our_prefixes[] = {"glyphs-", "faces-"};

// The marker backup tools know (bford.net/cachedir).
const char cachedir_tag[] =
    "Signature: 8a477f597d28d172789f06886806bc55\n"
    "# This file is a cache directory tag created by sorvane.\n"
    "# For information about cache directory tags see https://bford.net/cachedir/\n";

bool write_all(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

bool make_cache_folder(const std::string& folder) {
    const size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        mkdir(folder.substr(0, slash).c_str(), 0700);
    }
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    const std::string tag = folder + "/CACHEDIR.TAG";
    if (access(tag.c_str(), F_OK) != 0) {
        const int fd = open(tag.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            write_all(fd, cachedir_tag);
            close(fd);
        }
    }
    return true;
}

namespace {

bool ours(const char* name) {
    for (const char* prefix : our_prefixes) {
        if (strncmp(name, prefix, strlen(prefix)) == 0) {
            return true;
        }
    }
    return false;
}

bool ends_with(const char* name, const char* suffix) {
    const size_t n = strlen(name), s = strlen(suffix);
    return n >= s && strcmp(name + n - s, suffix) == 0;
}

// An aside file opened exclusively: one a crash left (older than any
// writer takes) is removed and the open tried once more; one being written
// now is left to its writer, who writes the same.
int open_aside(const std::string& aside) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = open(aside.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
        struct stat info;
        if (lstat(aside.c_str(), &info) != 0 || time(nullptr) - info.st_mtime < aside_stale_seconds ||
            unlink(aside.c_str()) != 0) {
            return -1;
        }
    }
    return -1;
}

}  // namespace

std::string cache_folder() {
    const char* cache_home = getenv("XDG_CACHE_HOME");
    if (cache_home != nullptr && cache_home[0] == '/') {
        return std::string(cache_home) + "/sorvane";
    }
    const char* home = getenv("HOME");
    return home != nullptr && home[0] == '/' ? std::string(home) + "/.cache/sorvane" : std::string();
}

bool read_cache_file(const std::string& path, size_t most, std::string* out) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info;
    bool ok =
        fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 && static_cast<size_t>(info.st_size) <= most;
    if (ok) {
        out->resize(static_cast<size_t>(info.st_size));
        size_t got = 0;
        while (got < out->size()) {
            const ssize_t n = read(fd, &(*out)[got], out->size() - got);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            got += static_cast<size_t>(n);
        }
        ok = got == out->size();
    }
    // Used: the time pruning goes by, set only once a day so that a start
    // seldom writes; atime is not kept on many mounts.
    if (ok && time(nullptr) - info.st_mtime > day_seconds) {
        futimens(fd, nullptr);
    }
    close(fd);
    return ok;
}

void prune_cache_folder(const std::string& folder, long long before) {
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) {
        return;
    }
    const long long now = time(nullptr);
    while (const dirent* entry = readdir(listing)) {
        if (!ours(entry->d_name)) {
            continue;
        }
        const bool aside = ends_with(entry->d_name, aside_suffix);
        struct stat info;
        if (fstatat(dirfd(listing), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            (aside ? now - info.st_mtime > aside_stale_seconds : info.st_mtime < before)) {
            unlinkat(dirfd(listing), entry->d_name, 0);
        }
    }
    closedir(listing);
}

bool write_cache_file(const std::string& path, const std::string& bytes) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || !make_cache_folder(path.substr(0, slash))) {
        return false;
    }
    prune_cache_folder(path.substr(0, slash), static_cast<long long>(time(nullptr)) - cache_keep_seconds);
    const std::string aside = path + "." + std::to_string(getpid()) + aside_suffix;
    const int fd = open_aside(aside);
    if (fd < 0) {
        return false;
    }
    const bool whole = write_all(fd, bytes);
    if (close(fd) != 0 || !whole || rename(aside.c_str(), path.c_str()) != 0) {
        unlink(aside.c_str());
        return false;
    }
    return true;
}

}  // namespace gdi
