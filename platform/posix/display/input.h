// What a surface is called and what it reports: the part of the display
// interface that the window layer's files share (see user/surface.h).
#pragma once

#include <stdint.h>

namespace display {

// A surface is one top-level window; the window layer names it by an id of
// its choosing (the window's handle value).
using SurfaceId = uintptr_t;

enum class InputKind {
    None,
    MouseMove,     // x, y
    ButtonDown,    // x, y, button
    ButtonUp,      // x, y, button
    KeyDown,       // vk, text (the character it types, 0 if none)
    KeyUp,         // vk
    CloseRequest,  // the window manager's close box
    Expose,        // x, y, width, height need repainting
    FocusIn,       // the window manager gave the surface the keyboard
    FocusOut,
    Moved,     // x, y: where the window manager put the client area
    Rescaled,  // the surface's device scale changed: drawn anew at it
};

enum MouseButton { ButtonLeft = 1, ButtonMiddle = 2, ButtonRight = 3 };

struct Input {
    InputKind kind = InputKind::None;
    SurfaceId surface = 0;
    int x = 0, y = 0;           // client coordinates of the surface
    int width = 0, height = 0;  // Expose only
    int button = 0;
    int vk = 0;         // Win32 virtual-key code
    char text = 0;      // the character a key down types, already shifted
    uint32_t time = 0;  // milliseconds, for double clicks
};

}  // namespace display
