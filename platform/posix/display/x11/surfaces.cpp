// Surfaces as X windows: one top-level window per surface, its size the
// client area's, the window manager asked to keep the client where we put it.
#include "platform/posix/display/x11/connection.h"

#include <X11/Xatom.h>
#include <ctype.h>
#include <errno.h>
#include <string.h>

#include <string>

namespace display::x11 {

namespace {

const long kEventMask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                        PointerMotionMask | FocusChangeMask | StructureNotifyMask;

// The position is the client area's: StaticGravity tells a window manager
// to put its frame around the window rather than move the window.
void set_size_hints(Display* display, const Surface& surface, int x, int y) {
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = USPosition | PPosition | USSize | PSize | PWinGravity;
    hints->x = x;
    hints->y = y;
    hints->width = surface.width;
    hints->height = surface.height;
    hints->win_gravity = StaticGravity;
    if (!surface.resizable) {
        hints->flags |= PMinSize | PMaxSize;
        hints->min_width = hints->max_width = surface.width;
        hints->min_height = hints->max_height = surface.height;
    }
    XSetWMNormalHints(display, surface.window, hints);
    XFree(hints);
}

std::string utf8_of_latin1(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; p++) {
        if (*p < 0x80) {
            out += static_cast<char>(*p);
        } else {
            out += static_cast<char>(0xC0 | (*p >> 6));
            out += static_cast<char>(0x80 | (*p & 0x3F));
        }
    }
    return out;
}

void store_title(Display* display, Window window, const char* title) {
    if (title == nullptr) {
        title = "";
    }
    // WM_NAME is a STRING, which is Latin-1: the title's bytes as they are.
    XStoreName(display, window, title);
    XSetIconName(display, window, title);
    const Connection& c = connection();
    std::string utf8 = utf8_of_latin1(title);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
    int length = static_cast<int>(utf8.size());
    XChangeProperty(display, window, c.net_wm_name, c.utf8_string, 8, PropModeReplace, bytes, length);
    XChangeProperty(display, window, c.net_wm_icon_name, c.utf8_string, 8, PropModeReplace, bytes, length);
}

void set_class(Display* display, Window window) {
    XClassHint* hint = XAllocClassHint();
    std::string name = program_invocation_short_name;
    std::string klass = name;
    if (!klass.empty()) {
        klass[0] = static_cast<char>(toupper(static_cast<unsigned char>(klass[0])));
    }
    hint->res_name = &name[0];
    hint->res_class = &klass[0];
    XSetClassHint(display, window, hint);
    XFree(hint);
}

}  // namespace

bool create_surface(SurfaceId id, const char* title, int x, int y, int width, int height, bool resizable) {
    Display* display = live_display();
    Connection& c = connection();
    if (display == nullptr || find_surface(id) != nullptr || width <= 0 || height <= 0) {
        return false;
    }
    XSetWindowAttributes attributes;
    // No background: the window layer paints every exposed pixel itself.
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.colormap = c.colormap;
    attributes.event_mask = kEventMask;
    attributes.bit_gravity = NorthWestGravity;
    unsigned long mask = CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask | CWBitGravity;
    Window window = XCreateWindow(display, RootWindow(display, c.screen), x, y, width, height, 0, c.depth, InputOutput,
                                  c.visual, mask, &attributes);
    if (window == 0) {
        return false;
    }
    Surface surface;
    surface.window = window;
    surface.width = width;
    surface.height = height;
    surface.resizable = resizable;
    set_size_hints(display, surface, x, y);
    store_title(display, window, title);
    set_class(display, window);
    XWMHints* wm_hints = XAllocWMHints();
    wm_hints->flags = InputHint | StateHint;
    wm_hints->input = True;
    wm_hints->initial_state = NormalState;
    XSetWMHints(display, window, wm_hints);
    XFree(wm_hints);
    XSetWMProtocols(display, window, &c.wm_delete_window, 1);
    c.surfaces[id] = surface;
    c.by_window[window] = id;
    XFlush(display);
    return true;
}

void destroy_surface(SurfaceId id) {
    Connection& c = connection();
    Surface* surface = find_surface(id);
    if (surface == nullptr) {
        return;
    }
    // Events already queued for the window are dropped once it is forgotten.
    Window window = surface->window;
    c.by_window.erase(window);
    c.surfaces.erase(id);
    if (Display* display = live_display()) {
        XDestroyWindow(display, window);
        XFlush(display);
    }
}

void show_surface(SurfaceId id, bool visible) {
    Display* display = live_display();
    Surface* surface = find_surface(id);
    if (display == nullptr || surface == nullptr) {
        return;
    }
    if (visible) {
        XMapRaised(display, surface->window);
    } else {
        // Withdrawing also tells a window manager, which unmapping alone
        // would not once it has reparented the window.
        XWithdrawWindow(display, surface->window, connection().screen);
        surface->focus_wanted = false;
    }
    XFlush(display);
}

void move_surface(SurfaceId id, int x, int y, int width, int height) {
    Display* display = live_display();
    Surface* surface = find_surface(id);
    if (display == nullptr || surface == nullptr || width <= 0 || height <= 0) {
        return;
    }
    surface->width = width;
    surface->height = height;
    // The hints first, so that fixed-size hints never forbid the new size.
    set_size_hints(display, *surface, x, y);
    XMoveResizeWindow(display, surface->window, x, y, width, height);
    XFlush(display);
}

void set_title(SurfaceId id, const char* title) {
    Display* display = live_display();
    Surface* surface = find_surface(id);
    if (display == nullptr || surface == nullptr) {
        return;
    }
    store_title(display, surface->window, title);
    XFlush(display);
}

void give_focus(const Surface& surface) {
    Display* display = live_display();
    if (display == nullptr) {
        return;
    }
    XRaiseWindow(display, surface.window);
    XSetInputFocus(display, surface.window, RevertToParent, CurrentTime);
    XFlush(display);
}

// Focus can only go to a viewable window; under a window manager the map
// request may not have been carried out yet, so the focus then waits for
// the MapNotify.
void activate_surface(SurfaceId id) {
    Surface* surface = find_surface(id);
    if (live_display() == nullptr || surface == nullptr) {
        return;
    }
    XWindowAttributes attributes;
    if (XGetWindowAttributes(live_display(), surface->window, &attributes) && attributes.map_state == IsViewable) {
        surface->viewable = true;
    }
    if (surface->viewable) {
        give_focus(*surface);
    } else {
        surface->focus_wanted = true;
    }
}

}  // namespace display::x11
