// The desktop's accessibility switch, org.a11y.Status, and the bus's
// address, asked of the session bus by a small client of our own.
#pragma once

namespace a11y::status {

struct Handlers {
    void (*status)(bool on);           // each answer and each change
    void (*address)(const char* bus);  // the answer to ask_address
};

// Connects, asks for the status and listens for its changes; false when
// there is no session bus to be had.
bool open(const Handlers& handlers);
int fd();  // -1 when closed
void ask_address();
// Reads what the bus sent and calls the handlers; false once closed.
bool read_ready();
void close();

}  // namespace a11y::status
