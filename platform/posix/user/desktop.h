// The window layer's one state object. Every mutable piece of USER32 lives
// here, reached through desktop(); no file of user/ keeps its own.
//
// The platform keeps the first group per thread (a thread's message queue
// and its input state) and the second per process or per desktop. The
// process has one thread that makes windows, so both groups belong to it:
// another thread may touch none of this until the first group is split off
// per thread.
#pragma once

#include <stdint.h>

#include <deque>
#include <map>
#include <vector>

#include "platform/posix/gdi/dc.h"
#include "platform/posix/user/window.h"

namespace user {

struct QueuedMessage {
    MSG msg;
    int key_vk;  // a key message's change to the key state, applied when taken
    bool key_down;
};

struct LastClick {
    HWND hwnd;
    int button;
    uint32_t time;
    POINT at;
};

struct Desktop {
    // Per thread: the queue and what the thread's input reached.
    std::deque<QueuedMessage> queue;
    bool quit_pending = false;
    int quit_code = 0;
    uint32_t clock_ms = 0;  // the time of the input last queued
    // Every change of a window comes with a message sent to it: while this
    // stands still, what the accessibility provider last described holds.
    uint64_t messages_sent = 0;
    // Invariants: the focus is the active window or inside it, or null;
    // each is null or a live window, cleared as its window goes
    // (forget_focus_of), so capture ends with its window.
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
    unsigned char sync_keys[256] = {};  // as of the message last taken (GetKeyState)
    char typed[256] = {};               // the character each key typed when last pressed
    LastClick last_click{};
    POINT last_pointer{-100000, -100000};

    // Per process (or per desktop on the platform).
    POINT cursor{0, 0};
    unsigned char async_keys[256] = {};  // as input arrives
    // A deque keeps every class at its address while windows point at it.
    std::deque<WindowClass> classes;
    ATOM next_atom = 0xC000;
    bool system_classes = false;  // the layer's own registered
    std::vector<HWND> top_level;  // the topmost first
    // Which top-level window each open DC draws into; null for the screen DC.
    std::map<HDC, HWND> open_dcs;
    // The screen has no pixels of ours: a DC over it measures but draws nothing.
    uint32_t screen_pixel = 0;
    gdi::PixelBuffer screen_buffer{&screen_pixel, 1, 1, 1};

    Desktop() = default;
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;
};

// Made on first use (desktop.cpp).
Desktop& desktop();
bool desktop_made();
// Forgets the state without destroying a window: drop_desktop's last step.
void forget_desktop();
// Destroys every window, closes every open DC and forgets the rest, so the
// next desktop() starts fresh: what a test ends with (desktop_reset.cpp).
void drop_desktop();
// The invariants above, for tests.
bool desktop_consistent();

}  // namespace user
