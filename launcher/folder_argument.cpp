// A folder argument: file managers pass a path for %f, a file:// URI where
// they hand URIs on.
#include "launcher/launcher.h"
#include "platform/posix/bus/percent_escapes.h"

namespace launcher {

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
    // A NUL cannot stand in a path.
    std::string path;
    if (!bus::percent_decoded(argument.substr(path_start), &path) || path.find('\0') != std::string::npos) {
        return false;
    }
    *folder = path;
    return true;
}

}  // namespace launcher
