// A bus of the test's own on a unix socket in a temporary folder, served on
// the test's thread: it accepts one client, reads what the client sent and
// answers with whatever messages the test writes. The socket buffers hold
// far more than a test sends, so neither side waits on the other.
#pragma once

#include <string>
#include <vector>

#include "platform/posix/bus/bus.h"

class FakeBus {
  public:
    FakeBus();
    ~FakeBus();
    const bus::SocketAddress& address() const { return address_; }

    // Takes the client that connected; false when none did.
    bool accept_client();
    // The client's authentication lines and the messages after them, as far
    // as they have come; each call returns only what is new.
    std::vector<bus::Message> read_messages();
    const std::string& auth_text() const { return auth_; }

    void send_raw(const std::string& bytes);
    void send(bus::Message m);  // given the next serial of the bus's own
    // The authentication's OK and the answer to Hello naming the client.
    void welcome(const bus::Message& hello, const std::string& name);
    bus::Message reply_to(const bus::Message& call, std::vector<bus::Value> body);
    bus::Message signal(const std::string& path, const std::string& interface, const std::string& member,
                        std::vector<bus::Value> body);

  private:
    std::string folder_;
    bus::SocketAddress address_;
    int listen_fd_ = -1;
    int client_fd_ = -1;
    uint32_t serial_ = 1;
    std::string auth_;
    bus::Stream stream_{false};
    bool began_ = false;
    std::string pending_;
};
