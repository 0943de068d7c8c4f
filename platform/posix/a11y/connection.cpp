// Finding the accessibility bus and registering on it, as toolkits do: the
// address from AT_SPI_BUS_ADDRESS, else from org.a11y.Bus.GetAddress on the
// session bus while org.a11y.Status says IsEnabled or ScreenReaderEnabled
// (status.cpp); then sd-bus is loaded and the root is embedded in the
// registry's desktop. Calls are asynchronous, answered from the program's
// own loop through the display's wait hook. The files of the bus's side
// sit below this one: it hands calls to objects.cpp and has events.cpp
// follow the changes before each wait.
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include "platform/posix/a11y/provider.h"
#include "platform/posix/a11y/status.h"
#include "platform/posix/display/display.h"

namespace a11y {

namespace {

constexpr const char* registry_name = "org.a11y.atspi.Registry";

void close_bus(sd_bus** bus) {
    if (*bus != nullptr) {
        provider().sd->flush_close_unref(*bus);
        *bus = nullptr;
    }
}

void unregister() {
    Provider& p = provider();
    close_bus(&p.bus);
    p.listeners.clear();
    p.desktop_name.clear();
    p.desktop_path = null_path;
}

bool failed(sd_bus_message* reply) {
    return provider().sd->message_is_method_error(reply, nullptr) > 0;
}

// Event names as the registry lists them; asked again whenever they change.
int on_registered_events(sd_bus_message* reply, void*, sd_bus_error*) {
    Provider& p = provider();
    if (failed(reply) || p.sd->message_enter_container(reply, 'a', "(ss)") < 0) {
        return 0;
    }
    p.listeners.clear();
    const char* name = nullptr;
    const char* event = nullptr;
    while (p.sd->message_read(reply, "(ss)", &name, &event) > 0) {
        p.listeners.push_back(event);
    }
    p.sd->message_exit_container(reply);
    return 0;
}

void ask_registered_events() {
    Provider& p = provider();
    p.sd->call_method_async(p.bus, nullptr, registry_name, "/org/a11y/atspi/registry", "org.a11y.atspi.Registry",
                            "GetRegisteredEvents", on_registered_events, nullptr, "");
}

int on_listeners_changed(sd_bus_message*, void*, sd_bus_error*) {
    ask_registered_events();
    return 0;
}

int on_embedded(sd_bus_message* reply, void*, sd_bus_error*) {
    Provider& p = provider();
    const char* name = nullptr;
    const char* path = nullptr;
    if (!failed(reply) && p.sd->message_read(reply, "(so)", &name, &path) > 0) {
        p.desktop_name = name;
        p.desktop_path = path;
    }
    return 0;
}

void register_on(const char* address) {
    Provider& p = provider();
    if (p.bus != nullptr) {
        return;
    }
    const SdBus& sd = *p.sd;
    const char* unique = nullptr;
    if (sd.new_bus(&p.bus) < 0) {
        p.bus = nullptr;
        return;
    }
    if (sd.set_address(p.bus, address) < 0 || sd.set_bus_client(p.bus, 1) < 0 || sd.start(p.bus) < 0 ||
        sd.get_unique_name(p.bus, &unique) < 0 || sd.add_filter(p.bus, nullptr, answer_call, nullptr) < 0) {
        unregister();
        return;
    }
    p.unique_name = unique;
    for (const char* member : {"EventListenerRegistered", "EventListenerDeregistered"}) {
        std::string match = std::string("type='signal',interface='org.a11y.atspi.Registry',member='") + member + "'";
        sd.add_match(p.bus, nullptr, match.c_str(), on_listeners_changed, nullptr);
    }
    ask_registered_events();
    sd.call_method_async(p.bus, nullptr, registry_name, root_path, "org.a11y.atspi.Socket", "Embed", on_embedded,
                         nullptr, "(so)", unique, root_path);
}

void on_status(bool on) {
    if (on && provider().bus == nullptr) {
        status::ask_address();
    } else if (!on) {
        unregister();
    }
}

// sd-bus is loaded only now that accessibility is on.
void on_address(const char* address) {
    Provider& p = provider();
    p.sd = p.sd != nullptr ? p.sd : sd_bus_library();
    if (p.sd != nullptr) {
        register_on(address);
    }
}

// Runs once, from the first wait after the first frame.
void begin() {
    Provider& p = provider();
    p.phase = Phase::off;
    const char* address = getenv("AT_SPI_BUS_ADDRESS");
    if (address != nullptr && *address != '\0') {
        p.sd = sd_bus_library();
        if (p.sd != nullptr) {
            register_on(address);
        }
        p.phase = p.bus != nullptr ? Phase::running : Phase::off;
        return;
    }
    if (status::open({on_status, on_address})) {
        p.phase = Phase::running;
    }
}

int64_t now_us() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

int add_status(pollfd* fd) {
    fd->fd = status::fd();
    fd->events = POLLIN;
    fd->revents = 0;
    return fd->fd >= 0 ? 1 : 0;
}

int add_bus(sd_bus* bus, pollfd* fd, int* timeout_ms) {
    if (bus == nullptr) {
        return 0;
    }
    const SdBus& sd = *provider().sd;
    int events = sd.get_events(bus);
    fd->fd = sd.get_fd(bus);
    fd->events = static_cast<short>(events < 0 ? 0 : events);
    fd->revents = 0;
    uint64_t until = 0;
    if (sd.get_timeout(bus, &until) >= 0 && until != UINT64_MAX) {
        int64_t left = (static_cast<int64_t>(until) - now_us() + 999) / 1000;
        int ms = left < 0 ? 0 : left > 60000 ? 60000 : static_cast<int>(left);
        *timeout_ms = *timeout_ms < 0 || ms < *timeout_ms ? ms : *timeout_ms;
    }
    return fd->fd >= 0 ? 1 : 0;
}

int prepare(pollfd* fds, int max, int* timeout_ms);
void dispatch(const pollfd* fds, int count);
const display::WaitHook hook = {prepare, dispatch};

int prepare(pollfd* fds, int max, int* timeout_ms) {
    Provider& p = provider();
    if (p.phase == Phase::pending) {
        begin();
    }
    if (p.phase == Phase::off || (status::fd() < 0 && p.bus == nullptr) || max < 2) {
        display::remove_wait_hook(&hook);
        return 0;
    }
    follow_changes();
    int count = add_status(fds);
    return count + add_bus(p.bus, fds + count, timeout_ms);
}

// A broken accessibility bus is let go until the status says on again; a
// broken session bus for good.
void serve_bus() {
    Provider& p = provider();
    if (p.bus == nullptr) {
        return;
    }
    int r;
    while ((r = p.sd->process(p.bus, nullptr)) > 0) {
    }
    if (r < 0) {
        unregister();
    }
}

void dispatch(const pollfd* fds, int count) {
    for (int i = 0; i < count; i++) {
        if (fds[i].fd == status::fd() && fds[i].revents != 0) {
            status::read_ready();
        }
    }
    serve_bus();
}

}  // namespace

void frame_presented(const Tree* tree, const char* application_name) {
    Provider& p = provider();
    if (p.phase != Phase::idle) {
        return;
    }
    p.tree = tree;
    p.application_name = application_name;
    p.phase = Phase::pending;
    display::add_wait_hook(&hook);
}

}  // namespace a11y
