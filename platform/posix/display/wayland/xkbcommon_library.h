// The part of xkbcommon the keyboard uses, declared by its own header and
// loaded with dlopen when a keymap is first compiled (keyboard.cpp), which is
// after the first frame or at the first key: a start draws before it maps
// xkbcommon, and one on a seat without a keyboard never maps it.
#pragma once

#include <xkbcommon/xkbcommon.h>

#include <string>

namespace display::wayland {

// clang-format off
#define SORVANE_XKBCOMMON_CALLS(X) \
    X(xkb_context_new) \
    X(xkb_context_unref) \
    X(xkb_keymap_new_from_buffer) \
    X(xkb_keymap_unref) \
    X(xkb_keymap_key_repeats) \
    X(xkb_keymap_key_get_syms_by_level) \
    X(xkb_state_new) \
    X(xkb_state_unref) \
    X(xkb_state_get_keymap) \
    X(xkb_state_update_mask) \
    X(xkb_state_key_get_layout) \
    X(xkb_state_key_get_one_sym) \
    X(xkb_state_key_get_utf32)
// clang-format on

// The calls by their own names, so that the code reads as xkbcommon's.
struct XkbCalls {
#define SORVANE_XKBCOMMON_MEMBER(name) decltype(&::name) name;
    SORVANE_XKBCOMMON_CALLS(SORVANE_XKBCOMMON_MEMBER)
#undef SORVANE_XKBCOMMON_MEMBER
};

// The loaded library, loaded on the first ask; null when it cannot be had,
// then and at every later ask, with why in *why.
const XkbCalls* xkbcommon(std::string* why = nullptr);

}  // namespace display::wayland
