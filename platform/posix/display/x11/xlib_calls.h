// The part of Xlib the X11 backend calls, declared by Xlib's own headers and
// loaded with dlopen when the backend connects, once per process: a start
// on Wayland never maps libX11 nor the libraries it brings. Xlib's macros
// (DefaultScreen, NextRequest, XDestroyImage, XPutPixel, ...) read the
// display's or the image's own fields and are used as they are.
#pragma once

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <string>

namespace display::x11 {

// clang-format off
#define SORVANE_XLIB_CALLS(X) \
    X(XOpenDisplay) \
    X(XCloseDisplay) \
    X(XSetErrorHandler) \
    X(XSetIOErrorHandler) \
    X(XSetIOErrorExitHandler) \
    X(XGetErrorText) \
    X(XMatchVisualInfo) \
    X(XCreateColormap) \
    X(XListPixmapFormats) \
    X(XCreatePixmap) \
    X(XFreePixmap) \
    X(XCreateGC) \
    X(XFreeGC) \
    X(XInternAtoms) \
    X(XResourceManagerString) \
    X(XkbSetDetectableAutoRepeat) \
    X(XFree) \
    X(XFlush) \
    X(XSync) \
    X(XPending) \
    X(XNextEvent) \
    X(XSendEvent) \
    X(XCreateWindow) \
    X(XDestroyWindow) \
    X(XMapRaised) \
    X(XRaiseWindow) \
    X(XWithdrawWindow) \
    X(XMoveResizeWindow) \
    X(XGetWindowAttributes) \
    X(XTranslateCoordinates) \
    X(XSetInputFocus) \
    X(XAllocSizeHints) \
    X(XSetWMNormalHints) \
    X(XAllocWMHints) \
    X(XSetWMHints) \
    X(XAllocClassHint) \
    X(XSetClassHint) \
    X(XSetWMProtocols) \
    X(XSetTransientForHint) \
    X(XStringListToTextProperty) \
    X(XSetWMClientMachine) \
    X(XChangeProperty) \
    X(XStoreName) \
    X(XSetIconName) \
    X(XSetForeground) \
    X(XFillRectangle) \
    X(XInitImage) \
    X(XCreateImage) \
    X(XPutImage) \
    X(XLookupString) \
    X(XLookupKeysym) \
    X(XRefreshKeyboardMapping)
// clang-format on

struct XlibCalls {
#define SORVANE_XLIB_MEMBER(name) decltype(&::name) name;
    SORVANE_XLIB_CALLS(SORVANE_XLIB_MEMBER)
#undef SORVANE_XLIB_MEMBER
};

// libX11's calls, once load_xlib has loaded them; only a connected backend
// calls them.
const XlibCalls& xlib();

// Loads libX11 on the first call; false, and why in *why, when it cannot be
// loaded or lacks a call, then and at every later call.
bool load_xlib(std::string* why);

// Loads the calls from the library of that name into *calls; false, with
// the library closed again and why in *why, when it cannot be had whole.
bool load_xlib_calls(const char* soname, XlibCalls* calls, std::string* why);

}  // namespace display::x11
