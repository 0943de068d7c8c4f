// X events to the window layer's input: client coordinates, server times,
// virtual-key codes and the characters keys type.
#include "platform/posix/display/x11/connection.h"

#include <X11/XKBlib.h>
#include <X11/keysym.h>
#include <errno.h>
#include <poll.h>
#include <string.h>
#include <time.h>

#include "platform/posix/display/virtual_keys.h"
#include "platform/posix/display/x11/x11.h"

namespace display::x11 {

namespace {

bool translate_key(const XKeyEvent& event, Input* input) {
    XKeyEvent copy = event;
    char typed[8];
    KeySym keysym = NoSymbol;
    int length = xlib().XLookupString(&copy, typed, sizeof typed, &keysym, nullptr);
    // The key's own symbol, unshifted, names the key: shift+Tab is still Tab
    // and shift+a is still A. The keypad's digits depend on Num Lock.
    KeySym plain = xlib().XLookupKeysym(&copy, 0);
    int vk =
        (keysym >= XK_KP_0 && keysym <= XK_KP_9) || keysym == XK_KP_Decimal ? virtual_key(keysym) : virtual_key(plain);
    if (vk == 0) {
        vk = virtual_key(keysym);
    }
    char text = length == 1 ? typed[0] : 0;
    if (keysym == XK_ISO_Left_Tab) {
        text = '\t';  // shift+Tab types a tab on Windows
    }
    if (keysym == XK_Delete || keysym == XK_KP_Delete) {
        text = 0;  // and Delete types nothing
    }
    if (event.type == KeyRelease) {
        text = 0;
    }
    if (vk == 0 && text == 0) {
        return false;
    }
    input->kind = event.type == KeyPress ? InputKind::KeyDown : InputKind::KeyUp;
    input->vk = vk;
    input->text = text;
    input->time = static_cast<uint32_t>(event.time);
    return true;
}

bool translate_button(const XButtonEvent& event, Input* input) {
    static const int button_numbers[] = {0, ButtonLeft, ButtonMiddle, ButtonRight};
    if (event.button < 1 || event.button > 3) {
        return false;  // wheel and extra buttons have no message here
    }
    input->kind = event.type == ButtonPress ? InputKind::ButtonDown : InputKind::ButtonUp;
    input->x = event.x;
    input->y = event.y;
    input->button = button_numbers[event.button];
    input->time = static_cast<uint32_t>(event.time);
    return true;
}

// The exposed area; what lies beyond the client area, where a window
// manager made the window larger, is filled here. False when nothing of the
// client area was exposed, or when all of it was put after the exposure.
// Another client's Expose is passed on as it came.
bool translate_expose(const XExposeEvent& event, const Surface& surface, Input* input) {
    int right = event.x + event.width;
    int bottom = event.y + event.height;
    if (!event.send_event) {
        fill_outside_client(surface, event.x, event.y, event.width, event.height);
        right = right < surface.width ? right : surface.width;
        bottom = bottom < surface.height ? bottom : surface.height;
    }
    input->kind = expose_input;
    input->x = event.x;
    input->y = event.y;
    input->width = right - input->x;
    input->height = bottom - input->y;
    if (event.send_event) {
        return true;
    }
    return input->width > 0 && input->height > 0 && !put_since(surface, event.serial, event.x, event.y, right, bottom);
}

// Where the window is on the screen, asked of the server: a window manager
// that reparented it reports positions inside its frame.
void read_root_position(Surface* surface) {
    Display* display = live_display();
    Window child;
    int x = 0, y = 0;
    if (display != nullptr &&
        xlib().XTranslateCoordinates(display, surface->window, RootWindow(display, connection().screen), 0, 0, &x, &y,
                                     &child)) {
        surface->screen_x = x;
        surface->screen_y = y;
    }
}

// Tells the window layer where the client area is now when that is not
// where it last heard it was.
bool report_place(Surface* surface, Input* input) {
    int x = surface->screen_x, y = surface->screen_y;
    if (x == surface->reported_x && y == surface->reported_y) {
        return false;
    }
    surface->reported_x = x;
    surface->reported_y = y;
    input->kind = InputKind::Moved;
    input->x = x;
    input->y = y;
    return true;
}

// A window manager's own ConfigureNotify carries root coordinates; the
// server's is relative to the parent, which may be a frame.
bool follow_configure(const XConfigureEvent& event, Surface* surface, Input* input) {
    surface->screen_width = event.width;
    surface->screen_height = event.height;
    if (event.send_event) {
        surface->screen_x = event.x;
        surface->screen_y = event.y;
    } else {
        read_root_position(surface);
    }
    return report_place(surface, input);
}

bool follow_reparent(Surface* surface, Input* input) {
    read_root_position(surface);
    return report_place(surface, input);
}

// Focus that moves only for a keyboard grab (a window manager's switcher)
// or follows the pointer is not the surface gaining or losing the keyboard.
bool focus_counts(const XFocusChangeEvent& event) {
    if (event.mode == NotifyGrab || event.mode == NotifyUngrab) {
        return false;
    }
    return event.detail != NotifyPointer && event.detail != NotifyInferior;
}

// The surface is on the screen: the activation asked for before it was
// can be carried out now.
void follow_map(Surface* surface) {
    surface->viewable = true;
    if (surface->focus_wanted) {
        surface->focus_wanted = false;
        give_focus(*surface);
    }
}

// Fills input from an event; false for events the window layer has no use
// for, and for windows no longer known.
bool translate(XEvent& event, Input* input) {
    Connection& c = connection();
    if (event.type == MappingNotify) {
        xlib().XRefreshKeyboardMapping(&event.xmapping);
        return false;
    }
    auto known = c.by_window.find(event.xany.window);
    if (known == c.by_window.end()) {
        return false;
    }
    Surface& surface = c.surfaces[known->second];
    *input = Input();
    input->surface = known->second;
    switch (event.type) {
        case Expose:
            input->kind = expose_input;
            return translate_expose(event.xexpose, surface, input);
        case MotionNotify:
            input->kind = InputKind::MouseMove;
            input->x = event.xmotion.x;
            input->y = event.xmotion.y;
            input->time = static_cast<uint32_t>(event.xmotion.time);
            return true;
        case ButtonPress:
        case ButtonRelease:
            return translate_button(event.xbutton, input);
        case KeyPress:
        case KeyRelease:
            return translate_key(event.xkey, input);
        case FocusIn:
        case FocusOut:
            if (!focus_counts(event.xfocus)) {
                return false;
            }
            input->kind = event.type == FocusIn ? focus_in_input : focus_out_input;
            return true;
        case ClientMessage:
            if (event.xclient.message_type != c.wm_protocols || event.xclient.format != 32 ||
                static_cast<Atom>(event.xclient.data.l[0]) != c.wm_delete_window) {
                return false;
            }
            input->kind = InputKind::CloseRequest;
            return true;
        case MapNotify:
            follow_map(&surface);
            return false;
        case UnmapNotify:
            surface.viewable = false;
            return false;
        case ConfigureNotify:
            return follow_configure(event.xconfigure, &surface, input);
        case ReparentNotify:
            return follow_reparent(&surface, input);
        default:
            return false;
    }
}

int64_t now_ms() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

bool next_input_within(Input* input, int timeout_ms) {
    Connection& c = connection();
    const int64_t deadline = timeout_ms < 0 ? 0 : now_ms() + timeout_ms;
    // The window layer asks only when it has nothing left to do, so what it
    // drew goes out now, as one frame.
    send_presented();
    // Three round trips the first frame need not wait for, asked long
    // before a key can be held.
    if (!c.repeat_asked && !c.broken && c.display != nullptr) {
        c.repeat_asked = true;
        Bool supported = False;
        xlib().XkbSetDetectableAutoRepeat(c.display, True, &supported);
    }
    for (;;) {
        // XPending flushes our requests and reads what the server sent.
        while (!c.broken && c.display != nullptr && xlib().XPending(c.display) > 0) {
            XEvent event;
            xlib().XNextEvent(c.display, &event);
            if (c.broken) {
                break;
            }
            if (translate(event, input)) {
                return true;
            }
        }
        if (c.broken || c.display == nullptr) {
            return false;
        }
        int wait = -1;
        if (timeout_ms >= 0) {
            int64_t left = deadline - now_ms();
            if (left <= 0) {
                *input = Input();
                return true;
            }
            wait = static_cast<int>(left);
        }
        pollfd connection_fd = {ConnectionNumber(c.display), POLLIN, 0};
        bool served = false;
        if (poll_with_hook(&connection_fd, 1, wait, &served) < 0 && errno != EINTR) {
            lose_connection(std::string("waiting for the X server failed (") + strerror(errno) + ")");
            return false;
        }
        if (served) {
            *input = Input();
            return true;
        }
        // A hang-up is noticed by the next XPending, which reads nothing.
    }
}

bool next_input(Input* input) {
    return next_input_within(input, -1);
}

}  // namespace display::x11
