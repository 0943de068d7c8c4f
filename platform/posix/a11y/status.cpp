// org.a11y.Status and org.a11y.Bus.GetAddress over the session bus, with a
// small D-Bus client of our own: while accessibility is off the program
// asks, listens for a change and loads nothing. Only little-endian
// messages of the few shapes used here are written and read.
#include "platform/posix/a11y/status.h"

#include <errno.h>
#include <poll.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <initializer_list>
#include <string>

namespace a11y::status {

namespace {

enum MessageType : uint8_t { method_call = 1, method_return = 2, error = 3, signal = 4 };
enum Field : uint8_t {
    path_field = 1,
    interface_field = 2,
    member_field = 3,
    reply_serial_field = 5,
    destination_field = 6,
    signature_field = 8
};

int socket_fd = -1;
uint32_t next_serial = 1;
uint32_t status_serial = 0, address_serial = 0;
std::string input;
Handlers handlers;

// --- writing

void pad(std::string* m, size_t to) {
    while (m->size() % to != 0) {
        m->push_back('\0');
    }
}

void put_u32(std::string* m, uint32_t v) {
    pad(m, 4);
    m->append(reinterpret_cast<const char*>(&v), 4);  // little-endian hosts only
}

void put_string(std::string* m, const std::string& s) {
    put_u32(m, static_cast<uint32_t>(s.size()));
    m->append(s);
    m->push_back('\0');
}

void put_field(std::string* m, uint8_t code, char type, const std::string& value) {
    pad(m, 8);
    m->push_back(static_cast<char>(code));
    m->push_back(1);
    m->push_back(type);
    m->push_back('\0');
    put_string(m, value);
}

bool send_all(const std::string& data) {
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = send(socket_fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        sent += static_cast<size_t>(n);
    }
    return true;
}

// A method call whose arguments are all strings; its serial.
uint32_t call(const char* destination, const char* path, const char* interface, const char* member,
              std::initializer_list<const char*> arguments) {
    std::string body;
    for (const char* argument : arguments) {
        put_string(&body, argument);
    }
    std::string fields;
    put_field(&fields, path_field, 'o', path);
    put_field(&fields, interface_field, 's', interface);
    put_field(&fields, member_field, 's', member);
    put_field(&fields, destination_field, 's', destination);
    if (arguments.size() > 0) {
        pad(&fields, 8);
        fields += std::string{static_cast<char>(signature_field), 1, 'g', '\0', static_cast<char>(arguments.size())};
        fields += std::string(arguments.size(), 's');
        fields.push_back('\0');
    }
    uint32_t serial = next_serial++;
    std::string m = {'l', static_cast<char>(method_call), 0, 1};
    put_u32(&m, static_cast<uint32_t>(body.size()));
    put_u32(&m, serial);
    put_u32(&m, static_cast<uint32_t>(fields.size()));
    m += fields;
    pad(&m, 8);
    m += body;
    return send_all(m) ? serial : 0;
}

// --- reading

struct Reader {
    const std::string& data;
    size_t at;
    size_t end;
    bool ok = true;

    bool align(size_t to) {
        at = (at + to - 1) / to * to;
        ok = ok && at <= end;
        return ok;
    }
    uint32_t u32() {
        if (!align(4) || at + 4 > end) {
            ok = false;
            return 0;
        }
        uint32_t v;
        memcpy(&v, data.data() + at, 4);
        at += 4;
        return v;
    }
    std::string text(size_t length) {
        if (!ok || at + length + 1 > end) {
            ok = false;
            return {};
        }
        std::string s = data.substr(at, length);
        at += length + 1;
        return s;
    }
    std::string string() {
        uint32_t length = u32();
        return text(length);
    }
    std::string signature() {
        if (!ok || at >= end) {
            ok = false;
            return {};
        }
        size_t length = static_cast<unsigned char>(data[at++]);
        return text(length);
    }
};

struct Message {
    uint8_t type = 0;
    uint32_t reply_serial = 0;
    std::string path, interface, member, signature;
    size_t body = 0, body_end = 0;
};

// One message from the front of the input; 0 when it is not all there yet,
// -1 when the input is not a message we can read.
long parse(Message* out) {
    if (input.size() < 16) {
        return 0;
    }
    if (input[0] != 'l') {
        return -1;
    }
    uint32_t body_length, fields_length;
    memcpy(&body_length, input.data() + 4, 4);
    memcpy(&fields_length, input.data() + 12, 4);
    size_t fields_end = 16 + static_cast<size_t>(fields_length);
    size_t body = (fields_end + 7) / 8 * 8;
    size_t total = body + body_length;
    if (body_length > (1u << 27) || fields_length > (1u << 26)) {
        return -1;
    }
    if (input.size() < total) {
        return 0;
    }
    out->type = static_cast<uint8_t>(input[1]);
    Reader r{input, 16, fields_end};
    while (r.ok && r.at < fields_end && r.align(8) && r.at < fields_end) {
        uint8_t code = static_cast<uint8_t>(input[r.at++]);
        std::string type = r.signature();
        if (type == "u") {
            uint32_t v = r.u32();
            if (code == reply_serial_field) {
                out->reply_serial = v;
            }
        } else if (type == "s" || type == "o") {
            std::string v = r.string();
            if (code == path_field) {
                out->path = v;
            } else if (code == interface_field) {
                out->interface = v;
            } else if (code == member_field) {
                out->member = v;
            }
        } else if (type == "g") {
            std::string v = r.signature();
            if (code == signature_field) {
                out->signature = v;
            }
        } else {
            break;  // a field of another type ends what we need to know
        }
    }
    out->body = body;
    out->body_end = total;
    return static_cast<long>(total);
}

// org.a11y.Status's a{sv}: on when IsEnabled or ScreenReaderEnabled is.
bool status_on(const Message& m, bool* on) {
    if (m.signature != "a{sv}") {
        return false;
    }
    Reader r{input, m.body, m.body_end};
    uint32_t length = r.u32();
    r.align(8);
    size_t end = r.at + length;
    *on = false;
    while (r.ok && r.at < end && r.align(8)) {
        std::string name = r.string();
        if (r.signature() != "b") {
            return false;
        }
        bool value = r.u32() != 0;
        if (name == "IsEnabled" || name == "ScreenReaderEnabled") {
            *on = *on || value;
        }
    }
    return r.ok;
}

void ask_status() {
    status_serial =
        call("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "GetAll", {"org.a11y.Status"});
}

void handle(const Message& m) {
    if (m.type == signal && m.member == "PropertiesChanged" && m.path == "/org/a11y/bus") {
        ask_status();
        return;
    }
    if (m.type != method_return && m.type != error) {
        return;
    }
    bool on = false;
    if (m.reply_serial == status_serial && status_serial != 0) {
        status_serial = 0;
        if (m.type == method_return && status_on(m, &on)) {
            handlers.status(on);
        }
    } else if (m.reply_serial == address_serial && address_serial != 0) {
        address_serial = 0;
        Reader r{input, m.body, m.body_end};
        std::string address = m.type == method_return && m.signature == "s" ? r.string() : std::string();
        if (r.ok && !address.empty()) {
            handlers.address(address.c_str());
        }
    }
}

// --- connecting

// The session bus's socket: the first unix address in
// DBUS_SESSION_BUS_ADDRESS, else $XDG_RUNTIME_DIR/bus.
bool socket_address(sockaddr_un* out, socklen_t* length) {
    memset(out, 0, sizeof *out);
    out->sun_family = AF_UNIX;
    std::string path;
    bool abstract = false;
    const char* address = getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr) {
        std::string all = address;
        for (size_t start = 0; start <= all.size() && path.empty();) {
            size_t end = all.find(';', start);
            std::string one = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
            start = end == std::string::npos ? all.size() + 1 : end + 1;
            if (one.compare(0, 5, "unix:") != 0) {
                continue;
            }
            for (const char* key : {"path=", "abstract="}) {
                size_t at = one.find(key);
                if (at != std::string::npos && (at == 5 || one[at - 1] == ',')) {
                    size_t value = at + strlen(key);
                    path = one.substr(value, one.find(',', value) - value);
                    abstract = key[0] == 'a';
                }
            }
        }
    } else if (const char* runtime = getenv("XDG_RUNTIME_DIR")) {
        path = std::string(runtime) + "/bus";
    }
    // Escaped bytes (%xx) are left to the buses that use them.
    if (path.empty() || path.size() + 1 > sizeof out->sun_path || path.find('%') != std::string::npos) {
        return false;
    }
    memcpy(out->sun_path + (abstract ? 1 : 0), path.data(), path.size());
    *length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
    return true;
}

// Reads one line of the authentication exchange, waiting at most a moment.
bool read_line(std::string* line) {
    line->clear();
    while (line->size() < 512) {
        pollfd fd = {socket_fd, POLLIN, 0};
        if (poll(&fd, 1, 250) <= 0) {
            return false;
        }
        char c;
        if (recv(socket_fd, &c, 1, 0) != 1) {
            return false;
        }
        line->push_back(c);
        if (line->size() >= 2 && line->compare(line->size() - 2, 2, "\r\n") == 0) {
            return true;
        }
    }
    return false;
}

bool authenticate() {
    std::string uid = std::to_string(getuid());
    std::string hex;
    for (char c : uid) {
        static const char digits[] = "0123456789abcdef";
        hex += digits[(c >> 4) & 0xF];
        hex += digits[c & 0xF];
    }
    std::string line;
    if (!send_all(std::string(1, '\0') + "AUTH EXTERNAL " + hex + "\r\n") || !read_line(&line) ||
        line.compare(0, 3, "OK ") != 0) {
        return false;
    }
    return send_all("BEGIN\r\n");
}

}  // namespace

bool open(const Handlers& h) {
    sockaddr_un address;
    socklen_t length = 0;
    if (socket_fd >= 0 || !socket_address(&address, &length)) {
        return false;
    }
    socket_fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket_fd < 0) {
        return false;
    }
    if (connect(socket_fd, reinterpret_cast<sockaddr*>(&address), length) < 0 || !authenticate()) {
        close();
        return false;
    }
    handlers = h;
    call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "Hello", {});
    call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "AddMatch",
         {"type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged',"
          "path='/org/a11y/bus',arg0='org.a11y.Status'"});
    ask_status();
    return true;
}

int fd() {
    return socket_fd;
}

void ask_address() {
    if (socket_fd >= 0) {
        address_serial = call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", {});
    }
}

bool read_ready() {
    char buffer[4096];
    ssize_t n = recv(socket_fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        close();
        return false;
    }
    if (n > 0) {
        input.append(buffer, static_cast<size_t>(n));
    }
    for (;;) {
        Message m;
        long used = parse(&m);
        if (used < 0) {
            close();
            return false;
        }
        if (used == 0) {
            return true;
        }
        handle(m);
        if (socket_fd < 0) {
            return false;
        }
        input.erase(0, static_cast<size_t>(used));
    }
}

void close() {
    if (socket_fd >= 0) {
        ::close(socket_fd);
    }
    socket_fd = -1;
    input.clear();
    status_serial = address_serial = 0;
}

}  // namespace a11y::status
