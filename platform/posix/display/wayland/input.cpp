// The wait for input: what the compositor sent is translated into the
// queue, what the window layer drew goes out first, and the wait wakes for
// the compositor or for a held key's next repeat.
#include <errno.h>
#include <poll.h>

#include "platform/posix/display/module_imports.h"
#include "platform/posix/display/wayland/connection.h"
#include "platform/posix/display/wayland/wayland.h"

namespace display::wayland {

namespace {

bool check(int result) {
    Connection& c = connection();
    if (result < 0 || wl_display_get_error(c.display) != 0) {
        lose_connection(errno);
    }
    return !c.broken;
}

// Sends what is queued for the compositor, waiting while its socket is full.
bool flush(Connection& c) {
    while (wl_display_flush(c.display) < 0) {
        if (errno != EAGAIN) {
            lose_connection(errno);
            return false;
        }
        pollfd out = {wl_display_get_fd(c.display), POLLOUT, 0};
        if (poll(&out, 1, -1) < 0 && errno != EINTR) {
            lose_connection(errno);
            return false;
        }
    }
    return true;
}

// Reads and dispatches what arrives within wait_ms (negative: no limit);
// *served when the wait hook was dispatched instead.
bool read_events(Connection& c, int wait_ms, bool* served) {
    while (wl_display_prepare_read(c.display) != 0) {
        if (!check(wl_display_dispatch_pending(c.display))) {
            return false;
        }
    }
    if (!flush(c)) {
        wl_display_cancel_read(c.display);
        return false;
    }
    pollfd in = {wl_display_get_fd(c.display), POLLIN, 0};
    int hook_served = 0;
    int ready = sorvane_poll_with_hook(&in, 1, wait_ms, &hook_served);
    *served = hook_served != 0;
    if (ready > 0 && (in.revents & (POLLIN | POLLERR | POLLHUP))) {
        if (!check(wl_display_read_events(c.display))) {
            return false;
        }
    } else {
        wl_display_cancel_read(c.display);
        if (ready < 0 && errno != EINTR) {
            lose_connection(errno);
            return false;
        }
    }
    return check(wl_display_dispatch_pending(c.display));
}

}  // namespace

bool next_input_within(Input* input, int timeout_ms) {
    Connection& c = connection();
    const int64_t deadline = timeout_ms < 0 ? 0 : now_ms() + timeout_ms;
    for (;;) {
        if (!c.queue.empty()) {
            *input = c.queue.front();
            c.queue.pop_front();
            return true;
        }
        if (c.display == nullptr || c.broken) {
            return false;
        }
        // The window layer asks only when it has nothing left to do, so
        // what it drew goes out now, as one frame.
        commit_frames();
        // The keymap the first frame did not wait for, while it is shown.
        if (c.frame_committed) {
            ready_keymap();
        }
        const int64_t now = now_ms();
        int wait = run_repeat(now);
        if (!c.queue.empty()) {
            continue;
        }
        if (timeout_ms >= 0) {
            int64_t left = deadline - now;
            if (left <= 0) {
                *input = Input();
                return true;
            }
            wait = wait < 0 || left < wait ? static_cast<int>(left) : wait;
        }
        bool served = false;
        if (!read_events(c, wait, &served)) {
            return false;
        }
        if (served && c.queue.empty()) {
            *input = Input();
            return true;
        }
    }
}

bool next_input(Input* input) {
    return next_input_within(input, -1);
}

}  // namespace display::wayland
