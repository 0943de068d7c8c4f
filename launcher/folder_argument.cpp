// A folder argument: file managers pass a path for %f, a file:// URI where
// they hand URIs on.
#include <string.h>

#include "launcher/launcher.h"

namespace launcher {

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

bool folder_of_argument(const std::string& argument, std::string* folder) {
    const std::string scheme = "file://";
    if (argument.compare(0, scheme.size(), scheme) != 0) {
        if (argument.empty() || argument.find("://") != std::string::npos) {
            return false;
        }
        *folder = argument;
        return true;
    }
    const size_t path_start = argument.find('/', scheme.size());
    const std::string host = argument.substr(scheme.size(), path_start - scheme.size());
    if (path_start == std::string::npos || !(host.empty() || host == "localhost")) {
        return false;
    }
    std::string path;
    for (size_t i = path_start; i < argument.size(); i++) {
        if (argument[i] != '%') {
            path.push_back(argument[i]);
            continue;
        }
        const int high = i + 2 < argument.size() ? hex_digit(argument[i + 1]) : -1;
        const int low = high >= 0 ? hex_digit(argument[i + 2]) : -1;
        if (low < 0 || (high == 0 && low == 0)) {
            return false;
        }
        path.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    *folder = path;
    return true;
}

}  // namespace launcher
