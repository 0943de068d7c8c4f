// The question to the portal, the bounded wait for its answer and its
// changes after, on a session-bus connection of this file's own.
#include <time.h>

#include "platform/posix/appearance/appearance.h"
#include "platform/posix/bus/bus.h"
#include "platform/posix/display/display.h"

namespace appearance {

namespace {

const char* const portal_name = "org.freedesktop.portal.Desktop";
const char* const portal_path = "/org/freedesktop/portal/desktop";
const char* const settings_interface = "org.freedesktop.portal.Settings";
const char* const namespaces[] = {"org.freedesktop.appearance", "org.gnome.desktop.a11y.interface"};

// The one state of this file.
struct Portal {
    bus::Connection connection;
    bool asked = false;
    bool settled = false;
    int64_t asked_at_ms = 0;
    uint32_t read_serial = 0;
    Settings settings;
    Preference reported;
    void (*changed)(Preference) = nullptr;
};

Portal& portal() {
    static Portal p;
    return p;
}

int64_t now_ms() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// An error for ReadAll (no portal, or one without Settings) leaves the
// settings as they are: none asked for.
void handle(const bus::Message& m) {
    Portal& p = portal();
    if (p.read_serial != 0 && m.reply_serial == p.read_serial &&
        (m.type == bus::MessageType::method_return || m.type == bus::MessageType::error)) {
        p.read_serial = 0;
        read_all_answer(m, &p.settings);
        return;
    }
    if (m.path == portal_path && m.interface == settings_interface) {
        setting_changed(m, &p.settings);
    }
}

void handle_queued() {
    Portal& p = portal();
    bus::Message m;
    while (p.connection.next(&m)) {
        handle(m);
    }
}

int prepare(pollfd* fds, int max, int*);
void dispatch(const pollfd* fds, int count);
const display::WaitHook hook = {prepare, dispatch};

int prepare(pollfd* fds, int max, int*) {
    Portal& p = portal();
    if (!p.connection.is_open() || max < 1) {
        display::remove_wait_hook(&hook);
        return 0;
    }
    fds[0] = pollfd{p.connection.fd(), POLLIN, 0};
    return 1;
}

void dispatch(const pollfd* fds, int count) {
    Portal& p = portal();
    if (count < 1 || fds[0].revents == 0) {
        return;
    }
    p.connection.read_ready();
    handle_queued();
    const Preference now = preference_of(p.settings);
    if (now != p.reported) {
        p.reported = now;
        p.changed(now);
    }
}

}  // namespace

void ask() {
    Portal& p = portal();
    if (p.asked) {
        return;
    }
    p.asked = true;
    if (!p.connection.open_session()) {
        return;
    }
    p.asked_at_ms = now_ms();
    for (const char* space : namespaces) {
        p.connection.add_match(bus::signal_rule(settings_interface, "SettingChanged", portal_path, space));
    }
    p.read_serial = p.connection.call(portal_name, portal_path, settings_interface, "ReadAll",
                                      {bus::array("s", {bus::string(namespaces[0]), bus::string(namespaces[1])})});
}

Preference settle(void (*changed)(Preference)) {
    Portal& p = portal();
    if (p.settled) {
        return p.reported;
    }
    p.settled = true;
    p.changed = changed;
    if (p.connection.is_open()) {
        const int64_t left = answer_bound_ms - (now_ms() - p.asked_at_ms);
        bus::Message reply;
        if (p.connection.wait_reply(p.read_serial, left > 0 ? static_cast<int>(left) : 0, &reply)) {
            handle(reply);
        }
        handle_queued();
    }
    p.reported = preference_of(p.settings);
    // A late answer, and every change after, arrives while the program waits.
    if (p.connection.is_open() && changed != nullptr) {
        display::add_wait_hook(&hook);
    }
    return p.reported;
}

}  // namespace appearance
