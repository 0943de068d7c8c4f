// The game's folder from the desktop's own folder chooser: the XDG desktop
// portal's org.freedesktop.portal.FileChooser.OpenFile with directory true,
// over the session bus with a small client of our own (as a11y/status.cpp
// does; no library is loaded). Only little-endian messages of the shapes
// used here are written and read.
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
#include <vector>

#include "launcher/launcher.h"

namespace launcher {

namespace {

enum MessageType : uint8_t { method_call = 1, method_return = 2, error_reply = 3, signal_message = 4 };
enum Field : uint8_t {
    path_field = 1,
    interface_field = 2,
    member_field = 3,
    error_name_field = 4,
    reply_serial_field = 5,
    destination_field = 6,
    signature_field = 8
};

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

void put_signature(std::string* m, const std::string& s) {
    m->push_back(static_cast<char>(s.size()));
    m->append(s);
    m->push_back('\0');
}

void put_field(std::string* m, uint8_t code, char type, const std::string& value) {
    pad(m, 8);
    m->push_back(static_cast<char>(code));
    put_signature(m, std::string(1, type));
    if (type == 'g') {
        put_signature(m, value);
    } else {
        put_string(m, value);
    }
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
    bool skip(size_t count) {
        ok = ok && at + count <= end;
        at += ok ? count : 0;
        return ok;
    }
    uint32_t u32() {
        uint32_t v = 0;
        if (align(4) && at + 4 <= end) {
            memcpy(&v, data.data() + at, 4);
            at += 4;
        } else {
            ok = false;
        }
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
        const uint32_t length = u32();
        return text(length);
    }
    std::string signature() {
        if (!ok || at >= end) {
            ok = false;
            return {};
        }
        const size_t length = static_cast<unsigned char>(data[at++]);
        return text(length);
    }
};

// The end of the one complete type that starts at type[at].
size_t type_end(const std::string& type, size_t at) {
    if (at >= type.size()) {
        return at;
    }
    if (type[at] == 'a') {
        return type_end(type, at + 1);
    }
    if (type[at] == '(' || type[at] == '{') {
        const char close = type[at] == '(' ? ')' : '}';
        at++;
        while (at < type.size() && type[at] != close) {
            at = type_end(type, at);
        }
        return at + 1;
    }
    return at + 1;
}

size_t alignment(char code) {
    switch (code) {
        case 'y':
        case 'g':
        case 'v':
            return 1;
        case 'n':
        case 'q':
            return 2;
        case 'x':
        case 't':
        case 'd':
        case '(':
        case '{':
            return 8;
        default:
            return 4;
    }
}

// Steps over one value of the complete type given, of any shape.
void skip_value(Reader* r, const std::string& type, int depth = 0) {
    if (type.empty() || depth > 32) {
        r->ok = false;
        return;
    }
    const char code = type[0];
    if (code == 'a') {
        const uint32_t length = r->u32();
        const std::string element = type.substr(1, type_end(type, 1) - 1);
        r->align(alignment(element[0]));
        const size_t end = r->at + length;
        while (r->ok && r->at < end) {
            skip_value(r, element, depth + 1);
            r->align(alignment(element[0]));
        }
    } else if (code == '(' || code == '{') {
        r->align(8);
        for (size_t at = 1; r->ok && at + 1 < type.size();) {
            const size_t next = type_end(type, at);
            skip_value(r, type.substr(at, next - at), depth + 1);
            at = next;
        }
    } else if (code == 'v') {
        const std::string inner = r->signature();
        skip_value(r, inner, depth + 1);
    } else if (code == 's' || code == 'o') {
        r->string();
    } else if (code == 'g') {
        r->signature();
    } else {
        // A fixed-size value is as long as it is aligned.
        r->align(alignment(code));
        r->skip(alignment(code));
    }
}

struct Message {
    uint8_t type = 0;
    uint32_t reply_serial = 0;
    std::string path, interface, member, error_name, signature;
    size_t body = 0, body_end = 0;
};

class SessionBus {
  public:
    ~SessionBus() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }

    bool open() {
        sockaddr_un address;
        socklen_t length = 0;
        if (!socket_address(&address, &length)) {
            return false;
        }
        fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd_ < 0 || connect(fd_, reinterpret_cast<sockaddr*>(&address), length) < 0 || !authenticate()) {
            return false;
        }
        const uint32_t hello =
            call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "Hello", "", "");
        Message reply;
        if (hello == 0 || !wait_reply(hello, &reply, 5000) || reply.type != method_return || reply.signature != "s") {
            return false;
        }
        Reader r{input_, reply.body, reply.body_end};
        unique_name_ = r.string();
        return r.ok;
    }

    const std::string& unique_name() const { return unique_name_; }

    uint32_t call(const char* destination, const char* path, const char* interface, const char* member,
                  const std::string& signature, const std::string& body) {
        std::string fields;
        put_field(&fields, path_field, 'o', path);
        put_field(&fields, interface_field, 's', interface);
        put_field(&fields, member_field, 's', member);
        put_field(&fields, destination_field, 's', destination);
        if (!signature.empty()) {
            put_field(&fields, signature_field, 'g', signature);
        }
        const uint32_t serial = next_serial_++;
        std::string m = {'l', static_cast<char>(method_call), 0, 1};
        put_u32(&m, static_cast<uint32_t>(body.size()));
        put_u32(&m, serial);
        put_u32(&m, static_cast<uint32_t>(fields.size()));
        m += fields;
        pad(&m, 8);
        m += body;
        return send_all(m) ? serial : 0;
    }

    // The next message; false when the bus ended, or none came within
    // timeout_ms (-1: no limit). Its body stays readable until the next.
    bool next(Message* out, int timeout_ms) {
        input_.erase(0, used_);
        used_ = 0;
        for (;;) {
            const long used = parse(out);
            if (used < 0) {
                return false;
            }
            if (used > 0) {
                used_ = static_cast<size_t>(used);
                return true;
            }
            pollfd fd = {fd_, POLLIN, 0};
            const int ready = poll(&fd, 1, timeout_ms);
            if (ready < 0 && errno == EINTR) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = ready > 0 ? recv(fd_, buffer, sizeof buffer, 0) : 0;
            if (n <= 0) {
                return false;
            }
            input_.append(buffer, static_cast<size_t>(n));
        }
    }

    bool wait_reply(uint32_t serial, Message* out, int timeout_ms) {
        while (next(out, timeout_ms)) {
            if ((out->type == method_return || out->type == error_reply) && out->reply_serial == serial) {
                return true;
            }
        }
        return false;
    }

    const std::string& input() const { return input_; }

  private:
    bool send_all(const std::string& data) {
        for (size_t sent = 0; sent < data.size();) {
            const ssize_t n = send(fd_, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
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

    // One message from the front of the input: its length, 0 when it is not
    // all there yet, -1 when it is not one we can read.
    long parse(Message* out) {
        if (input_.size() < 16) {
            return 0;
        }
        uint32_t body_length = 0, fields_length = 0;
        memcpy(&body_length, input_.data() + 4, 4);
        memcpy(&fields_length, input_.data() + 12, 4);
        if (input_[0] != 'l' || body_length > (1u << 27) || fields_length > (1u << 26)) {
            return -1;
        }
        const size_t fields_end = 16 + static_cast<size_t>(fields_length);
        const size_t body = (fields_end + 7) / 8 * 8, total = body + body_length;
        if (input_.size() < total) {
            return 0;
        }
        *out = Message{};
        out->type = static_cast<uint8_t>(input_[1]);
        Reader r{input_, 16, fields_end};
        // Each field starts on an 8-byte boundary; the last may end short of one.
        for (size_t next = 16; r.ok && next < fields_end; next = (r.at + 7) / 8 * 8) {
            r.at = next;
            const uint8_t code = static_cast<uint8_t>(input_[r.at++]);
            const std::string type = r.signature();
            if (type == "u" && code == reply_serial_field) {
                out->reply_serial = r.u32();
            } else if (type == "g" && code == signature_field) {
                out->signature = r.signature();
            } else if ((type == "s" || type == "o") && code != reply_serial_field) {
                const std::string value = r.string();
                if (code == path_field) {
                    out->path = value;
                } else if (code == interface_field) {
                    out->interface = value;
                } else if (code == member_field) {
                    out->member = value;
                } else if (code == error_name_field) {
                    out->error_name = value;
                }
            } else {
                skip_value(&r, type);
            }
        }
        if (!r.ok) {
            return -1;
        }
        out->body = body;
        out->body_end = total;
        return static_cast<long>(total);
    }

    // The first unix address in DBUS_SESSION_BUS_ADDRESS, else
    // $XDG_RUNTIME_DIR/bus.
    static bool socket_address(sockaddr_un* out, socklen_t* length) {
        memset(out, 0, sizeof *out);
        out->sun_family = AF_UNIX;
        std::string path;
        bool abstract = false;
        if (const char* address = getenv("DBUS_SESSION_BUS_ADDRESS")) {
            const std::string all = address;
            for (size_t start = 0; start <= all.size() && path.empty();) {
                const size_t end = all.find(';', start);
                const std::string one = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
                start = end == std::string::npos ? all.size() + 1 : end + 1;
                if (one.compare(0, 5, "unix:") != 0) {
                    continue;
                }
                for (const char* key : {"path=", "abstract="}) {
                    const size_t at = one.find(key);
                    if (at != std::string::npos && (at == 5 || one[at - 1] == ',')) {
                        const size_t value = at + strlen(key);
                        path = one.substr(value, one.find(',', value) - value);
                        abstract = key[0] == 'a';
                    }
                }
            }
        } else if (const char* runtime = getenv("XDG_RUNTIME_DIR")) {
            path = std::string(runtime) + "/bus";
        }
        if (path.empty() || path.size() + 1 > sizeof out->sun_path || path.find('%') != std::string::npos) {
            return false;
        }
        memcpy(out->sun_path + (abstract ? 1 : 0), path.data(), path.size());
        *length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
        return true;
    }

    bool authenticate() {
        static const char digits[] = "0123456789abcdef";
        std::string hex;
        for (char c : std::to_string(getuid())) {
            hex += digits[(c >> 4) & 0xF];
            hex += digits[c & 0xF];
        }
        if (!send_all(std::string(1, '\0') + "AUTH EXTERNAL " + hex + "\r\n")) {
            return false;
        }
        std::string line;
        while (line.size() < 512 && (line.size() < 2 || line.compare(line.size() - 2, 2, "\r\n") != 0)) {
            pollfd fd = {fd_, POLLIN, 0};
            char c;
            if (poll(&fd, 1, 5000) <= 0 || recv(fd_, &c, 1, 0) != 1) {
                return false;
            }
            line.push_back(c);
        }
        return line.compare(0, 3, "OK ") == 0 && send_all("BEGIN\r\n");
    }

    int fd_ = -1;
    uint32_t next_serial_ = 1;
    std::string input_;
    size_t used_ = 0;
    std::string unique_name_;
};

// OpenFile's options: a{sv} of a token, a folder, modal, and where to open.
std::string open_file_arguments(const std::string& token, const std::string& start_in) {
    std::string body;
    put_string(&body, "");  // no parent window: the launcher has none
    put_string(&body, "Choose the game's folder");
    std::string entries;
    auto entry = [&entries](const char* key, const char* type) {
        pad(&entries, 8);
        put_string(&entries, key);
        put_signature(&entries, type);
    };
    entry("handle_token", "s");
    put_string(&entries, token);
    entry("directory", "b");
    put_u32(&entries, 1);
    entry("modal", "b");
    put_u32(&entries, 1);
    if (!start_in.empty()) {
        entry("current_folder", "ay");
        put_u32(&entries, static_cast<uint32_t>(start_in.size() + 1));
        entries.append(start_in);
        entries.push_back('\0');
    }
    // The entries were laid out from an 8-aligned start, as they are placed;
    // the array's length counts from the first.
    put_u32(&body, 0);
    const size_t length_at = body.size() - 4;
    pad(&body, 8);
    const uint32_t length = static_cast<uint32_t>(entries.size());
    memcpy(&body[length_at], &length, 4);
    body += entries;
    return body;
}

// The first of the results' "uris", as a folder.
bool chosen_folder(const SessionBus& bus, const Message& m, std::string* folder) {
    Reader r{bus.input(), m.body, m.body_end};
    r.u32();  // the response, read by the caller
    const uint32_t length = r.u32();
    r.align(8);
    const size_t end = r.at + length;
    while (r.ok && r.at < end && r.align(8)) {
        const std::string key = r.string();
        const std::string type = r.signature();
        if (key == "uris" && type == "as") {
            const uint32_t bytes = r.u32();
            if (r.ok && bytes > 0) {
                return folder_of_argument(r.string(), folder) && r.ok;
            }
            return false;
        }
        skip_value(&r, type);
    }
    return false;
}

// The bus's answers that mean there is no chooser to ask.
bool no_chooser(const std::string& error) {
    for (const char* name : {"org.freedesktop.DBus.Error.ServiceUnknown", "org.freedesktop.DBus.Error.NameHasNoOwner",
                             "org.freedesktop.DBus.Error.UnknownMethod", "org.freedesktop.DBus.Error.UnknownInterface",
                             "org.freedesktop.DBus.Error.UnknownObject"}) {
        if (error == name) {
            return true;
        }
    }
    return false;
}

}  // namespace

Choice choose_folder(const std::string& start_in, std::string* folder, std::string* reason) {
    SessionBus bus;
    if (!bus.open()) {
        return Choice::NoPortal;
    }
    // The request's object is named from our bus name and a token of ours,
    // so its Response can be matched before the call returns.
    const std::string token = "sorvane" + std::to_string(getpid());
    std::string sender = bus.unique_name().substr(bus.unique_name().find(':') + 1);
    for (char& c : sender) {
        c = c == '.' ? '_' : c;
    }
    const std::string request = "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
    std::string match;
    put_string(&match,
               "type='signal',interface='org.freedesktop.portal.Request',member='Response',path='" + request + "'");
    Message m;
    const uint32_t added =
        bus.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "AddMatch", "s", match);
    if (added == 0 || !bus.wait_reply(added, &m, 5000) || m.type != method_return) {
        return Choice::NoPortal;
    }
    const uint32_t opened =
        bus.call("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                 "org.freedesktop.portal.FileChooser", "OpenFile", "ssa{sv}", open_file_arguments(token, start_in));
    // Starting the portal on demand may take a moment.
    if (opened == 0 || !bus.wait_reply(opened, &m, 30000)) {
        *reason = "the desktop portal did not answer";
        return Choice::Failed;
    }
    if (m.type == error_reply) {
        if (no_chooser(m.error_name)) {
            return Choice::NoPortal;
        }
        *reason = "the folder chooser refused: " + m.error_name;
        return Choice::Failed;
    }
    while (bus.next(&m, -1)) {
        if (m.type != signal_message || m.member != "Response" || m.path != request || m.signature != "ua{sv}") {
            continue;
        }
        Reader r{bus.input(), m.body, m.body_end};
        const uint32_t response = r.u32();
        if (response == 1) {
            return Choice::Cancelled;
        }
        if (response == 0 && chosen_folder(bus, m, folder)) {
            return Choice::Chosen;
        }
        *reason = response == 0 ? "the folder chooser gave no folder on this computer" : "the folder chooser failed";
        return Choice::Failed;
    }
    *reason = "the session bus closed while the folder chooser was open";
    return Choice::Failed;
}

}  // namespace launcher
