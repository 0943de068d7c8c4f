// Where the session bus listens: the first unix address of
// DBUS_SESSION_BUS_ADDRESS, else $XDG_RUNTIME_DIR/bus.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <string>

namespace bus {

struct SocketAddress {
    sockaddr_un un{};
    socklen_t length = 0;
};

// The first unix:path= or unix:abstract= entry of a bus address list, its
// %xx escapes undone; false when none is usable.
bool unix_socket_of(const std::string& address, SocketAddress* out);

// From the environment as the session's programs find it.
bool session_bus_socket(SocketAddress* out);

}  // namespace bus
