// The one message queue: posted messages and input in arrival order, then
// WM_QUIT, then WM_PAINT for windows with an invalid area. The key state
// follows each key message as it is taken.
#include <deque>

#include "platform/posix/user/window.h"

namespace user {

namespace {

struct Queued {
    MSG msg;
    int key_vk;  // a key message's change to the key state, applied when taken
    bool key_down;
};

std::deque<Queued>& queue() {
    static std::deque<Queued> q;
    return q;
}

bool quit_pending = false;
int quit_code = 0;
uint32_t clock_ms = 0;
POINT cursor{0, 0};

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
    if (quit_pending && (low == 0 && high == 0 ? true : (WM_QUIT >= low && WM_QUIT <= high))) {
        *out = MSG{};
        out->message = WM_QUIT;
        out->wParam = static_cast<WPARAM>(quit_code);
        out->time = clock_ms;
        out->pt = cursor;
        if (remove) {
            quit_pending = false;
        }
        return true;
    }
    HWND paint = nullptr;
    if ((low == 0 && high == 0) || (WM_PAINT >= low && WM_PAINT <= high)) {
        if (find_window_to_paint(filter == reinterpret_cast<HWND>(-1) ? nullptr : filter, &paint)) {
            *out = MSG{};
            out->hwnd = paint;
            out->message = WM_PAINT;
            out->time = clock_ms;
            out->pt = cursor;
            return true;
        }
    }
    return false;
}

void post_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, uint32_t time, int key_vk, bool key_down) {
    if (time != 0) {
        clock_ms = time;
    }
    Queued entry{};
    entry.msg.hwnd = hwnd;
    entry.msg.message = message;
    entry.msg.wParam = wparam;
    entry.msg.lParam = lparam;
    entry.msg.time = clock_ms;
    entry.msg.pt = cursor;
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
    return clock_ms;
}

void set_cursor_position(POINT screen) {
    cursor = screen;
}

void post_quit(int code) {
    quit_pending = true;
    quit_code = code;
}

}  // namespace user
