// A top-level window's classic frame where the display draws none: the
// look of window_frame.cpp over the window's style and text, in the device
// pixels of the scale its buffer is drawn at.
#pragma once

#include "platform/posix/user/surface.h"

namespace user {

// The classic frame: the caption, its icon, title and close box, the
// border, from the window's style and text.
extern const FramePainter classic_frame;

}  // namespace user
