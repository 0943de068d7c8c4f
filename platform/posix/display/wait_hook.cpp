// The wait hooks: what else the program waits on beside the display, polled
// with the backend's own descriptors.
#include "platform/posix/display/display.h"
#include "platform/posix/display/module_imports.h"

namespace display {

namespace {

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

}  // namespace display

int sorvane_poll_with_hook(struct pollfd* own, int count, int timeout_ms, int* served) {
    bool hook_served = false;
    const int ready = display::poll_with_hook(own, count, timeout_ms, &hook_served);
    *served = hook_served ? 1 : 0;
    return ready;
}
