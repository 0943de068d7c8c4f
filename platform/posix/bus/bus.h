// A small D-Bus client of our own for the session bus, so that asking the
// desktop something (is accessibility on, does it want more contrast, which
// folder) loads no library. One Connection holds all of a connection's
// state; nothing here keeps any of its own. Nothing waits unless a caller
// asks to, and then only as long as it says.
//
// Files of platform/posix/bus (a layer of its own, on nothing but libc):
//   bus.h, connection.cpp  this: a connection, calls, matches, bounded waits
//   value.h, .cpp          the typed values: constructors and look-ups
//   message.h, .cpp        one message as bytes and back, any well-formed shape
//   stream.h, .cpp         bytes from the bus, in pieces, to messages
//   auth.h, .cpp           the authentication exchange's lines
//   address.h, .cpp        where the session bus listens
//   percent_escapes.h, .cpp  %xx escapes undone (the launcher's too)
#pragma once

#include <stdint.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/posix/bus/address.h"
#include "platform/posix/bus/message.h"
#include "platform/posix/bus/stream.h"
#include "platform/posix/bus/value.h"

namespace bus {

class Connection {
  public:
    Connection() = default;
    ~Connection() { close(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Connects, authenticates and says Hello, all sent at once: the
    // server's answers are read with what follows. False when there is no
    // such bus to reach.
    bool open_session();
    bool open(const SocketAddress& address);
    bool is_open() const { return socket_fd_ >= 0; }
    int fd() const { return socket_fd_; }

    // The name the bus gave us; "" until its answer to Hello was read.
    const std::string& unique_name() const { return unique_name_; }

    // A method call; its serial, 0 when it could not be sent (an argument
    // that is no value of its type, or a closed connection).
    uint32_t call(const std::string& destination, const std::string& path, const std::string& interface,
                  const std::string& member, std::vector<Value> arguments = {}, uint8_t flags = 0);
    // Asks the bus for the signals a match rule names.
    uint32_t add_match(const std::string& rule);

    // Takes what has arrived, without waiting; false once closed (the peer
    // hung up or sent what is no message; what was read before stays to be
    // taken).
    bool read_ready();
    // The oldest message read and not yet taken; false when none is.
    bool next(Message* out);
    // Reads what has come, then waits at most timeout_ms in all (-1: for
    // as long as it takes), until a message `wanted` accepts; it is taken,
    // the others stay queued in order. False on time-out or a closed
    // connection.
    bool wait_for(const std::function<bool(const Message&)>& wanted, int timeout_ms, Message* out);
    // The method return or error that answers serial.
    bool wait_reply(uint32_t serial, int timeout_ms, Message* reply);
    // Until the bus has named us (unique_name() is set).
    bool wait_named(int timeout_ms);

    void close();

  private:
    bool send(Message m);
    void hang_up();  // the socket closed, what was read kept
    // Reads once, waiting at most timeout_ms; false once closed.
    bool read_some(int timeout_ms);

    int socket_fd_ = -1;
    uint32_t next_serial_ = 1;
    uint32_t hello_serial_ = 0;
    std::string unique_name_;
    Stream stream_;
    std::deque<Message> queue_;
};

// A match rule for a signal: its interface and member, and where given its
// path and first argument.
std::string signal_rule(const std::string& interface, const std::string& member, const std::string& path = "",
                        const std::string& arg0 = "");

}  // namespace bus
