// The display as the window layer's files see it: surface.cpp alone calls
// the backend (display.h refuses every other file of the layer), and these
// are the calls it offers the rest.
#pragma once

#include "platform/posix/display/input.h"
#include "platform/posix/user/controls/look.h"
#include "platform/posix/user/window.h"

namespace user {

// How the layer draws a top-level window's frame where the display draws
// none (controls/frame_painter.h has the classic one), in device pixels of
// the whole window: the insets of the client area (false: no frame), the
// frame itself, the part at a point.
struct FramePainter {
    bool (*insets)(const Window* top, Insets* device);
    void (*paint)(const Window* top, const gdi::PixelBuffer& pixels, bool active, bool close_pushed,
                  void (*draw_icon)(int size, uint32_t* pixels));
    look::FramePart (*part_at)(const Window* top, int x, int y);
};

// Every display but the headless one has a desktop whose colour preference
// the layer follows (colour_scheme.cpp); asked before a display is chosen,
// the one that will be.
bool display_has_desktop();

// Each takes a top-level window; all but create_surface do nothing for one
// without a surface.
// Hidden, over the client rectangle, with the class icon; frame is kept for
// the display's asking. The caller gives it its background and its owner
// after, once the colours are settled (window_create.cpp).
void create_surface(Window* top, const FramePainter* frame);
void set_surface_background(Window* top);  // the class brush's colour
void set_surface_owner(Window* top);       // modal while the owner is disabled
// The windows a top-level window owns are modal while it is disabled.
void follow_owner_enabled(const Window* owner);
void destroy_surface(Window* top);
void show_surface(Window* top, bool visible);
void move_surface(Window* top);  // to the client rectangle
void set_surface_title(Window* top);
void activate_surface(Window* top);
// Where the display lends the pixels it shows, the layer draws into them:
// width x height for a new buffer (null: none lent, the layer keeps its
// own), and before each drawing into a lent buffer, which may then move, so
// that none lands in pixels the display is reading.
uint32_t* lend_surface_pixels(Window* top, int width, int height);
void ready_to_draw(Window* top);
// The area (device pixels of the buffer) on the screen; false when none of
// it could be shown.
bool present(Window* top, const RECT& area);
// The scale in quarters (gdi/device_scale.h) the display asks a top-level
// window's surface to be drawn at, null for the screen's; 4 when it has
// none. device_quarters: the one the window's buffer is drawn at, which
// resize_buffer takes from the display.
int display_quarters(const Window* top);
int device_quarters(const Window* top);
bool next_display_input(display::Input* input);
// Why next_display_input said no more input can come; may be empty.
const char* display_failure();
void screen_size(int* width, int* height);
// The system colours changed: the surface's background and any frame the
// layer draws for it taken anew.
void recolour_surface(Window* top);

}  // namespace user
