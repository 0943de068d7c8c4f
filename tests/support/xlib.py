"""Our own X clients through ctypes: Connection sends what a window manager
or a player's hardware would (the close box's client message, XTest
buttons) and times map notifications; Queries asks what a window manager
asks of a window (properties, geometry, stacking); Screen reads the root
window's pixels, where AT-SPI's screen coordinates are, and a window's own.
"""

import array
import ctypes
import select
import time

from results import Failure

ANY_PROPERTY_TYPE = 0
MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("pad", ctypes.c_long * 24)]


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("l", ctypes.c_long * 5)]


class XMapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


def libx11():
    """libX11 with the signatures every client here uses."""
    lib = ctypes.CDLL("libX11.so.6")
    lib.XOpenDisplay.restype = ctypes.c_void_p
    lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    lib.XDefaultRootWindow.restype = ctypes.c_ulong
    lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    lib.XInternAtom.restype = ctypes.c_ulong
    lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    lib.XFlush.argtypes = [ctypes.c_void_p]
    lib.XFree.argtypes = [ctypes.c_void_p]
    lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    return lib


class Client:
    def __init__(self, name):
        self.lib = libx11()
        self.display = self.lib.XOpenDisplay(name.encode())
        if not self.display:
            raise Failure("cannot connect to " + name)
        self.root = self.lib.XDefaultRootWindow(self.display)

    def close(self):
        self.lib.XCloseDisplay(self.display)

    def atom(self, name):
        return self.lib.XInternAtom(self.display, name.encode(), 0)


class Connection(Client):
    def __init__(self, name):
        super().__init__(name)
        lib = self.lib
        lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        lib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        lib.XPending.argtypes = [ctypes.c_void_p]
        lib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
        lib.XConnectionNumber.argtypes = [ctypes.c_void_p]
        lib.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
        lib.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong,
                                        ctypes.c_int, ctypes.c_int, ctypes.c_char_p, ctypes.c_int]
        self.tst = None

    def set_resources(self, text):
        """The root's RESOURCE_MANAGER, as xrdb or a settings daemon leaves it."""
        data = text.encode()
        self.lib.XChangeProperty(self.display, self.root, self.atom("RESOURCE_MANAGER"), 31, 8, 0, data,
                                 len(data))  # STRING, replace
        self.lib.XSync(self.display, 0)

    def delete_window(self, window):
        event = XClientMessageEvent()
        event.type = 33  # ClientMessage
        event.window = window
        event.message_type = self.atom("WM_PROTOCOLS")
        event.format = 32
        event.l[0] = self.atom("WM_DELETE_WINDOW")
        event.l[1] = 0  # CurrentTime
        whole = XEvent()
        ctypes.memmove(ctypes.byref(whole), ctypes.byref(event), ctypes.sizeof(event))
        self.lib.XSendEvent(self.display, window, 0, 0, ctypes.byref(whole))
        self.lib.XFlush(self.display)

    def watch_maps(self):
        self.lib.XSelectInput(self.display, self.root, SUBSTRUCTURE_NOTIFY_MASK)
        self.lib.XSync(self.display, 0)
        self.drain()

    def drain(self):
        event = XEvent()
        while self.lib.XPending(self.display):
            self.lib.XNextEvent(self.display, ctypes.byref(event))

    def window_name(self, window):
        name = ctypes.c_char_p()
        if not self.lib.XFetchName(self.display, window, ctypes.byref(name)) or not name.value:
            return None
        return name.value.decode("latin-1")

    def wait_map(self, names, deadline):
        """Time of the first MapNotify of a window with one of these names."""
        return self.wait_mapped(names, deadline)[0]

    def wait_mapped(self, names, deadline):
        """Time and window of the first MapNotify of a window with one of these names."""
        event = XEvent()
        fd = self.lib.XConnectionNumber(self.display)
        while True:
            while self.lib.XPending(self.display):
                self.lib.XNextEvent(self.display, ctypes.byref(event))
                stamp = time.monotonic()
                if event.type == MAP_NOTIFY:
                    window = ctypes.cast(ctypes.byref(event), ctypes.POINTER(XMapEvent)).contents.window
                    if self.window_name(window) in names:
                        return stamp, window
            left = deadline - time.monotonic()
            if left <= 0:
                raise Failure("no window named %s was mapped" % " or ".join(names))
            select.select([fd], [], [], left)

    def press_button(self):
        """A left click at the pointer; returns the time it was sent."""
        if self.tst is None:
            self.tst = ctypes.CDLL("libXtst.so.6")
            self.tst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                      ctypes.c_ulong]
        self.tst.XTestFakeButtonEvent(self.display, 1, 1, 0)
        self.tst.XTestFakeButtonEvent(self.display, 1, 0, 0)
        stamp = time.monotonic()
        self.lib.XFlush(self.display)
        return stamp


class Queries(Client):
    def __init__(self, name):
        super().__init__(name)
        lib = self.lib
        lib.XGetAtomName.restype = ctypes.c_void_p
        lib.XGetAtomName.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        lib.XGetWindowProperty.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long, ctypes.c_int,
            ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_void_p)]
        lib.XTranslateCoordinates.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong)]
        lib.XGetGeometry.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_uint), ctypes.POINTER(ctypes.c_uint),
            ctypes.POINTER(ctypes.c_uint), ctypes.POINTER(ctypes.c_uint)]
        lib.XCreateSimpleWindow.restype = ctypes.c_ulong
        lib.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                            ctypes.c_uint, ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong,
                                            ctypes.c_ulong]
        lib.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        lib.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]

    def atom_name(self, atom):
        pointer = self.lib.XGetAtomName(self.display, atom)
        if not pointer:
            return None
        name = ctypes.string_at(pointer).decode()
        self.lib.XFree(pointer)
        return name

    def property(self, window, name):
        """(type name, values): bytes for format 8, a list of numbers
        otherwise; (None, None) when the window has no such property."""
        self.lib.XSync(self.display, 0)
        kind, format_, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        status = self.lib.XGetWindowProperty(self.display, window, self.atom(name), 0, 1 << 20, 0,
                                             ANY_PROPERTY_TYPE, ctypes.byref(kind), ctypes.byref(format_),
                                             ctypes.byref(count), ctypes.byref(after), ctypes.byref(data))
        if status != 0 or kind.value == 0:
            return None, None
        if format_.value == 8:
            values = ctypes.string_at(data, count.value)
        elif format_.value == 16:
            values = list(ctypes.cast(data, ctypes.POINTER(ctypes.c_ushort))[:count.value])
        else:
            values = list(ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[:count.value])
        self.lib.XFree(data)
        return self.atom_name(kind.value), values

    def atoms(self, window, name):
        return [self.atom_name(a) for a in (self.property(window, name)[1] or [])]

    def geometry(self, window):
        """The window's rectangle on the screen: x, y, width, height."""
        self.lib.XSync(self.display, 0)
        root, x, y = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_int()
        width, height, border, depth = ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint(), ctypes.c_uint()
        if not self.lib.XGetGeometry(self.display, window, ctypes.byref(root), ctypes.byref(x), ctypes.byref(y),
                                     ctypes.byref(width), ctypes.byref(height), ctypes.byref(border),
                                     ctypes.byref(depth)):
            raise Failure("window %d is gone" % window)
        child = ctypes.c_ulong()
        self.lib.XTranslateCoordinates(self.display, window, self.root, 0, 0, ctypes.byref(x), ctypes.byref(y),
                                       ctypes.byref(child))
        return x.value, y.value, width.value, height.value

    def probe_window(self):
        """A small window of our own, mapped, for the window manager to take."""
        window = self.lib.XCreateSimpleWindow(self.display, self.root, 0, 0, 10, 10, 0, 0, 0)
        self.lib.XMapWindow(self.display, window)
        self.lib.XSync(self.display, 0)
        return window

    def destroy(self, window):
        self.lib.XDestroyWindow(self.display, window)
        self.lib.XSync(self.display, 0)

    def managed(self):
        return self.property(self.root, "_NET_CLIENT_LIST")[1] or []

    def stacking(self):
        """Managed windows, bottom to top, as the window manager keeps them."""
        return self.property(self.root, "_NET_CLIENT_LIST_STACKING")[1] or []


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int)]


# A window gone while it was read is an X error, which would end the script.
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
ignore_errors = ERROR_HANDLER(lambda display, error: 0)


class Screen(Client):
    def __init__(self, name):
        super().__init__(name)
        lib = self.lib
        lib.XSetErrorHandler.argtypes = [ERROR_HANDLER]
        lib.XSetErrorHandler(ignore_errors)
        lib.XGetImage.restype = ctypes.c_void_p
        lib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                  ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        lib.XGetPixel.restype = ctypes.c_ulong
        lib.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        lib.XDestroyImage.argtypes = [ctypes.c_void_p]

    def dark_pixels(self, x, y, width, height):
        image = self.lib.XGetImage(self.display, self.root, x, y, width, height, 0xFFFFFFFF, 2)  # ZPixmap
        if not image:
            raise Failure("cannot read the screen at %d,%d" % (x, y))
        try:
            return sum(1 for i in range(width) for j in range(height)
                       if self.lib.XGetPixel(image, i, j) & 0xFFFFFF == 0)
        finally:
            self.lib.XDestroyImage(image)

    def window_pixels(self, window, x, y, width, height):
        """A rectangle of a window's pixels as 0xRRGGBB, row by row; None
        when it cannot be read (the window unmapped or gone)."""
        image = self.lib.XGetImage(self.display, window, x, y, width, height, 0xFFFFFFFF, 2)  # ZPixmap
        if not image:
            return None
        try:
            picture = ctypes.cast(image, ctypes.POINTER(XImage)).contents
            if picture.bits_per_pixel != 32:
                raise Failure("a screen of %d bits per pixel" % picture.bits_per_pixel)
            words = array.array("I", ctypes.string_at(picture.data, picture.bytes_per_line * height))
            if picture.byte_order != 0:  # not LSBFirst
                words.byteswap()
            row = picture.bytes_per_line // 4
            return [words[j * row + i] & 0xFFFFFF for j in range(height) for i in range(width)]
        finally:
            self.lib.XDestroyImage(image)
