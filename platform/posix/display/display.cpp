// Chooses the display backend on first need.
#include "platform/posix/display/display.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

namespace display {

// Defined by x11/backend.cpp: connects to the server that DISPLAY names, or gives
// null when there is none.
const Backend* open_x11();

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

void install(const Backend* backend) {
    installed = backend;
}

const Backend& current() {
    if (installed == nullptr) {
        installed = open_x11();
        if (installed == nullptr) {
            const char* name = getenv("DISPLAY");
            fprintf(stderr, "%s: cannot open display \"%s\"\n", program_invocation_short_name,
                    name != nullptr ? name : "");
            fflush(stderr);
            _Exit(1);
        }
    }
    return *installed;
}

}  // namespace display
