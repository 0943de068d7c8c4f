"""A private XDG desktop portal: org.freedesktop.portal.Desktop on a
private session bus (bus.SessionBus), served by bus.Service, with the
interfaces a test sets up. Settings is here: the test sets values
(portal.set) and the portal answers Read, ReadOne and ReadAll with them
and sends SettingChanged, as xdg-desktop-portal does for a desktop's
appearance (org.freedesktop.appearance color-scheme, contrast, ...).

Another interface (FileChooser, OpenURI) is added the same way: its
introspection XML in INTERFACES and a method Interface_Method per call,
in a subclass of Portal.
"""

from bus import GLib, Service

NAME = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
SETTINGS = "org.freedesktop.portal.Settings"
NOT_FOUND = "org.freedesktop.portal.Error.NotFound"

SETTINGS_XML = """
<interface name="org.freedesktop.portal.Settings">
  <method name="ReadAll">
    <arg type="as" name="namespaces" direction="in"/>
    <arg type="a{sa{sv}}" name="value" direction="out"/>
  </method>
  <method name="Read">
    <arg type="s" name="namespace" direction="in"/>
    <arg type="s" name="key" direction="in"/>
    <arg type="v" name="value" direction="out"/>
  </method>
  <method name="ReadOne">
    <arg type="s" name="namespace" direction="in"/>
    <arg type="s" name="key" direction="in"/>
    <arg type="v" name="value" direction="out"/>
  </method>
  <signal name="SettingChanged">
    <arg type="s" name="namespace"/>
    <arg type="s" name="key"/>
    <arg type="v" name="value"/>
  </signal>
  <property name="version" type="u" access="read"/>
</interface>
"""


def matches(namespace, patterns):
    """ReadAll's namespaces: none means all; a trailing * matches a prefix."""
    if not patterns or patterns == [""]:
        return True
    return any(namespace == p or (p.endswith("*") and namespace.startswith(p[:-1])) for p in patterns)


class Portal(Service):
    NAME = NAME
    PATH = PATH
    INTERFACES = "<node>%s</node>" % SETTINGS_XML

    def __init__(self, address, settings=None):
        super().__init__(address)
        # namespace -> key -> GLib.Variant
        self.settings = {}
        for (namespace, key), value in (settings or {}).items():
            self.settings.setdefault(namespace, {})[key] = value
        self.properties[(SETTINGS, "version")] = GLib.Variant("u", 2)

    def set(self, namespace, key, value):
        """A new value; once the portal runs, SettingChanged tells it."""
        with self.lock:
            self.settings.setdefault(namespace, {})[key] = value
        if self.loop is not None:
            self.emit(SETTINGS, "SettingChanged", "(ssv)", namespace, key, value)

    def value(self, namespace, key, invocation):
        with self.lock:
            value = self.settings.get(namespace, {}).get(key)
        if value is None:
            invocation.return_dbus_error(NOT_FOUND, "Requested setting not found")
        return value

    def Settings_ReadAll(self, arguments, invocation):
        (patterns,) = arguments
        with self.lock:
            found = {n: dict(keys) for n, keys in self.settings.items() if matches(n, patterns)}
        return GLib.Variant.new_tuple(GLib.Variant("a{sa{sv}}", found))

    def Settings_ReadOne(self, arguments, invocation):
        value = self.value(*arguments, invocation)
        return None if value is None else GLib.Variant.new_tuple(GLib.Variant("v", value))

    def Settings_Read(self, arguments, invocation):
        # The first version's reply: the value inside one more variant.
        value = self.value(*arguments, invocation)
        return None if value is None else GLib.Variant.new_tuple(GLib.Variant("v", GLib.Variant("v", value)))


FILE_CHOOSER = "org.freedesktop.portal.FileChooser"
FILE_CHOOSER_XML = """
<interface name="org.freedesktop.portal.FileChooser">
  <method name="OpenFile">
    <arg type="s" name="parent_window" direction="in"/>
    <arg type="s" name="title" direction="in"/>
    <arg type="a{sv}" name="options" direction="in"/>
    <arg type="o" name="handle" direction="out"/>
  </method>
</interface>
"""


class ChooserPortal(Portal):
    """The portal with a FileChooser whose OpenFile answers as the test set
    it (choose(uri) or cancel()): the request's handle from the caller's
    name and handle_token, then Response on it once the reply is out, as
    xdg-desktop-portal does. `opened` keeps each call's options, unpacked."""

    INTERFACES = "<node>%s%s</node>" % (SETTINGS_XML, FILE_CHOOSER_XML)

    def __init__(self, address):
        super().__init__(address)
        self.response = (1, {})
        self.opened = []

    def choose(self, uri):
        self.response = (0, {"uris": GLib.Variant("as", [uri])})

    def cancel(self):
        self.response = (1, {})

    def FileChooser_OpenFile(self, arguments, invocation):
        _, _, options = arguments
        with self.lock:
            self.opened.append(options)
        sender = invocation.get_sender()
        handle = "%s/request/%s/%s" % (PATH, sender[1:].replace(".", "_"), options.get("handle_token", "t"))
        code, results = self.response

        def respond(*_):
            self.connection.emit_signal(sender, handle, "org.freedesktop.portal.Request", "Response",
                                        GLib.Variant("(ua{sv})", (code, results)))
            return False

        # An idle source runs after this call's reply has gone.
        source = GLib.idle_source_new()
        source.set_callback(respond)
        source.attach(self.context)
        return GLib.Variant("(o)", (handle,))
