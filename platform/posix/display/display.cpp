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
const WaitHook* wait_hook = nullptr;
constexpr int max_hook_fds = 4;

}  // namespace

void set_wait_hook(const WaitHook* hook) {
    wait_hook = hook;
}

int poll_with_hook(pollfd* own, int count, int timeout_ms, bool* served) {
    *served = false;
    const WaitHook* hook = wait_hook;
    pollfd fds[8];
    int hook_count = 0;
    int wait = timeout_ms;
    if (hook != nullptr && count + max_hook_fds <= 8) {
        int hook_wait = -1;
        hook_count = hook->prepare(fds + count, max_hook_fds, &hook_wait);
        if (hook_wait >= 0 && (wait < 0 || hook_wait < wait)) {
            wait = hook_wait;
        }
    }
    for (int i = 0; i < count; i++) {
        fds[i] = own[i];
    }
    int ready = poll(fds, static_cast<nfds_t>(count + hook_count), wait);
    if (ready < 0) {
        return ready;
    }
    int own_ready = 0;
    for (int i = 0; i < count; i++) {
        own[i].revents = fds[i].revents;
        own_ready += fds[i].revents != 0;
    }
    // The prepare call may have uninstalled the hook (the bus went away).
    if (hook != nullptr && wait_hook == hook && (hook_count > 0 || wait != timeout_ms)) {
        hook->dispatch(fds + count, hook_count);
        *served = true;
    }
    return own_ready;
}

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

const Backend& current() {
    if (installed != nullptr) {
        return *installed;
    }
    BackendKind order[2];
    const char* wayland_display = getenv("WAYLAND_DISPLAY");
    int count = backends_to_try(getenv("SORVANE_DISPLAY"),
                                wayland_socket_present(wayland_display, getenv("XDG_RUNTIME_DIR")), order);
    for (int i = 0; i < count && installed == nullptr; i++) {
        installed = order[i] == BackendKind::Wayland ? open_wayland_module() : open_x11();
    }
    if (installed == nullptr) {
        if (count == 1 && order[0] == BackendKind::Wayland) {
            fprintf(stderr, "%s: cannot open Wayland display \"%s\"\n", program_invocation_short_name,
                    wayland_display != nullptr && wayland_display[0] != '\0' ? wayland_display : "wayland-0");
        } else {
            const char* name = getenv("DISPLAY");
            fprintf(stderr, "%s: cannot open display \"%s\"\n", program_invocation_short_name,
                    name != nullptr ? name : "");
        }
        fflush(stderr);
        _Exit(1);
    }
    return *installed;
}

}  // namespace display
