// Why the compositor could not be used or was lost, in words for standard
// error: the protocol error with its object, the system's error, or the
// globals a window needs that the compositor does not offer.
#include "platform/posix/display/wayland/connection.h"

#include <errno.h>
#include <string.h>

namespace display::wayland {

std::string connection_failure(int error, const char* interface, uint32_t id, uint32_t code) {
    if (error == EPROTO) {
        return "protocol error " + std::to_string(code) + " on " + (interface != nullptr ? interface : "an object") +
               "@" + std::to_string(id);
    }
    // libwayland reads an end of file as EPIPE.
    if (error == EPIPE || error == 0) {
        return "the compositor closed the connection";
    }
    return std::string("the connection to the compositor broke (") + strerror(error) + ")";
}

std::string missing_globals(const Connection& c) {
    const struct {
        bool offered;
        const char* name;
    } needed[] = {
        {c.compositor != nullptr, wl_compositor_interface.name},
        {c.shm != nullptr, wl_shm_interface.name},
        {c.wm_base != nullptr, xdg_wm_base_interface.name},
    };
    std::string missing;
    for (const auto& global : needed) {
        if (!global.offered) {
            missing += (missing.empty() ? "" : ", ") + std::string(global.name);
        }
    }
    return missing.empty() ? missing : "the compositor offers no " + missing;
}

void lose_connection(int error) {
    Connection& c = connection();
    if (c.broken) {
        return;
    }
    c.broken = true;
    const int display_error = c.display != nullptr ? wl_display_get_error(c.display) : 0;
    const wl_interface* interface = nullptr;
    uint32_t id = 0, code = 0;
    if (display_error == EPROTO) {
        code = wl_display_get_protocol_error(c.display, &interface, &id);
    }
    c.failure = connection_failure(display_error != 0 ? display_error : error,
                                   interface != nullptr ? interface->name : nullptr, id, code);
}

}  // namespace display::wayland
