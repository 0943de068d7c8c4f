// org.a11y.Status and org.a11y.Bus.GetAddress over the session bus, with
// our own client (platform/posix/bus): while accessibility is off the
// program asks, listens for a change and loads nothing.
#include "platform/posix/a11y/status.h"

#include "platform/posix/bus/bus.h"

namespace a11y::status {

namespace {

const char* const a11y_bus = "org.a11y.Bus";
const char* const a11y_path = "/org/a11y/bus";

// The one state of this file.
struct Status {
    bus::Connection connection;
    uint32_t status_serial = 0;
    uint32_t address_serial = 0;
    Handlers handlers = {};
};

Status& status() {
    static Status s;
    return s;
}

// org.a11y.Status's a{sv}: on when IsEnabled or ScreenReaderEnabled is.
bool status_on(const bus::Message& m, bool* on) {
    if (m.type != bus::MessageType::method_return || m.signature != "a{sv}") {
        return false;
    }
    *on = false;
    for (const char* name : {"IsEnabled", "ScreenReaderEnabled"}) {
        bool value = false;
        const bus::Value* v = bus::lookup(m.body[0], name);
        if (v != nullptr && bus::get(*v, &value)) {
            *on = *on || value;
        }
    }
    return true;
}

void ask_status() {
    Status& s = status();
    s.status_serial = s.connection.call(a11y_bus, a11y_path, "org.freedesktop.DBus.Properties", "GetAll",
                                        {bus::string("org.a11y.Status")});
}

void handle(const bus::Message& m) {
    Status& s = status();
    if (m.type == bus::MessageType::signal && m.member == "PropertiesChanged" && m.path == a11y_path) {
        ask_status();
        return;
    }
    if (m.type != bus::MessageType::method_return && m.type != bus::MessageType::error) {
        return;
    }
    bool on = false;
    std::string address;
    if (s.status_serial != 0 && m.reply_serial == s.status_serial) {
        s.status_serial = 0;
        if (status_on(m, &on)) {
            s.handlers.status(on);
        }
    } else if (s.address_serial != 0 && m.reply_serial == s.address_serial) {
        s.address_serial = 0;
        if (m.type == bus::MessageType::method_return && m.signature == "s" && bus::get(m.body[0], &address) &&
            !address.empty()) {
            s.handlers.address(address.c_str());
        }
    }
}

}  // namespace

bool open(const Handlers& h) {
    Status& s = status();
    if (s.connection.is_open() || !s.connection.open_session()) {
        return false;
    }
    s.handlers = h;
    s.connection.add_match(
        bus::signal_rule("org.freedesktop.DBus.Properties", "PropertiesChanged", a11y_path, "org.a11y.Status"));
    ask_status();
    return s.connection.is_open();
}

int fd() {
    return status().connection.fd();
}

void ask_address() {
    Status& s = status();
    if (s.connection.is_open()) {
        s.address_serial = s.connection.call(a11y_bus, a11y_path, "org.a11y.Bus", "GetAddress");
    }
}

bool read_ready() {
    Status& s = status();
    if (!s.connection.read_ready()) {
        close();
        return false;
    }
    bus::Message m;
    while (s.connection.next(&m)) {
        handle(m);
        if (!s.connection.is_open()) {
            return false;
        }
    }
    return true;
}

void close() {
    Status& s = status();
    s.connection.close();
    s.status_serial = s.address_serial = 0;
}

}  // namespace a11y::status
