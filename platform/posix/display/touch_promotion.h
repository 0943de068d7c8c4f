// A touch as the mouse, for a program that never asks for touch input.
//
// Windows promotes touch that way for every such program, and the X server
// does the same for core X11 clients (a touch the client did not select
// comes as the core pointer), so the X11 backend never sees a touch. A
// Wayland client gets touch only on wl_touch, which KWin and mutter do not
// turn into wl_pointer for it: the Wayland backend binds wl_touch and hands
// each event here, and what comes back goes down the pointer's own path
// (the frame the layer draws included), so a control never knows which it
// was. The headless backend takes touch through the same machine, for the
// window layer's tests.
//
// The promotion: the first point of a sequence (one that goes down while no
// other is down) is the mouse's left button. Its down is a move and a press
// where it went down, its motion a move with the button held, its up a
// release where it was last. Other points, while any point is down, give
// nothing. A cancel (the compositor took the sequence for a gesture of its
// own) releases the button outside the window, so a control that took the
// press sees it go up outside itself and clicks nothing.
#pragma once

#include <stdint.h>

#include "platform/posix/display/input.h"

namespace display {

enum class TouchEvent { Down, Motion, Up, Cancel };

// One event of one point: its id, and for Down and Motion where it is, in
// client coordinates (device pixels) of the surface it went down on.
struct TouchPoint {
    TouchEvent event = TouchEvent::Down;
    int32_t id = 0;
    SurfaceId surface = 0;  // Down only; the others are the point's own
    int x = 0, y = 0;
    uint32_t time = 0;
};

// The sequence so far. A fresh one has no point down.
struct TouchPromotion {
    static constexpr int max_points = 10;
    int32_t down[max_points] = {};  // the ids of the points down
    int count = 0;
    bool held = false;  // the first point is down: the button is held
    int32_t primary = 0;
    SurfaceId surface = 0;
    int x = 0, y = 0;
};

// Where a cancelled press is released: outside every window of the surface.
constexpr int touch_outside = -1;

// The mouse input the event makes (MouseMove, ButtonDown, ButtonUp of the
// left button, in that order), at most two, into out; their count.
int promote_touch(TouchPromotion* promotion, const TouchPoint& point, Input out[2]);

// The surface the first point went down on is gone: the sequence ends there,
// with nothing released, so that a later touch starts anew.
void forget_touch_surface(TouchPromotion* promotion, SurfaceId surface);

}  // namespace display
