// Key symbols to Win32 virtual-key codes.
#include "platform/posix/display/virtual_keys.h"

#include <X11/keysym.h>

#include "platform/posix/win32_user.h"

namespace display {

namespace {

// Codes the shared Win32 header does not name.
enum : int {
    vk_pause = 0x13,
    vk_capital = 0x14,
    vk_snapshot = 0x2C,
    vk_insert = 0x2D,
    vk_left_win = 0x5B,
    vk_right_win = 0x5C,
    vk_apps = 0x5D,
    vk_numpad0 = 0x60,
    vk_multiply = 0x6A,
    vk_add = 0x6B,
    vk_subtract = 0x6D,
    vk_decimal = 0x6E,
    vk_divide = 0x6F,
    vk_num_lock = 0x90,
    vk_scroll = 0x91,
    vk_oem1 = 0xBA,  // ;:
    vk_oem_plus = 0xBB,
    vk_oem_comma = 0xBC,
    vk_oem_minus = 0xBD,
    vk_oem_period = 0xBE,
    vk_oem2 = 0xBF,  // /?
    vk_oem3 = 0xC0,  // `~
    vk_oem4 = 0xDB,  // [{
    vk_oem5 = 0xDC,  // \|
    vk_oem6 = 0xDD,  // ]}
    vk_oem7 = 0xDE,  // '"
};

struct Pair {
    unsigned long keysym;
    int vk;
};

const Pair key_pairs[] = {
    {XK_BackSpace, VK_BACK},
    {XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, VK_TAB},
    {XK_Return, VK_RETURN},
    {XK_KP_Enter, VK_RETURN},
    {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL},
    {XK_Control_R, VK_CONTROL},
    {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},
    {XK_Meta_L, VK_MENU},
    {XK_Meta_R, VK_MENU},
    {XK_ISO_Level3_Shift, VK_MENU},
    {XK_Pause, vk_pause},
    {XK_Caps_Lock, vk_capital},
    {XK_Escape, VK_ESCAPE},
    {XK_space, VK_SPACE},
    {XK_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},
    {XK_End, VK_END},
    {XK_Home, VK_HOME},
    {XK_Left, VK_LEFT},
    {XK_Up, VK_UP},
    {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},
    {XK_Print, vk_snapshot},
    {XK_Insert, vk_insert},
    {XK_Delete, VK_DELETE},
    {XK_Super_L, vk_left_win},
    {XK_Super_R, vk_right_win},
    {XK_Menu, vk_apps},
    {XK_KP_Multiply, vk_multiply},
    {XK_KP_Add, vk_add},
    {XK_KP_Subtract, vk_subtract},
    {XK_KP_Decimal, vk_decimal},
    {XK_KP_Divide, vk_divide},
    {XK_Num_Lock, vk_num_lock},
    {XK_Scroll_Lock, vk_scroll},
    {XK_semicolon, vk_oem1},
    {XK_equal, vk_oem_plus},
    {XK_comma, vk_oem_comma},
    {XK_minus, vk_oem_minus},
    {XK_period, vk_oem_period},
    {XK_slash, vk_oem2},
    {XK_grave, vk_oem3},
    {XK_bracketleft, vk_oem4},
    {XK_backslash, vk_oem5},
    {XK_bracketright, vk_oem6},
    {XK_apostrophe, vk_oem7},
    // Keypad keys with Num Lock off act as the keys they are named after.
    {XK_KP_Home, VK_HOME},
    {XK_KP_End, VK_END},
    {XK_KP_Prior, VK_PRIOR},
    {XK_KP_Next, VK_NEXT},
    {XK_KP_Left, VK_LEFT},
    {XK_KP_Up, VK_UP},
    {XK_KP_Right, VK_RIGHT},
    {XK_KP_Down, VK_DOWN},
    {XK_KP_Insert, vk_insert},
    {XK_KP_Delete, VK_DELETE},
};

}  // namespace

int virtual_key(unsigned long keysym) {
    if (keysym >= XK_a && keysym <= XK_z) {
        return static_cast<int>('A' + (keysym - XK_a));
    }
    if (keysym >= XK_A && keysym <= XK_Z) {
        return static_cast<int>(keysym);
    }
    if (keysym >= XK_0 && keysym <= XK_9) {
        return static_cast<int>(keysym);
    }
    if (keysym >= XK_F1 && keysym <= XK_F24) {
        return static_cast<int>(VK_F1 + (keysym - XK_F1));
    }
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) {
        return static_cast<int>(vk_numpad0 + (keysym - XK_KP_0));
    }
    for (const Pair& pair : key_pairs) {
        if (pair.keysym == keysym) {
            return pair.vk;
        }
    }
    return 0;
}

}  // namespace display
