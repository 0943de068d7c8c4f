// Surfaces as X windows: one top-level window per surface, its size the
// client area's, the window manager asked to keep the client where we put it.
#include "platform/posix/display/x11/connection.h"

#include <X11/Xatom.h>
#include <unistd.h>

#include <algorithm>

namespace display::x11 {

namespace {

const long input_event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                              PointerMotionMask | FocusChangeMask | StructureNotifyMask;

// The position is the client area's: StaticGravity tells a window manager
// to put its frame around the window rather than move the window. The hints
// say the program chose it, not the user, so a window manager may still
// keep the window on a small screen.
void set_size_hints(Display* display, const Surface& surface, int x, int y) {
    XSizeHints* hints = xlib().XAllocSizeHints();
    hints->flags = PPosition | PSize | PWinGravity;
    hints->x = x;
    hints->y = y;
    hints->width = surface.screen_width;
    hints->height = surface.screen_height;
    hints->win_gravity = StaticGravity;
    if (!surface.resizable) {
        hints->flags |= PMinSize | PMaxSize;
        hints->min_width = hints->max_width = surface.screen_width;
        hints->min_height = hints->max_height = surface.screen_height;
    }
    xlib().XSetWMNormalHints(display, surface.window, hints);
    xlib().XFree(hints);
}

// Who the window belongs to, the same whatever the binary is called, so a
// window manager can match it to the desktop entry, name its process and
// show an icon.
void set_identity(Display* display, Window window) {
    XClassHint* hint = xlib().XAllocClassHint();
    char name[] = "sorvane", klass[sizeof application_id];
    std::copy(application_id, application_id + sizeof application_id, klass);
    hint->res_name = name;
    hint->res_class = klass;
    xlib().XSetClassHint(display, window, hint);
    xlib().XFree(hint);

    const Connection& c = connection();
    unsigned long pid = static_cast<unsigned long>(getpid());
    xlib().XChangeProperty(display, window, c.net_wm_pid, XA_CARDINAL, 32, PropModeReplace,
                           reinterpret_cast<const unsigned char*>(&pid), 1);
    char host[256] = "";
    if (gethostname(host, sizeof host - 1) == 0 && host[0] != '\0') {
        XTextProperty machine;
        char* list[] = {host};
        if (xlib().XStringListToTextProperty(list, 1, &machine)) {
            xlib().XSetWMClientMachine(display, window, &machine);
            xlib().XFree(machine.value);
        }
    }
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
    attributes.event_mask = input_event_mask;
    attributes.bit_gravity = NorthWestGravity;
    unsigned long mask = CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask | CWBitGravity;
    Window window = xlib().XCreateWindow(display, RootWindow(display, c.screen), x, y, width, height, 0, c.depth,
                                         InputOutput, c.visual, mask, &attributes);
    if (window == 0) {
        return false;
    }
    Surface surface;
    surface.window = window;
    surface.width = width;
    surface.height = height;
    surface.resizable = resizable;
    surface.screen_x = x;
    surface.screen_y = y;
    surface.screen_width = width;
    surface.screen_height = height;
    surface.reported_x = x;
    surface.reported_y = y;
    set_size_hints(display, surface, surface.screen_x, surface.screen_y);
    store_title(display, window, title);
    set_identity(display, window);
    XWMHints* wm_hints = xlib().XAllocWMHints();
    wm_hints->flags = InputHint | StateHint;
    wm_hints->input = True;
    wm_hints->initial_state = NormalState;
    xlib().XSetWMHints(display, window, wm_hints);
    xlib().XFree(wm_hints);
    xlib().XSetWMProtocols(display, window, &c.wm_delete_window, 1);
    c.surfaces[id] = surface;
    c.by_window[window] = id;
    xlib().XFlush(display);
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
        xlib().XDestroyWindow(display, window);
        xlib().XFlush(display);
    }
}

void show_surface(SurfaceId id, bool visible) {
    Display* display = live_display();
    Surface* surface = find_surface(id);
    if (display == nullptr || surface == nullptr) {
        return;
    }
    if (visible) {
        // Only for a window the layer gave no icon of its own.
        want_default_icon(surface);
        xlib().XMapRaised(display, surface->window);
    } else {
        // Withdrawing also tells a window manager, which unmapping alone
        // would not once it has reparented the window.
        xlib().XWithdrawWindow(display, surface->window, connection().screen);
        surface->focus_wanted = false;
    }
    xlib().XFlush(display);
}

void move_surface(SurfaceId id, int x, int y, int width, int height) {
    Display* display = live_display();
    Surface* surface = find_surface(id);
    if (display == nullptr || surface == nullptr || width <= 0 || height <= 0) {
        return;
    }
    if (width != surface->width || height != surface->height) {
        drop_presented(surface);  // the window layer made a new frame
    }
    surface->width = width;
    surface->height = height;
    surface->screen_width = width;
    surface->screen_height = height;
    surface->reported_x = x;
    surface->reported_y = y;
    // The hints first, so that fixed-size hints never forbid the new size.
    set_size_hints(display, *surface, x, y);
    xlib().XMoveResizeWindow(display, surface->window, x, y, width, height);
    xlib().XFlush(display);
}

void give_focus(const Surface& surface) {
    Display* display = live_display();
    if (display == nullptr) {
        return;
    }
    xlib().XRaiseWindow(display, surface.window);
    xlib().XSetInputFocus(display, surface.window, RevertToParent, CurrentTime);
    xlib().XFlush(display);
}

// Focus can only go to a viewable window. Until its MapNotify has come the
// focus waits for it: asking the server instead would cost a round trip
// before the first frame, and under a window manager the map request may
// not have been carried out yet anyway.
void activate_surface(SurfaceId id) {
    Surface* surface = find_surface(id);
    if (live_display() == nullptr || surface == nullptr) {
        return;
    }
    if (surface->viewable) {
        give_focus(*surface);
    } else {
        surface->focus_wanted = true;
    }
}

void set_background(SurfaceId id, uint32_t rgb) {
    Surface* surface = find_surface(id);
    if (surface == nullptr) {
        return;
    }
    surface->has_background = true;
    surface->background = rgb;
}

void fill_outside_client(const Surface& surface, int x, int y, int width, int height) {
    Display* display = live_display();
    if (display == nullptr || !surface.has_background) {
        return;
    }
    const Connection& c = connection();
    const int client_width = surface.width, client_height = surface.height;
    xlib().XSetForeground(display, c.gc, server_pixel(surface.background));
    // Right of the client area, then below it across the whole width.
    int right = x + width, bottom = y + height;
    int left = x > client_width ? x : client_width;
    if (right > left && y < client_height) {
        int to = bottom < client_height ? bottom : client_height;
        xlib().XFillRectangle(display, surface.window, c.gc, left, y, right - left, to - y);
    }
    int top = y > client_height ? y : client_height;
    if (bottom > top) {
        xlib().XFillRectangle(display, surface.window, c.gc, x, top, width, bottom - top);
    }
}

}  // namespace display::x11
