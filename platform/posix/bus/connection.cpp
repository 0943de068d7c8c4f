// The connection: a unix socket to the bus, what we send, what we read.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <time.h>
#include <unistd.h>

#include "platform/posix/bus/auth.h"
#include "platform/posix/bus/bus.h"

namespace bus {

namespace {

bool send_all(int fd, const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            pollfd p = {fd, POLLOUT, 0};
            if (poll(&p, 1, 1000) <= 0) {
                return false;
            }
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

int64_t now_ms() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace

bool Connection::open_session() {
    SocketAddress address;
    return session_bus_socket(&address) && open(address);
}

bool Connection::open(const SocketAddress& address) {
    if (socket_fd_ >= 0) {
        return false;
    }
    socket_fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_fd_ < 0) {
        return false;
    }
    if (connect(socket_fd_, reinterpret_cast<const sockaddr*>(&address.un), address.length) < 0 ||
        fcntl(socket_fd_, F_SETFL, O_NONBLOCK) < 0 || !send_all(socket_fd_, auth_request(getuid()))) {
        close();
        return false;
    }
    stream_ = Stream();
    hello_serial_ = call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "Hello");
    return hello_serial_ != 0;
}

bool Connection::send(Message m) {
    if (socket_fd_ < 0) {
        return false;
    }
    m.serial = next_serial_++;
    const std::string bytes = format_message(m);
    if (bytes.empty()) {
        return false;  // an argument that is not its type's (a string not UTF-8)
    }
    if (!send_all(socket_fd_, bytes)) {
        hang_up();
        return false;
    }
    return true;
}

uint32_t Connection::call(const std::string& destination, const std::string& path, const std::string& interface,
                          const std::string& member, std::vector<Value> arguments, uint8_t flags) {
    Message m = method_call(destination, path, interface, member, std::move(arguments));
    m.flags = flags;
    const uint32_t serial = next_serial_;
    return send(std::move(m)) ? serial : 0;
}

uint32_t Connection::add_match(const std::string& rule) {
    return call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "AddMatch", {string(rule)});
}

bool Connection::read_some(int timeout_ms) {
    if (socket_fd_ < 0) {
        return false;
    }
    if (timeout_ms != 0) {
        pollfd p = {socket_fd_, POLLIN, 0};
        if (poll(&p, 1, timeout_ms) < 0 && errno != EINTR) {
            hang_up();
            return false;
        }
    }
    char buffer[4096];
    for (;;) {
        const ssize_t n = recv(socket_fd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            stream_.add(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n == 0 || errno != EAGAIN) {
            hang_up();
            return false;
        }
        break;
    }
    for (;;) {
        Message m;
        const Stream::Next next = stream_.next(&m);
        if (next == Stream::Next::more) {
            return true;
        }
        if (next == Stream::Next::broken) {
            hang_up();
            return false;
        }
        if (hello_serial_ != 0 && m.type == MessageType::method_return && m.reply_serial == hello_serial_) {
            hello_serial_ = 0;
            get(m.body.empty() ? Value() : m.body[0], &unique_name_);
            continue;
        }
        queue_.push_back(std::move(m));
    }
}

bool Connection::read_ready() {
    return read_some(0);
}

bool Connection::next(Message* out) {
    if (queue_.empty()) {
        return false;
    }
    *out = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

bool Connection::wait_for(const std::function<bool(const Message&)>& wanted, int timeout_ms, Message* out) {
    const int64_t until = now_ms() + timeout_ms;
    size_t looked = 0;  // the queue's front that was looked at already
    // First what has come already, then what comes in the time left.
    for (int wait = 0;; wait = -1) {
        if (wait != 0 && timeout_ms >= 0) {
            const int64_t left = until - now_ms();
            if (left <= 0) {
                return false;
            }
            wait = static_cast<int>(left);
        }
        const bool open = read_some(wait);
        for (; looked < queue_.size(); looked++) {
            if (wanted(queue_[looked])) {
                *out = std::move(queue_[looked]);
                queue_.erase(queue_.begin() + static_cast<long>(looked));
                return true;
            }
        }
        if (!open) {
            return false;
        }
    }
}

bool Connection::wait_reply(uint32_t serial, int timeout_ms, Message* reply) {
    if (serial == 0) {
        return false;
    }
    return wait_for(
        [serial](const Message& m) {
            return (m.type == MessageType::method_return || m.type == MessageType::error) && m.reply_serial == serial;
        },
        timeout_ms, reply);
}

bool Connection::wait_named(int timeout_ms) {
    const int64_t until = now_ms() + timeout_ms;
    for (int wait = 0; unique_name_.empty(); wait = -1) {
        if (wait != 0 && timeout_ms >= 0) {
            const int64_t left = until - now_ms();
            if (left <= 0) {
                return false;
            }
            wait = static_cast<int>(left);
        }
        if (!read_some(wait) && unique_name_.empty()) {
            return false;
        }
    }
    return true;
}

void Connection::hang_up() {
    if (socket_fd_ >= 0) {
        ::close(socket_fd_);
    }
    socket_fd_ = -1;
    hello_serial_ = 0;
    stream_ = Stream();
}

void Connection::close() {
    hang_up();
    unique_name_.clear();
    queue_.clear();
}

std::string signal_rule(const std::string& interface, const std::string& member, const std::string& path,
                        const std::string& arg0) {
    std::string rule = "type='signal',interface='" + interface + "',member='" + member + "'";
    if (!path.empty()) {
        rule += ",path='" + path + "'";
    }
    if (!arg0.empty()) {
        rule += ",arg0='" + arg0 + "'";
    }
    return rule;
}

}  // namespace bus
