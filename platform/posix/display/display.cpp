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
constexpr int most_hooks = 2;
const WaitHook* wait_hooks[most_hooks] = {};
constexpr int max_hook_fds = 4;

bool installed_hook(const WaitHook* hook) {
    for (const WaitHook* h : wait_hooks) {
        if (h == hook) {
            return true;
        }
    }
    return false;
}

}  // namespace

void add_wait_hook(const WaitHook* hook) {
    if (hook == nullptr || installed_hook(hook)) {
        return;
    }
    for (const WaitHook*& slot : wait_hooks) {
        if (slot == nullptr) {
            slot = hook;
            return;
        }
    }
}

void remove_wait_hook(const WaitHook* hook) {
    for (const WaitHook*& slot : wait_hooks) {
        if (slot == hook) {
            slot = nullptr;
        }
    }
}

int poll_with_hook(pollfd* own, int count, int timeout_ms, bool* served) {
    *served = false;
    constexpr int most_own = 8;
    constexpr int most_fds = most_own + most_hooks * max_hook_fds;
    if (count > most_own) {
        return poll(own, static_cast<nfds_t>(count), timeout_ms);
    }
    pollfd fds[most_fds];
    struct Prepared {
        const WaitHook* hook;
        int first, count;
        bool timed;  // it shortened the wait
    } prepared[most_hooks] = {};
    int used = count;
    int wait = timeout_ms;
    // A snapshot: a prepare call may remove its hook (the bus went away).
    const WaitHook* hooks[most_hooks];
    for (int i = 0; i < most_hooks; i++) {
        hooks[i] = wait_hooks[i];
    }
    for (int i = 0; i < most_hooks; i++) {
        if (hooks[i] == nullptr || used + max_hook_fds > most_fds) {
            continue;
        }
        int hook_wait = -1;
        const int n = hooks[i]->prepare(fds + used, max_hook_fds, &hook_wait);
        const bool timed = hook_wait >= 0 && (wait < 0 || hook_wait < wait);
        if (timed) {
            wait = hook_wait;
        }
        prepared[i] = Prepared{hooks[i], used, n, timed};
        used += n;
    }
    for (int i = 0; i < count; i++) {
        fds[i] = own[i];
    }
    int ready = poll(fds, static_cast<nfds_t>(used), wait);
    if (ready < 0) {
        return ready;
    }
    int own_ready = 0;
    for (int i = 0; i < count; i++) {
        own[i].revents = fds[i].revents;
        own_ready += fds[i].revents != 0;
    }
    for (const Prepared& p : prepared) {
        if (p.hook != nullptr && installed_hook(p.hook) && (p.count > 0 || p.timed)) {
            p.hook->dispatch(fds + p.first, p.count);
            *served = true;
        }
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
