"""A private session bus: a dbus-daemon of our own, started here and ended
by its process id, a Gio client connection to it (call, has_owner), and
Service, which serves objects of ours on it (portal.py builds on it).
None of the user's buses is touched.

Gio comes from python3-gi; without it `Gio` is None and a script that
needs it reports the tool as not installed.
"""

import os
import select
import subprocess
import threading

import processes
from results import Failure

try:
    from gi.repository import Gio, GLib
except ImportError:
    Gio = GLib = None

DBUS = ("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus")


def connect(address):
    return Gio.DBusConnection.new_for_address_sync(
        address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
        None, None)


def call(connection, name, path, interface, method, signature=None, *arguments):
    parameters = GLib.Variant(signature, arguments) if signature else None
    try:
        reply = connection.call_sync(name, path, interface, method, parameters, None, Gio.DBusCallFlags.NONE,
                                     10000, None)
    except GLib.Error as error:
        raise Failure("%s.%s: %s" % (interface, method, error.message))
    return reply.unpack()


class SessionBus:
    def __init__(self):
        self.daemon = None
        self.address = None
        self.connection = None

    def start(self):
        self.daemon = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                                       stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                       start_new_session=True, preexec_fn=processes.die_with_parent)
        ready, _, _ = select.select([self.daemon.stdout], [], [], 20)
        self.address = self.daemon.stdout.readline().decode().strip() if ready else ""
        if not self.address:
            raise Failure("the session bus did not start")
        self.connection = connect(self.address)
        return self.address

    def env(self, base=None):
        """An environment whose session bus is this one."""
        return dict(os.environ if base is None else base, DBUS_SESSION_BUS_ADDRESS=self.address)

    def call(self, name, path, interface, method, signature=None, *arguments):
        return call(self.connection, name, path, interface, method, signature, *arguments)

    def has_owner(self, name):
        return self.call(*DBUS, "NameHasOwner", "(s)", name)[0]

    def stop(self):
        if self.connection is not None:
            self.connection.close_sync(None)
            self.connection = None
        processes.end(self.daemon)


class Service:
    """Objects of ours on a bus under a well-known name, answered on a
    thread of their own (its own GLib main context), so a test goes on
    driving the tool while the tool calls us.

    A subclass gives INTERFACES (introspection XML) and a method
    `<Interface's last part>_<Method>(arguments, invocation)` per method,
    e.g. Settings_Read; it returns a GLib.Variant of the reply's tuple, or
    None when it answers the invocation itself (later, or with an error).
    A method it lacks is answered with org.freedesktop.DBus.Error.UnknownMethod.
    Calls are recorded in `calls` as (interface, method, unpacked arguments);
    `properties` maps (interface, name) to the GLib.Variant a Get answers.
    """

    NAME = None
    PATH = None
    INTERFACES = ""

    def __init__(self, address):
        self.address = address
        self.calls = []
        self.properties = {}
        self.lock = threading.Lock()
        self.connection = None
        self.context = None
        self.loop = None
        self.thread = None
        self.ready = threading.Event()
        self.failure = None

    def start(self):
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()
        if not self.ready.wait(20) or self.failure:
            raise Failure("the %s service did not start: %s" % (self.NAME, self.failure or "no answer"))

    def serve(self):
        self.context = GLib.MainContext.new()
        self.context.push_thread_default()
        try:
            # Made on this thread, so its calls are dispatched to this context.
            self.connection = connect(self.address)
            info = Gio.DBusNodeInfo.new_for_xml(self.INTERFACES)
            for interface in info.interfaces:
                self.connection.register_object(self.PATH, interface, self.dispatch, self.property, None)
            reply = self.connection.call_sync(*DBUS, "RequestName", GLib.Variant("(su)", (self.NAME, 4)),
                                              None, Gio.DBusCallFlags.NONE, 10000, None)  # DO_NOT_QUEUE
            if reply.unpack()[0] != 1:  # PRIMARY_OWNER
                raise Failure("the name %s is taken" % self.NAME)
        except Exception as failure:
            self.failure = str(failure)
            self.ready.set()
            return
        self.loop = GLib.MainLoop.new(self.context, False)
        self.ready.set()
        self.loop.run()
        self.connection.close_sync(None)
        self.context.pop_thread_default()

    def dispatch(self, connection, sender, path, interface, method, parameters, invocation):
        with self.lock:
            self.calls.append((interface, method, parameters.unpack()))
        handler = getattr(self, "%s_%s" % (interface.rsplit(".", 1)[-1], method), None)
        if handler is None:
            invocation.return_dbus_error("org.freedesktop.DBus.Error.UnknownMethod", "%s.%s" % (interface, method))
            return
        try:
            reply = handler(parameters.unpack(), invocation)
        except Exception as failure:  # the test hears of it through the tool, not a dead thread
            invocation.return_dbus_error("org.freedesktop.DBus.Error.Failed", str(failure))
            return
        if reply is not None:
            invocation.return_value(reply)

    def property(self, connection, sender, path, interface, name):
        with self.lock:
            return self.properties.get((interface, name))

    def emit(self, interface, signal, signature, *arguments):
        """A signal from our object; safe from the test's thread."""
        self.connection.emit_signal(None, self.PATH, interface, signal, GLib.Variant(signature, arguments))
        self.connection.flush_sync(None)

    def stop(self):
        if self.loop is not None:
            self.context.invoke_full(GLib.PRIORITY_DEFAULT, self.loop.quit)
            self.thread.join(10)
            self.loop = None
