// Chooses the display backend on first need.
#include "platform/posix/display/display.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>

#include "platform/posix/display/choice.h"
#include "platform/posix/display/wayland_module.h"
#include "platform/posix/display/x11/x11.h"

namespace display {

namespace {

const Backend* installed = nullptr;

}  // namespace

int backends_to_try(const char* requested, bool wayland_socket, BackendKind out[2]) {
    if (requested != nullptr && strcmp(requested, "x11") == 0) {
        out[0] = BackendKind::X11;
        return 1;
    }
    if (requested != nullptr && strcmp(requested, "wayland") == 0) {
        out[0] = BackendKind::Wayland;
        return 1;
    }
    // A compositor that does not answer leaves X11, which may be its XWayland.
    int count = 0;
    if (wayland_socket) {
        out[count++] = BackendKind::Wayland;
    }
    out[count++] = BackendKind::X11;
    return count;
}

bool wayland_socket_present(const char* wayland_display, const char* runtime_dir) {
    if (wayland_display != nullptr && wayland_display[0] != '\0') {
        return true;
    }
    if (runtime_dir == nullptr || runtime_dir[0] == '\0') {
        return false;
    }
    std::string path = std::string(runtime_dir) + "/wayland-0";
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

void install(const Backend* backend) {
    installed = backend;
}

const Backend* installed_backend() {
    return installed;
}

const Backend& current() {
    if (installed != nullptr) {
        return *installed;
    }
    BackendKind order[2];
    const char* wayland_display = getenv("WAYLAND_DISPLAY");
    int count = backends_to_try(getenv("SORVANE_DISPLAY"),
                                wayland_socket_present(wayland_display, getenv("XDG_RUNTIME_DIR")), order);
    char reasons[2][256] = {};
    for (int i = 0; i < count && installed == nullptr; i++) {
        installed = order[i] == BackendKind::Wayland ? open_wayland_module(reasons[i], sizeof reasons[i])
                                                     : open_x11(reasons[i], sizeof reasons[i]);
    }
    if (installed != nullptr) {
        return *installed;
    }
    for (int i = 0; i < count; i++) {
        if (order[i] == BackendKind::Wayland) {
            const bool named = wayland_display != nullptr && wayland_display[0] != '\0';
            fprintf(stderr, "%s: cannot open Wayland display \"%s\": %s\n", program_invocation_short_name,
                    named ? wayland_display : "wayland-0", reasons[i]);
        } else {
            const char* name = getenv("DISPLAY");
            fprintf(stderr, "%s: cannot open display \"%s\": %s\n", program_invocation_short_name,
                    name != nullptr ? name : "", reasons[i]);
        }
    }
    fflush(stderr);
    _Exit(1);
}

}  // namespace display
