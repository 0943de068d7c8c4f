// The display backend interface: the only place where the window layer
// meets a real screen, or none.
//
// The window layer in platform/posix/user owns every window rule and draws
// each top-level window's pixels, in memory of its own or in memory a
// backend lends it to show as it is. A backend only shows surfaces,
// presents their pixels and hands back raw input in client coordinates.
// Only user/surface.cpp calls it.
//
// Files of platform/posix/display:
//   display.h, .cpp      this interface, and choosing the backend
//   wait_hook.cpp        what else the program waits on, polled with the display
//   module_imports.h     what the Wayland module takes from the program: C alone
//   input.h              surfaces' ids and the input they report, all the
//                        window layer sees beyond user/surface.cpp
//   choice.h             which backends are tried, in what order
//   desktop_scale.h, .cpp  the desktop's scale step from GDK_SCALE, Xft.dpi,
//                        a compositor's fractional scale
//   default_icon.cpp     the platform's default application icon
//   touch_promotion.h, .cpp  a touch as the mouse, for the backends that
//                        get touch of their own (Wayland, headless)
//   virtual_keys.h, .cpp  key symbols to virtual keys, for X11 and Wayland
//   cp1252.h, .cpp       the program's text as UTF-8, for both backends' titles
//   reason.cpp           a backend's reason for a failed connect, to its caller
//   library_calls.h      a library's calls taken by name after dlopen
//   headless.h, .cpp     the headless backend, for tests (see tests/support)
//   wayland_module.h, .cpp  the Wayland backend loaded as a module, on demand
//   x11/                 the X11 backend; x11/connection.h lists its files
//   wayland/             the Wayland backend; wayland/connection.h lists its files
#pragma once

// The build marks the window layer's files, and user/surface.cpp apart.
#if defined(SORVANE_USER_LAYER) && !defined(SORVANE_DISPLAY_CALLER)
#error "only user/surface.cpp sees the display backend; other user files include user/surface.h"
#endif

#include <poll.h>
#include <stddef.h>
#include <stdint.h>

#include "platform/posix/display/input.h"

namespace display {

// A frame of pixels: 32-bit 0x00RRGGBB, rows of stride pixels.
struct Frame {
    const uint32_t* pixels;
    int width, height, stride;
};

// Narrows x, y, right and bottom to what lies inside both the frame and a
// surface of the given size; false when nothing does.
inline bool clip_to_frame(const Frame& frame, int surface_width, int surface_height, int* x, int* y, int* right,
                          int* bottom) {
    *x = *x < 0 ? 0 : *x;
    *y = *y < 0 ? 0 : *y;
    *right = *right > frame.width ? frame.width : *right;
    *bottom = *bottom > frame.height ? frame.height : *bottom;
    *right = *right > surface_width ? surface_width : *right;
    *bottom = *bottom > surface_height ? surface_height : *bottom;
    return *right > *x && *bottom > *y;
}

struct FramePainter;

// Who the program's windows belong to, the same whatever the binary is
// called: the Wayland app id and the X11 window class, which are the id of
// the desktop entry the packages install (cmake/product.cmake), so that
// docks and task switchers put the windows under it.
constexpr char application_id[] = "invalid.sorvane.Sorvane";

// A window icon's picture: side x side 0xAARRGGBB pixels in rows.
struct IconPicture {
    int side;
    const uint32_t* pixels;
};

// Where a backend takes a surface's own icon from when it sends it: the
// pictures at each size the icon has, smallest first, how many, and in
// *pictures until the next call; 0 when it has none.
struct IconSource {
    int (*pictures)(SurfaceId id, const IconPicture** pictures);
};

// What a backend can do beyond what every one does: the hook of each is set
// only in a backend that has it.
enum Capability : unsigned {
    // activate_surface gives a surface the keyboard (on Wayland only the
    // compositor does).
    gives_keyboard = 1u << 0,
    // set_background: the display shows a colour beyond the client area
    // should the surface be made larger than it (0x00RRGGBB).
    shows_background = 1u << 1,
    // set_frame_painter: the display may leave the frame to the window
    // layer, which draws it with the painter the backend keeps (below).
    layer_frames = 1u << 2,
    // set_icon: the window's own icon, for the desktop's task bar and
    // switcher, taken from its source when the display sends it, which may
    // be after the first frame since it is not in the window; a surface
    // given none shows the platform's default application icon.
    window_icons = 1u << 3,
    // lend_pixels: the layer draws a surface's client area straight into
    // memory the display reads, which then shows it without a copy.
    lends_pixels = 1u << 4,
};

// The hooks, set by name in each backend (in a constexpr function: several
// neighbours share a type).
struct Backend {
    const char* name;
    unsigned capabilities;  // Capability
    // Screen size in pixels.
    void (*screen_size)(int* width, int* height);
    // A new hidden surface whose client area is at (x, y) on the screen.
    bool (*create_surface)(SurfaceId id, const char* title, int x, int y, int width, int height, bool resizable);
    void (*destroy_surface)(SurfaceId id);
    void (*show_surface)(SurfaceId id, bool visible);
    void (*move_surface)(SurfaceId id, int x, int y, int width, int height);
    void (*set_title)(SurfaceId id, const char* title);
    // The frame changed inside (x, y, width, height).
    void (*present)(SurfaceId id, const Frame& frame, int x, int y, int width, int height);
    // Blocks until input arrives. False when no more input can ever come;
    // failure then says why.
    bool (*next_input)(Input* input);
    // The surface belongs to another, as a dialog to its window.
    void (*set_owner)(SurfaceId id, SurfaceId owner);
    // The surface holds its owner disabled, and is modal.
    void (*set_modal)(SurfaceId id, bool modal);
    // A surface's device scale in quarters (4 is 1, 6 is 1.5); for id 0, or
    // a surface not made yet, the scale a new one gets and the screen's. The
    // window layer draws at that scale: every size, position, frame and
    // input of this interface is in device pixels. When it changes the
    // backend reports Rescaled.
    int (*device_quarters)(SurfaceId id);
    // Closes the connection and forgets every surface; the backend's open
    // connects anew.
    void (*close)();
    // Why the display was lost, a line for standard error; empty while it
    // serves.
    const char* (*failure)();

    // Each set only with its capability.
    void (*activate_surface)(SurfaceId id);
    void (*set_background)(SurfaceId id, uint32_t rgb);
    void (*set_frame_painter)(const FramePainter* painter);
    void (*set_icon)(SurfaceId id, const IconSource* source);
    // Pixels for the surface's client area, width x height in rows of
    // width, that the display is not reading: the block lent last while it
    // is not shown, else another holding the same pixels; a block of a new
    // size holds anything. Valid until the next call for the surface or its
    // destroy_surface. Null when none can be had: for a new size the layer
    // then draws into pixels of its own, else on in the block it has.
    uint32_t* (*lend_pixels)(SurfaceId id, int width, int height);
};

constexpr bool can(const Backend& backend, Capability capability) {
    return (backend.capabilities & capability) != 0;
}

// Every hook set, and each optional one exactly when its capability is
// claimed; each backend's tests hold its table to it.
constexpr bool complete(const Backend& b) {
    const bool every = b.name != nullptr && b.screen_size != nullptr && b.create_surface != nullptr &&
                       b.destroy_surface != nullptr && b.show_surface != nullptr && b.move_surface != nullptr &&
                       b.set_title != nullptr && b.present != nullptr && b.next_input != nullptr &&
                       b.set_owner != nullptr && b.set_modal != nullptr && b.device_quarters != nullptr &&
                       b.close != nullptr && b.failure != nullptr;
    return every && (b.activate_surface != nullptr) == can(b, gives_keyboard) &&
           (b.set_background != nullptr) == can(b, shows_background) &&
           (b.set_frame_painter != nullptr) == can(b, layer_frames) &&
           (b.set_icon != nullptr) == can(b, window_icons) && (b.lend_pixels != nullptr) == can(b, lends_pixels);
}

// Something else the program waits on beside the display (the
// accessibility bus, the desktop's settings): every backend polls its
// descriptors with its own whenever it blocks for input, so every message
// loop, a modal one included, serves it. prepare fills at most max
// descriptors and may shorten the wait (milliseconds, -1: no limit);
// dispatch gets them back after the poll, also when only the time ran out.
struct WaitHook {
    int (*prepare)(pollfd* fds, int max, int* timeout_ms);
    void (*dispatch)(const pollfd* fds, int count);
};
// Up to two at once; adding one that is there, or removing one that is
// not, does nothing. A hook may remove itself from its prepare.
void add_wait_hook(const WaitHook* hook);
void remove_wait_hook(const WaitHook* hook);

// For backends: polls their own descriptors and the hook's. Like poll(2)
// for the own ones; *served is set when the hook was dispatched, and the
// backend then hands the layer an empty input (InputKind::None) so that
// what the hook posted is handled before it waits again.
int poll_with_hook(pollfd* own, int count, int timeout_ms, bool* served);

// The classic frame the window layer draws around a surface where the
// display draws none (a Wayland compositor without server-side
// decorations). The backend keeps a buffer of the whole window, the client
// area inside at the insets, and hit-tests clicks on the frame through
// part_at; coordinates are the whole window's, in device pixels as
// everything here (the client area at the left and top insets).
enum class FramePart { Client, Border, Caption, CloseBox, Icon };
enum FrameState : unsigned { FrameActive = 1, FrameClosePushed = 2 };
struct FramePainter {
    // False for a surface that has no frame (a popup without a caption).
    bool (*insets)(SurfaceId id, int* left, int* top, int* right, int* bottom);
    // Draws the frame into pixels holding the whole window, the face under
    // the client area, which the backend then puts over it.
    void (*draw)(SurfaceId id, uint32_t* pixels, int width, int height, int stride, unsigned state);
    FramePart (*part_at)(SurfaceId id, int x, int y);
};

// The platform's default application icon, size x size 0xAARRGGBB pixels
// (alpha 0 clear, 0xFF opaque) in rows: a backend's window icon, and the
// small icon of the caption the window layer draws.
void draw_default_icon(int size, uint32_t* pixels);

// The backend in use, chosen on first need: the one a test harness
// installed, else the one SORVANE_DISPLAY names (x11, wayland), else a
// Wayland compositor when WAYLAND_DISPLAY or the default socket is there,
// else (or when it does not answer) X11 when DISPLAY names a reachable
// server. With none the program says why for each one tried, as
// `<program>: cannot open Wayland display "<name>": <why>` and
// `<program>: cannot open display "<DISPLAY>": <why>`, on standard error
// and exits 1.
const Backend& current();
// The backend chosen or installed so far, or null: chooses none.
const Backend* installed_backend();

// For test harnesses: installs a backend for the rest of the process.
void install(const Backend* backend);

// How a backend's open says why it could not connect: a line for standard
// error, copied into reason (size bytes, always terminated).
void set_reason(char* reason, size_t size, const char* why);

}  // namespace display
