// The seat's keyboard: the compositor's keymap through xkbcommon, compiled
// only once the first frame is out or a key comes, keys to virtual keys and
// the characters they type as the X11 backend gives them, held keys
// repeated at the compositor's rate, and the keyboard's focus.
#include <errno.h>
#include <stdio.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

#include "platform/posix/display/virtual_keys.h"
#include "platform/posix/display/wayland/connection.h"
#include "platform/posix/display/wayland/xkbcommon_library.h"
#include "platform/posix/win32_user.h"

namespace display::wayland {

namespace {

// evdev codes are the keymap's less this.
constexpr uint32_t evdev_offset = 8;

// Kept as text: compiling it takes longer than drawing the window, and
// no key needs it before the first frame (ready_keymap).
void on_keymap(void*, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    Connection& c = connection();
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || size == 0) {
        ::close(fd);
        return;
    }
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (text == MAP_FAILED) {
        return;
    }
    // Without the NUL that ends it.
    c.keymap_text.assign(static_cast<const char*>(text), size - 1);
    munmap(text, size);
}

void queue_focus(SurfaceId id, InputKind kind) {
    Input input;
    input.kind = kind;
    input.surface = id;
    queue_input(input);
}

void on_leave(void*, wl_keyboard*, uint32_t, wl_surface* from) {
    Connection& c = connection();
    c.repeat.key = 0;
    c.keyboard_surface = 0;
    if (Surface* surface = surface_of(from)) {
        queue_focus(surface->id, InputKind::FocusOut);
    }
}

bool queue_key(uint32_t key, bool pressed, uint32_t time) {
    Connection& c = connection();
    ready_keymap();
    Input input;
    if (c.key_state == nullptr || c.keyboard_surface == 0 || !translate_key(c.key_state, key, pressed, time, &input)) {
        return false;
    }
    input.surface = c.keyboard_surface;
    queue_input(input);
    return true;
}

void follow_key(uint32_t key, bool pressed, uint32_t time) {
    Connection& c = connection();
    queue_key(key, pressed, time);
    if (pressed && c.keymap != nullptr && c.repeat.rate > 0 &&
        xkbcommon()->xkb_keymap_key_repeats(c.keymap, key + evdev_offset)) {
        c.repeat.key = key;
        c.repeat.next_ms = now_ms() + c.repeat.delay_ms;
    } else if (!pressed && c.repeat.key == key) {
        c.repeat.key = 0;
    }
}

void on_key(void*, wl_keyboard*, uint32_t, uint32_t time, uint32_t key, uint32_t state) {
    follow_key(key, state == WL_KEYBOARD_KEY_STATE_PRESSED, time);
}

// Keys held as focus arrives are not pressed on the window, as on Windows;
// but a keyboard that appears with a key down (a virtual one, a remote
// desktop's) came for that key, and its press is only in this list.
void on_enter(void*, wl_keyboard*, uint32_t, wl_surface* on, wl_array* keys) {
    Connection& c = connection();
    Surface* surface = surface_of(on);
    c.keyboard_surface = surface != nullptr ? surface->id : 0;
    if (surface == nullptr) {
        return;
    }
    queue_focus(surface->id, InputKind::FocusIn);
    if (c.keyboard_new) {
        const uint32_t* held = static_cast<const uint32_t*>(keys->data);
        for (size_t i = 0; i < keys->size / sizeof(uint32_t); i++) {
            follow_key(held[i], true, static_cast<uint32_t>(now_ms()));
        }
    }
    c.keyboard_new = false;
}

void on_modifiers(void*, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched, uint32_t locked,
                  uint32_t group) {
    ready_keymap();
    if (xkb_state* state = connection().key_state) {
        xkbcommon()->xkb_state_update_mask(state, depressed, latched, locked, 0, 0, group);
    }
}

void on_repeat_info(void*, wl_keyboard*, int32_t rate, int32_t delay) {
    Repeat& repeat = connection().repeat;
    repeat.rate = rate > 0 ? rate : 0;
    repeat.delay_ms = delay > 0 ? delay : 0;
}

const wl_keyboard_listener keyboard_listener = {on_keymap, on_enter, on_leave, on_key, on_modifiers, on_repeat_info};

bool is_keypad_digit(xkb_keysym_t sym) {
    return (sym >= XKB_KEY_KP_0 && sym <= XKB_KEY_KP_9) || sym == XKB_KEY_KP_Decimal;
}

}  // namespace

void ready_keymap() {
    Connection& c = connection();
    if (c.keymap_text.empty()) {
        return;
    }
    std::string text;
    text.swap(c.keymap_text);
    std::string why;
    const XkbCalls* xkb = xkbcommon(&why);
    if (xkb == nullptr) {
        if (!c.keymap_failed) {
            c.keymap_failed = true;
            fprintf(stderr, "%s: the keyboard cannot be read: %s\n", program_invocation_short_name, why.c_str());
            fflush(stderr);
        }
        return;
    }
    if (c.xkb == nullptr) {
        c.xkb = xkb->xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    }
    xkb_keymap* keymap = c.xkb != nullptr
                             ? xkb->xkb_keymap_new_from_buffer(c.xkb, text.data(), text.size(),
                                                               XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS)
                             : nullptr;
    if (keymap == nullptr) {
        return;
    }
    drop_keymap(c);
    c.keymap = keymap;
    c.key_state = xkb->xkb_state_new(keymap);
}

bool translate_key(xkb_state* state, uint32_t key, bool pressed, uint32_t time, Input* input) {
    const XkbCalls& xkb = *xkbcommon();
    const xkb_keycode_t code = key + evdev_offset;
    xkb_keymap* keymap = xkb.xkb_state_get_keymap(state);
    const xkb_keysym_t sym = xkb.xkb_state_key_get_one_sym(state, code);
    // The key's own symbol, unshifted, names the key: shift+Tab is still Tab
    // and shift+a is still A. The keypad's digits depend on Num Lock.
    const xkb_keysym_t* plain = nullptr;
    int count =
        xkb.xkb_keymap_key_get_syms_by_level(keymap, code, xkb.xkb_state_key_get_layout(state, code), 0, &plain);
    int vk = is_keypad_digit(sym) || count < 1 ? virtual_key(sym) : virtual_key(plain[0]);
    if (vk == 0) {
        vk = virtual_key(sym);
    }
    const uint32_t typed = xkb.xkb_state_key_get_utf32(state, code);
    char text = typed > 0 && typed < 0x100 ? static_cast<char>(typed) : 0;
    if (sym == XKB_KEY_ISO_Left_Tab) {
        text = '\t';  // shift+Tab types a tab on Windows
    }
    if (sym == XKB_KEY_Delete || sym == XKB_KEY_KP_Delete || !pressed) {
        text = 0;  // Delete types nothing, nor does a release
    }
    if (vk == 0 && text == 0) {
        return false;
    }
    *input = Input();
    input->kind = pressed ? InputKind::KeyDown : InputKind::KeyUp;
    input->vk = vk;
    input->text = text;
    input->time = time;
    return true;
}

int64_t now_ms() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Repeats come as presses alone, as on Windows.
int run_repeat(int64_t now) {
    Repeat& repeat = connection().repeat;
    if (repeat.key == 0 || repeat.rate <= 0) {
        return -1;
    }
    if (now >= repeat.next_ms) {
        queue_key(repeat.key, true, static_cast<uint32_t>(now));
        // A program that fell behind gets one repeat, not a burst.
        repeat.next_ms = now + 1000 / repeat.rate;
    }
    return static_cast<int>(repeat.next_ms - now);
}

void follow_keyboard(bool present) {
    Connection& c = connection();
    if (present && c.keyboard == nullptr) {
        c.keyboard = wl_seat_get_keyboard(c.seat);
        c.keyboard_new = true;
        wl_keyboard_add_listener(c.keyboard, &keyboard_listener, nullptr);
    } else if (!present && c.keyboard != nullptr) {
        wl_keyboard_destroy(c.keyboard);
        c.keyboard = nullptr;
        c.keyboard_surface = 0;
        c.repeat.key = 0;
    }
}

}  // namespace display::wayland
