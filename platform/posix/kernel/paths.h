// Win32 names to Linux paths: either separator, drive Z: as the root, and
// names matched without regard to ASCII case, one component at a time.
#pragma once

#include <sys/stat.h>

#include <string>

#include "platform/posix/win32_kernel.h"

namespace kernel {

struct ResolvedPath {
    std::string path;         // the Linux path, existing components as spelled on disk
    std::string last;         // the last component as it stands in path ("" for the root)
    bool parent_exists;       // every folder above the last component exists
    bool exists;              // the last component exists as well
    bool trailing_separator;  // the name ended with a separator
    struct stat st;           // the last component's status, when it exists
};

inline bool is_separator(char c) {
    return c == '\\' || c == '/';
}

// Resolves a name; false with ERROR_PATH_NOT_FOUND or ERROR_INVALID_NAME when
// it cannot name anything (null, empty, another drive, forbidden characters).
bool resolve_path(const char* name, ResolvedPath* out);

// The entry of the Linux folder that the name matches: the exact spelling
// when present, otherwise the first case-insensitive match in sorted order;
// with its status in *st when st is given (false when it went meanwhile).
bool match_entry(const std::string& folder, const std::string& name, std::string* found, struct stat* st = nullptr);

bool equal_ignoring_case(const std::string& a, const std::string& b);

}  // namespace kernel
