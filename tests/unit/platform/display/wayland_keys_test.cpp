// Keys through the Wayland backend's xkbcommon translation: the virtual keys
// and characters must be those the X11 backend gives for the same keys.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include "platform/posix/display/wayland/connection.h"
#include "platform/posix/win32_user.h"

namespace {

using display::Input;
using display::InputKind;

struct Keymap {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;

    Keymap() {
        xkb_rule_names names = {"evdev", "pc105", "us", nullptr, nullptr};
        keymap = context != nullptr ? xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS) : nullptr;
        state = keymap != nullptr ? xkb_state_new(keymap) : nullptr;
    }
    ~Keymap() {
        xkb_state_unref(state);
        xkb_keymap_unref(keymap);
        xkb_context_unref(context);
    }
    // Holds or lets go of a key as the compositor's modifiers event would.
    void hold(uint32_t key, bool down) { xkb_state_update_key(state, key + 8, down ? XKB_KEY_DOWN : XKB_KEY_UP); }
};

struct Case {
    const char* what;
    uint32_t key;
    uint32_t held;  // a modifier held through the press, 0 for none
    int vk;
    char text;
};

TEST(WaylandKeys, KeysGiveTheVirtualKeysAndCharactersOfTheX11Backend) {
    Keymap keys;
    if (keys.state == nullptr) {
        GTEST_SKIP() << "no xkb data (xkb-data) to compile a keymap from";
    }
    const Case cases[] = {
        {"a", KEY_A, 0, 'A', 'a'},
        {"shift+a", KEY_A, KEY_LEFTSHIFT, 'A', 'A'},
        {"ctrl+a", KEY_A, KEY_LEFTCTRL, 'A', '\x01'},
        {"alt+x", KEY_X, KEY_LEFTALT, 'X', 'x'},
        {"Tab", KEY_TAB, 0, VK_TAB, '\t'},
        {"shift+Tab is Tab", KEY_TAB, KEY_LEFTSHIFT, VK_TAB, '\t'},
        {"Space", KEY_SPACE, 0, VK_SPACE, ' '},
        {"Enter", KEY_ENTER, 0, VK_RETURN, '\r'},
        {"keypad Enter", KEY_KPENTER, 0, VK_RETURN, '\r'},
        {"Escape", KEY_ESC, 0, VK_ESCAPE, '\x1b'},
        {"Backspace", KEY_BACKSPACE, 0, VK_BACK, '\b'},
        {"Delete types nothing", KEY_DELETE, 0, VK_DELETE, 0},
        {"F4", KEY_F4, 0, VK_F4, 0},
        {"Alt", KEY_LEFTALT, 0, VK_MENU, 0},
        {"shift+1", KEY_1, KEY_LEFTSHIFT, '1', '!'},
        {"keypad 1 without Num Lock", KEY_KP1, 0, VK_END, 0},
        {"Left", KEY_LEFT, 0, VK_LEFT, 0},
    };
    for (const Case& c : cases) {
        if (c.held != 0) {
            keys.hold(c.held, true);
        }
        Input down, up;
        ASSERT_TRUE(display::wayland::translate_key(keys.state, c.key, true, 7, &down)) << c.what;
        ASSERT_TRUE(display::wayland::translate_key(keys.state, c.key, false, 8, &up)) << c.what;
        EXPECT_EQ(down.kind, InputKind::KeyDown) << c.what;
        EXPECT_EQ(down.vk, c.vk) << c.what;
        EXPECT_EQ(down.text, c.text) << c.what;
        EXPECT_EQ(down.time, 7u) << c.what;
        EXPECT_EQ(up.kind, InputKind::KeyUp) << c.what;
        EXPECT_EQ(up.vk, c.vk) << c.what;
        EXPECT_EQ(up.text, 0) << c.what << ": a release types nothing";
        if (c.held != 0) {
            keys.hold(c.held, false);
        }
    }
}

TEST(WaylandKeys, AKeyWithNeitherAVirtualKeyNorACharacterIsDropped) {
    Keymap keys;
    if (keys.state == nullptr) {
        GTEST_SKIP() << "no xkb data (xkb-data) to compile a keymap from";
    }
    Input input;
    EXPECT_FALSE(display::wayland::translate_key(keys.state, KEY_VOLUMEUP, true, 0, &input));
}

}  // namespace
