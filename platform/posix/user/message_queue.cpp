// The one message queue: posted messages and input in arrival order, then
// WM_QUIT, then WM_PAINT for windows with an invalid area. The key state
// follows each key message as it is taken.
#include <deque>

#include "platform/posix/user/desktop.h"

namespace user {

namespace {

std::deque<QueuedMessage>& queue() {
    return desktop().queue;
}

bool matches(const MSG& msg, HWND filter, UINT low, UINT high) {
    if (filter != nullptr && filter != reinterpret_cast<HWND>(-1) && msg.hwnd != filter && !IsChild(filter, msg.hwnd)) {
        return false;
    }
    if (filter == reinterpret_cast<HWND>(-1) && msg.hwnd != nullptr) {
        return false;
    }
    if (low == 0 && high == 0) {
        return true;
    }
    return msg.message >= low && msg.message <= high;
}

}  // namespace

// Takes (or looks at) the first queued message that passes the filter,
// else WM_QUIT, else a WM_PAINT. False when none is ready.
bool take_ready(MSG* out, HWND filter, UINT low, UINT high, bool remove) {
    auto& q = queue();
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (matches(it->msg, filter, low, high)) {
            *out = it->msg;
            if (remove) {
                if (it->key_vk != 0) {
                    apply_key(it->key_vk, it->key_down);
                }
                q.erase(it);
            }
            return true;
        }
    }
    if (desktop().quit_pending && (low == 0 && high == 0 ? true : (WM_QUIT >= low && WM_QUIT <= high))) {
        *out = MSG{};
        out->message = WM_QUIT;
        out->wParam = static_cast<WPARAM>(desktop().quit_code);
        out->time = desktop().clock_ms;
        out->pt = desktop().cursor;
        if (remove) {
            desktop().quit_pending = false;
        }
        return true;
    }
    HWND paint = nullptr;
    if ((low == 0 && high == 0) || (WM_PAINT >= low && WM_PAINT <= high)) {
        if (find_window_to_paint(filter == reinterpret_cast<HWND>(-1) ? nullptr : filter, &paint)) {
            *out = MSG{};
            out->hwnd = paint;
            out->message = WM_PAINT;
            out->time = desktop().clock_ms;
            out->pt = desktop().cursor;
            return true;
        }
    }
    return false;
}

void post_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, uint32_t time, int key_vk, bool key_down) {
    if (time != 0) {
        desktop().clock_ms = time;
    }
    QueuedMessage entry{};
    entry.msg.hwnd = hwnd;
    entry.msg.message = message;
    entry.msg.wParam = wparam;
    entry.msg.lParam = lparam;
    entry.msg.time = desktop().clock_ms;
    entry.msg.pt = desktop().cursor;
    entry.key_vk = key_vk;
    entry.key_down = key_down;
    queue().push_back(entry);
}

void forget_messages(HWND hwnd) {
    auto& q = queue();
    for (auto it = q.begin(); it != q.end();) {
        if (it->msg.hwnd == hwnd) {
            // The key state still changes, as the key really moved.
            if (it->key_vk != 0) {
                apply_key(it->key_vk, it->key_down);
            }
            it = q.erase(it);
        } else {
            ++it;
        }
    }
}

uint32_t message_time() {
    return desktop().clock_ms;
}

void set_cursor_position(POINT screen) {
    desktop().cursor = screen;
}

void post_quit(int code) {
    desktop().quit_pending = true;
    desktop().quit_code = code;
}

}  // namespace user
