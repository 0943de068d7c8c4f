// The one connection to the X server and the surfaces living on it, shared
// by the files of the X11 backend: the backend's only state, per process,
// reached through connection() and forgotten whole by close(). Xlib is not
// set up for threads (no XInitThreads), so only the thread that makes the
// windows may touch it.
//
// Files of platform/posix/display/x11:
//   x11.h         what tests may use beyond the display interface
//   backend.cpp   the hook table, the one file that calls the others
//   connection.h, .cpp  this; the connection, its error handlers, closing it
//   xlib_calls.h  the calls into libX11, by name
//   xlib_loading.cpp  libX11 loaded with dlopen at the first connect
//   failure.cpp   why the display could not be used or was lost, in words
//   surfaces.cpp  X windows: creation, size hints, identity, showing, moving
//   titles.cpp    WM_NAME and _NET_WM_NAME from Windows-1252
//   icon.cpp      the default application icon as _NET_WM_ICON
//   dialogs.cpp   owned surfaces as transient, modal dialogs
//   scale.cpp     the desktop's scale (GDK_SCALE, Xft.dpi)
//   present.cpp   frames into windows, as they are
//   input.cpp     X events to input, moves by the window manager
#pragma once

// display.h comes before Xlib, whose macros would break InputKind.
#include "platform/posix/display/display.h"

namespace display::x11 {
// Xlib's macros Expose, FocusIn and FocusOut hide these names.
constexpr InputKind expose_input = InputKind::Expose;
constexpr InputKind focus_in_input = InputKind::FocusIn;
constexpr InputKind focus_out_input = InputKind::FocusOut;
}  // namespace display::x11

#include <X11/Xatom.h>

#include "platform/posix/display/x11/xlib_calls.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace display::x11 {

struct Surface {
    Window window = 0;
    int width = 0, height = 0;  // the client area
    // Where the window manager put the window, in the server's pixels:
    // root coordinates and the size it was given.
    int screen_x = 0, screen_y = 0, screen_width = 0, screen_height = 0;
    bool resizable = false;
    bool viewable = false;      // the server reported it mapped
    bool focus_wanted = false;  // activation asked for before it was viewable
    // What shows where a window manager made the window larger than the
    // client area: the window class's background, once the layer names it.
    bool has_background = false;
    uint32_t background = 0;
    // Where the window layer last put or heard the client area was.
    int reported_x = 0, reported_y = 0;
    bool modal = false;
    // The window layer gave an icon, or the default went on at map; its
    // source (null: the default), and whether it is still to be sent.
    bool has_icon = false;
    const IconSource* icon_source = nullptr;
    bool icon_unsent = false;
    // Presented areas not yet sent, and the frame they are taken from.
    struct Area {
        int left, top, right, bottom;
    };
    std::vector<Area> unsent;
    Frame unsent_frame{nullptr, 0, 0, 0};
    // The latest areas put, each with the serial of its first request: an
    // Expose the server made before that request needs nothing sent again.
    struct Put {
        Area area;
        unsigned long serial;
    };
    std::vector<Put> puts;
};

struct Connection {
    Display* display = nullptr;
    int screen = 0;
    Visual* visual = nullptr;
    int depth = 0;
    Colormap colormap = 0;
    GC gc = nullptr;
    // Frames are 0x00RRGGBB; when the server's pixels are laid out the same
    // way they are sent as they stand, otherwise converted.
    bool native_pixels = false;
    // Set by the I/O error handlers; from then on no Xlib call is made.
    // failure says why (failure.cpp), last_error the last X error reported.
    bool broken = false;
    std::string failure;
    std::string last_error;
    // The desktop's scale in quarters (4 is 1): the window layer draws at
    // it, and every size, position and event here is in server pixels.
    int quarters = 4;
    // XPutImage calls since the connection was opened.
    unsigned long images_put = 0;
    // Held keys repeat as presses alone, as on Windows; asked at the first
    // wait, once the first frame is out (input.cpp).
    bool repeat_asked = false;

    Atom wm_protocols = 0, wm_delete_window = 0;
    Atom net_wm_name = 0, net_wm_icon_name = 0, utf8_string = 0;
    Atom net_wm_pid = 0, net_wm_icon = 0;
    Atom net_wm_window_type = 0, net_wm_window_type_dialog = 0;
    Atom net_wm_state = 0, net_wm_state_modal = 0, net_wm_state_skip_taskbar = 0;

    std::unordered_map<SurfaceId, Surface> surfaces;
    std::unordered_map<Window, SurfaceId> by_window;
};

Connection& connection();
// Opens the display of that name, loading libX11 first; false, and no
// connection, when it cannot be used, and *why says so.
bool connect(const char* name, std::string* why);

// Why the display was lost or an X error came (failure.cpp), as standard
// error shows it: the system's error number at an I/O error, and the last
// X error reported before it (may be empty); the X error's text and its
// request's major code.
std::string lost_reason(int error, const std::string& last_error);
std::string x_error_reason(const char* text, int request);
// The connection is gone, and why.
void lose_connection(const std::string& why);

// The connection when it can be used, else null.
inline Display* live_display() {
    Connection& c = connection();
    return c.broken ? nullptr : c.display;
}

Surface* find_surface(SurfaceId id);

// Hooks, one file each.
bool create_surface(SurfaceId id, const char* title, int x, int y, int width, int height, bool resizable);
void destroy_surface(SurfaceId id);
void show_surface(SurfaceId id, bool visible);
void move_surface(SurfaceId id, int x, int y, int width, int height);
void set_title(SurfaceId id, const char* title);
void activate_surface(SurfaceId id);
void give_focus(const Surface& surface);
void present(SurfaceId id, const Frame& frame, int x, int y, int width, int height);
// Sends what was presented since the last time, a few rectangles a surface.
void send_presented();
// Forgets what a surface has not sent: its frame is no longer there.
void drop_presented(Surface* surface);
// Whether the area was put after the server made an Expose of that serial.
bool put_since(const Surface& surface, unsigned long serial, int left, int top, int right, int bottom);
void set_owner(SurfaceId id, SurfaceId owner);
void set_modal(SurfaceId id, bool modal);
void set_background(SurfaceId id, uint32_t rgb);
// The server's pixel value for a 0x00RRGGBB colour.
unsigned long server_pixel(uint32_t rgb);
// Fills what of the rectangle (server pixels) lies outside the client area.
void fill_outside_client(const Surface& surface, int x, int y, int width, int height);
bool next_input(Input* input);

// The scale the desktop asks for, in quarters: GDK_SCALE when set, else
// Xft.dpi from the resource string to the step at or above it
// (display/desktop_scale.h); 4 when neither says more.
int desktop_quarters(const char* gdk_scale, const char* resources);

// The platform's default application icon as the window's _NET_WM_ICON
// unless it has its own, and the window's own icon in its place. Both are
// sent by send_icon, which send_presented calls after the frames' pixels;
// true when it sent one.
void want_default_icon(Surface* surface);
void set_icon(SurfaceId id, const IconSource* source);
bool send_icon(SurfaceId id, Surface* surface);

// WM_NAME, _NET_WM_NAME and the icon names of a window.
void store_title(Display* display, Window window, const char* title);

}  // namespace display::x11
