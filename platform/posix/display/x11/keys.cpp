// Key symbols to Win32 virtual-key codes.
#include "platform/posix/display/x11/connection.h"

#include <X11/keysym.h>

#include "platform/posix/win32_user.h"

namespace display::x11 {

namespace {

// Codes the shared Win32 header does not name.
enum : int {
    kPause = 0x13,
    kCapital = 0x14,
    kSnapshot = 0x2C,
    kInsert = 0x2D,
    kLeftWin = 0x5B,
    kRightWin = 0x5C,
    kApps = 0x5D,
    kNumpad0 = 0x60,
    kMultiply = 0x6A,
    kAdd = 0x6B,
    kSubtract = 0x6D,
    kDecimal = 0x6E,
    kDivide = 0x6F,
    kNumLock = 0x90,
    kScroll = 0x91,
    kOem1 = 0xBA,  // ;:
    kOemPlus = 0xBB,
    kOemComma = 0xBC,
    kOemMinus = 0xBD,
    kOemPeriod = 0xBE,
    kOem2 = 0xBF,  // /?
    kOem3 = 0xC0,  // `~
    kOem4 = 0xDB,  // [{
    kOem5 = 0xDC,  // \|
    kOem6 = 0xDD,  // ]}
    kOem7 = 0xDE,  // '"
};

struct Pair {
    unsigned long keysym;
    int vk;
};

const Pair kKeys[] = {
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
    {XK_Pause, kPause},
    {XK_Caps_Lock, kCapital},
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
    {XK_Print, kSnapshot},
    {XK_Insert, kInsert},
    {XK_Delete, VK_DELETE},
    {XK_Super_L, kLeftWin},
    {XK_Super_R, kRightWin},
    {XK_Menu, kApps},
    {XK_KP_Multiply, kMultiply},
    {XK_KP_Add, kAdd},
    {XK_KP_Subtract, kSubtract},
    {XK_KP_Decimal, kDecimal},
    {XK_KP_Divide, kDivide},
    {XK_Num_Lock, kNumLock},
    {XK_Scroll_Lock, kScroll},
    {XK_semicolon, kOem1},
    {XK_equal, kOemPlus},
    {XK_comma, kOemComma},
    {XK_minus, kOemMinus},
    {XK_period, kOemPeriod},
    {XK_slash, kOem2},
    {XK_grave, kOem3},
    {XK_bracketleft, kOem4},
    {XK_backslash, kOem5},
    {XK_bracketright, kOem6},
    {XK_apostrophe, kOem7},
    // Keypad keys with Num Lock off act as the keys they are named after.
    {XK_KP_Home, VK_HOME},
    {XK_KP_End, VK_END},
    {XK_KP_Prior, VK_PRIOR},
    {XK_KP_Next, VK_NEXT},
    {XK_KP_Left, VK_LEFT},
    {XK_KP_Up, VK_UP},
    {XK_KP_Right, VK_RIGHT},
    {XK_KP_Down, VK_DOWN},
    {XK_KP_Insert, kInsert},
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
        return static_cast<int>(kNumpad0 + (keysym - XK_KP_0));
    }
    for (const Pair& pair : kKeys) {
        if (pair.keysym == keysym) {
            return pair.vk;
        }
    }
    return 0;
}

}  // namespace display::x11
