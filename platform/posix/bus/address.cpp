// Bus addresses: "transport:key=value,key=value;another", values escaped.
#include "platform/posix/bus/address.h"

#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include "platform/posix/bus/percent_escapes.h"

namespace bus {

namespace {

bool fill(const std::string& path, bool abstract, SocketAddress* out) {
    const size_t offset = abstract ? 1 : 0;
    if (path.empty() || path.size() + offset + 1 > sizeof out->un.sun_path ||
        (!abstract && memchr(path.data(), 0, path.size()) != nullptr)) {
        return false;
    }
    *out = SocketAddress();
    out->un.sun_family = AF_UNIX;
    memcpy(out->un.sun_path + offset, path.data(), path.size());
    out->length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
    return true;
}

// One "unix:..." entry.
bool unix_entry(const std::string& entry, SocketAddress* out) {
    if (entry.compare(0, 5, "unix:") != 0) {
        return false;
    }
    for (size_t start = 5; start < entry.size();) {
        size_t end = entry.find(',', start);
        end = end == std::string::npos ? entry.size() : end;
        const std::string pair = entry.substr(start, end - start);
        start = end + 1;
        const size_t equals = pair.find('=');
        if (equals == std::string::npos) {
            continue;
        }
        const std::string key = pair.substr(0, equals);
        std::string value;
        if ((key == "path" || key == "abstract") && percent_decoded(pair.substr(equals + 1), &value)) {
            return fill(value, key == "abstract", out);
        }
    }
    return false;
}

}  // namespace

bool unix_socket_of(const std::string& address, SocketAddress* out) {
    for (size_t start = 0; start < address.size();) {
        size_t end = address.find(';', start);
        end = end == std::string::npos ? address.size() : end;
        if (unix_entry(address.substr(start, end - start), out)) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

bool session_bus_socket(SocketAddress* out) {
    if (const char* address = getenv("DBUS_SESSION_BUS_ADDRESS")) {
        return unix_socket_of(address, out);
    }
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    return runtime != nullptr && *runtime != '\0' && fill(std::string(runtime) + "/bus", false, out);
}

}  // namespace bus
