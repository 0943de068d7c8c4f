#include "unit/support/fake_bus.h"

#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

FakeBus::FakeBus() {
    char pattern[] = "/tmp/sorvane-bus-XXXXXX";
    folder_ = mkdtemp(pattern);
    address_.un.sun_family = AF_UNIX;
    const std::string path = folder_ + "/bus";
    memcpy(address_.un.sun_path, path.c_str(), path.size() + 1);
    address_.length = static_cast<socklen_t>(sizeof address_.un);
    listen_fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bind(listen_fd_, reinterpret_cast<const sockaddr*>(&address_.un), address_.length);
    listen(listen_fd_, 4);
}

FakeBus::~FakeBus() {
    if (client_fd_ >= 0) {
        close(client_fd_);
    }
    close(listen_fd_);
    unlink((folder_ + "/bus").c_str());
    rmdir(folder_.c_str());
}

bool FakeBus::accept_client() {
    pollfd p = {listen_fd_, POLLIN, 0};
    if (poll(&p, 1, 5000) <= 0) {
        return false;
    }
    client_fd_ = accept(listen_fd_, nullptr, nullptr);
    return client_fd_ >= 0;
}

std::vector<bus::Message> FakeBus::read_messages() {
    char buffer[4096];
    ssize_t n;
    while ((n = recv(client_fd_, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
        pending_.append(buffer, static_cast<size_t>(n));
    }
    if (!began_) {
        const size_t begin = pending_.find("BEGIN\r\n");
        if (begin == std::string::npos) {
            return {};
        }
        auth_ = pending_.substr(0, begin + 7);
        pending_.erase(0, begin + 7);
        began_ = true;
    }
    stream_.add(pending_.data(), pending_.size());
    pending_.clear();
    std::vector<bus::Message> out;
    bus::Message m;
    while (stream_.next(&m) == bus::Stream::Next::message) {
        out.push_back(m);
    }
    return out;
}

void FakeBus::send_raw(const std::string& bytes) {
    for (size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(client_fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) {
            return;
        }
        sent += static_cast<size_t>(n);
    }
}

void FakeBus::send(bus::Message m) {
    m.serial = serial_++;
    send_raw(bus::format_message(m));
}

bus::Message FakeBus::reply_to(const bus::Message& call, std::vector<bus::Value> body) {
    bus::Message m;
    m.type = bus::MessageType::method_return;
    m.body = std::move(body);
    m.fields.emplace_back(bus::reply_serial_field, bus::variant(bus::uint32(call.serial)));
    m.fields.emplace_back(bus::sender_field, bus::variant(bus::string("org.freedesktop.DBus")));
    std::string signature;
    for (const bus::Value& v : m.body) {
        signature += v.signature;
    }
    if (!signature.empty()) {
        bus::Value g;
        g.signature = "g";
        g.text = signature;
        m.fields.emplace_back(bus::signature_field, bus::variant(g));
    }
    return m;
}

bus::Message FakeBus::signal(const std::string& path, const std::string& interface, const std::string& member,
                             std::vector<bus::Value> body) {
    bus::Message m = bus::method_call("", path, interface, member, std::move(body));
    m.type = bus::MessageType::signal;
    // A signal names no destination.
    for (auto it = m.fields.begin(); it != m.fields.end(); ++it) {
        if (it->first == bus::destination_field) {
            m.fields.erase(it);
            break;
        }
    }
    return m;
}

void FakeBus::welcome(const bus::Message& hello, const std::string& name) {
    send_raw("OK 0123456789abcdef0123456789abcdef\r\n");
    send(reply_to(hello, {bus::string(name)}));
}
