// The one connection to the X server: opening it, the error handlers Xlib
// calls, and closing it.
#include "platform/posix/display/x11/connection.h"

#include <X11/Xproto.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

#include "platform/posix/display/x11/x11.h"

namespace display::x11 {

namespace {

Connection the_connection;

// A request on a window that was destroyed, or a focus request that raced
// with a window manager's mapping, is routine; anything else is reported
// but never ends the program.
int on_error(Display* display, XErrorEvent* error) {
    if (error->error_code == BadWindow || error->error_code == BadDrawable) {
        return 0;
    }
    if (error->error_code == BadMatch && error->request_code == X_SetInputFocus) {
        return 0;
    }
    char text[128];
    xlib().XGetErrorText(display, error->error_code, text, sizeof text);
    the_connection.last_error = x_error_reason(text, error->request_code);
    fprintf(stderr, "%s\n", the_connection.last_error.c_str());
    return 0;
}

// Xlib ends the process after an I/O error unless the exit handler returns;
// returning leaves the display unusable, which `broken` remembers.
int on_io_error(Display*) {
    lose_connection(lost_reason(errno, the_connection.last_error));
    return 0;
}

void on_io_exit(Display*, void*) {
    if (!the_connection.broken) {
        lose_connection(lost_reason(errno, the_connection.last_error));
    }
}

// Finds a TrueColor visual: the default one, else any of depth 24.
bool choose_visual(Connection& c) {
    Visual* visual = DefaultVisual(c.display, c.screen);
    if (visual->c_class == TrueColor) {
        c.visual = visual;
        c.depth = DefaultDepth(c.display, c.screen);
        c.colormap = DefaultColormap(c.display, c.screen);
        return true;
    }
    XVisualInfo info;
    if (!xlib().XMatchVisualInfo(c.display, c.screen, 24, TrueColor, &info)) {
        return false;
    }
    c.visual = info.visual;
    c.depth = info.depth;
    c.colormap = xlib().XCreateColormap(c.display, RootWindow(c.display, c.screen), c.visual, AllocNone);
    return true;
}

// Whether a 0x00RRGGBB pixel is the server's own pixel at this depth.
bool pixels_are_native(const Connection& c) {
    if (c.visual->red_mask != 0xFF0000 || c.visual->green_mask != 0xFF00 || c.visual->blue_mask != 0xFF) {
        return false;
    }
    int count = 0;
    XPixmapFormatValues* formats = xlib().XListPixmapFormats(c.display, &count);
    bool native = false;
    for (int i = 0; i < count; i++) {
        if (formats[i].depth == c.depth) {
            native = formats[i].bits_per_pixel == 32;
        }
    }
    xlib().XFree(formats);
    return native;
}

GC create_gc(const Connection& c) {
    // A GC serves drawables of the depth it was made for.
    Pixmap pixmap = xlib().XCreatePixmap(c.display, RootWindow(c.display, c.screen), 1, 1, c.depth);
    XGCValues values;
    values.graphics_exposures = False;
    GC gc = xlib().XCreateGC(c.display, pixmap, GCGraphicsExposures, &values);
    xlib().XFreePixmap(c.display, pixmap);
    return gc;
}

// One round trip for all of them rather than one each.
void intern_atoms(Connection& c) {
    struct Wanted {
        const char* name;
        Atom* atom;
    };
    const Wanted wanted[] = {
        {"WM_PROTOCOLS", &c.wm_protocols},
        {"WM_DELETE_WINDOW", &c.wm_delete_window},
        {"_NET_WM_NAME", &c.net_wm_name},
        {"_NET_WM_ICON_NAME", &c.net_wm_icon_name},
        {"UTF8_STRING", &c.utf8_string},
        {"_NET_WM_PID", &c.net_wm_pid},
        {"_NET_WM_ICON", &c.net_wm_icon},
        {"_NET_WM_WINDOW_TYPE", &c.net_wm_window_type},
        {"_NET_WM_WINDOW_TYPE_DIALOG", &c.net_wm_window_type_dialog},
        {"_NET_WM_STATE", &c.net_wm_state},
        {"_NET_WM_STATE_MODAL", &c.net_wm_state_modal},
        {"_NET_WM_STATE_SKIP_TASKBAR", &c.net_wm_state_skip_taskbar},
    };
    constexpr int atom_count = sizeof wanted / sizeof wanted[0];
    char* names[atom_count];
    Atom atoms[atom_count] = {};
    for (int i = 0; i < atom_count; i++) {
        names[i] = const_cast<char*>(wanted[i].name);
    }
    xlib().XInternAtoms(c.display, names, atom_count, False, atoms);
    for (int i = 0; i < atom_count; i++) {
        *wanted[i].atom = atoms[i];
    }
}

}  // namespace

bool connect(const char* name, std::string* why) {
    if (!load_xlib(why)) {
        return false;
    }
    Connection& c = the_connection;
    xlib().XSetErrorHandler(on_error);
    xlib().XSetIOErrorHandler(on_io_error);
    c.display = xlib().XOpenDisplay(name);
    if (c.display == nullptr) {
        *why = "no X server answers there, or it refused the connection";
        return false;
    }
    xlib().XSetIOErrorExitHandler(c.display, on_io_exit, nullptr);
    c.broken = false;
    c.screen = DefaultScreen(c.display);
    if (!choose_visual(c)) {
        xlib().XCloseDisplay(c.display);
        c.display = nullptr;
        *why = "the X server offers no TrueColor visual";
        return false;
    }
    c.native_pixels = pixels_are_native(c);
    c.gc = create_gc(c);
    intern_atoms(c);
    c.quarters = desktop_quarters(getenv("GDK_SCALE"), xlib().XResourceManagerString(c.display));
    return true;
}

Connection& connection() {
    return the_connection;
}

void lose_connection(const std::string& why) {
    the_connection.broken = true;
    the_connection.failure = why;
}

Surface* find_surface(SurfaceId id) {
    auto found = the_connection.surfaces.find(id);
    return found == the_connection.surfaces.end() ? nullptr : &found->second;
}

void close() {
    Connection& c = the_connection;
    if (c.display != nullptr) {
        // Xlib sends nothing on a display that had an I/O error, so a
        // broken one is closed the same way.
        if (c.gc != nullptr) {
            xlib().XFreeGC(c.display, c.gc);
        }
        xlib().XCloseDisplay(c.display);
    }
    c = Connection();
}

}  // namespace display::x11
