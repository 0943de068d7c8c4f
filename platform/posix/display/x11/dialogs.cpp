// Owned windows as the window manager should treat them: a window with an
// owner is a dialog kept above it, and while it holds its owner disabled it
// is modal and has no taskbar entry of its own.
#include "platform/posix/display/x11/connection.h"

namespace display::x11 {

namespace {

const long state_remove = 0, state_add = 1;
const long from_application = 1;

// Before the window is mapped the property is ours to write; afterwards
// the window manager owns it and is asked instead.
void change_states(Display* display, const Surface& surface, bool add) {
    Connection& c = connection();
    Atom states[] = {c.net_wm_state_modal, c.net_wm_state_skip_taskbar};
    XWindowAttributes attributes;
    bool mapped =
        xlib().XGetWindowAttributes(display, surface.window, &attributes) && attributes.map_state != IsUnmapped;
    if (!mapped) {
        xlib().XChangeProperty(display, surface.window, c.net_wm_state, XA_ATOM, 32, PropModeReplace,
                               reinterpret_cast<const unsigned char*>(states), add ? 2 : 0);
        return;
    }
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = surface.window;
    event.xclient.message_type = c.net_wm_state;
    event.xclient.format = 32;
    event.xclient.data.l[0] = add ? state_add : state_remove;
    event.xclient.data.l[1] = static_cast<long>(states[0]);
    event.xclient.data.l[2] = static_cast<long>(states[1]);
    event.xclient.data.l[3] = from_application;
    xlib().XSendEvent(display, RootWindow(display, c.screen), False, SubstructureRedirectMask | SubstructureNotifyMask,
                      &event);
}

}  // namespace

void set_owner(SurfaceId id, SurfaceId owner_id) {
    Display* display = live_display();
    Surface* surface = find_surface(id);
    Surface* owner = find_surface(owner_id);
    if (display == nullptr || surface == nullptr || owner == nullptr || owner == surface) {
        return;
    }
    const Connection& c = connection();
    xlib().XSetTransientForHint(display, surface->window, owner->window);
    Atom type = c.net_wm_window_type_dialog;
    xlib().XChangeProperty(display, surface->window, c.net_wm_window_type, XA_ATOM, 32, PropModeReplace,
                           reinterpret_cast<const unsigned char*>(&type), 1);
    xlib().XFlush(display);
}

void set_modal(SurfaceId id, bool modal) {
    Display* display = live_display();
    Surface* surface = find_surface(id);
    if (display == nullptr || surface == nullptr || surface->modal == modal) {
        return;
    }
    surface->modal = modal;
    change_states(display, *surface, modal);
    xlib().XFlush(display);
}

}  // namespace display::x11
