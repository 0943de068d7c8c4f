// The wire format of one message: every type's alignment and bytes, in
// either byte order, read only when well-formed and bounded.
#include "platform/posix/bus/message.h"

#include <string.h>

namespace bus {

namespace {

constexpr size_t npos = std::string::npos;
constexpr int most_nesting = 32;      // arrays, and structs, each
constexpr int most_value_depth = 64;  // containers, variants included
constexpr uint32_t most_array_bytes = 1u << 26;

bool is_basic(char c) {
    return strchr("ybnqiuxtdsogh", c) != nullptr && c != '\0';
}

size_t alignment(char c) {
    switch (c) {
        case 'n':
        case 'q':
            return 2;
        case 'b':
        case 'i':
        case 'u':
        case 'h':
        case 's':
        case 'o':
        case 'a':
            return 4;
        case 'x':
        case 't':
        case 'd':
        case '(':
        case '{':
            return 8;
        default:
            return 1;
    }
}

size_t fixed_size(char c) {
    switch (c) {
        case 'y':
            return 1;
        case 'n':
        case 'q':
            return 2;
        case 'b':
        case 'i':
        case 'u':
        case 'h':
            return 4;
        case 'x':
        case 't':
        case 'd':
            return 8;
        default:
            return 0;
    }
}

// Past the one complete type that starts at pos; npos when none does.
size_t complete_type_end(const std::string& s, size_t pos, int arrays, int structs) {
    if (pos >= s.size()) {
        return npos;
    }
    const char c = s[pos];
    if (is_basic(c) || c == 'v') {
        return pos + 1;
    }
    if (c == 'a') {
        if (arrays >= most_nesting) {
            return npos;
        }
        if (pos + 1 < s.size() && s[pos + 1] == '{') {
            if (structs >= most_nesting || pos + 2 >= s.size() || !is_basic(s[pos + 2])) {
                return npos;
            }
            size_t p = complete_type_end(s, pos + 3, arrays + 1, structs + 1);
            if (p == npos || p >= s.size() || s[p] != '}') {
                return npos;
            }
            return p + 1;
        }
        return complete_type_end(s, pos + 1, arrays + 1, structs);
    }
    if (c == '(') {
        if (structs >= most_nesting || pos + 1 >= s.size() || s[pos + 1] == ')') {
            return npos;
        }
        size_t p = pos + 1;
        while (p < s.size() && s[p] != ')') {
            p = complete_type_end(s, p, arrays, structs + 1);
            if (p == npos) {
                return npos;
            }
        }
        return p < s.size() ? p + 1 : npos;
    }
    return npos;
}

bool single_complete_type(const std::string& s) {
    return !s.empty() && complete_type_end(s, 0, 0, 0) == s.size();
}

// The member types of a struct or dict entry signature, "(su)" -> s, u.
std::vector<std::string> members(const std::string& s) {
    std::vector<std::string> out;
    for (size_t p = 1; p + 1 < s.size();) {
        size_t end = complete_type_end(s, p, 0, 0);
        if (end == npos) {
            break;
        }
        out.push_back(s.substr(p, end - p));
        p = end;
    }
    return out;
}

bool valid_utf8(const std::string& s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const size_t n = s.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            i++;
            continue;
        }
        size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (length == 0 || c > 0xF4 || n - i < length) {
            return false;
        }
        uint32_t code = c & (0x7F >> length);
        for (size_t k = 1; k < length; k++) {
            if ((p[i + k] & 0xC0) != 0x80) {
                return false;
            }
            code = code << 6 | (p[i + k] & 0x3F);
        }
        const uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        i += length;
    }
    return true;
}

bool valid_path(const std::string& s) {
    if (s.empty() || s[0] != '/') {
        return false;
    }
    if (s.size() == 1) {
        return true;
    }
    if (s.back() == '/') {
        return false;
    }
    for (size_t i = 1; i < s.size(); i++) {
        const char c = s[i];
        const bool word = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!word && !(c == '/' && s[i - 1] != '/')) {
            return false;
        }
    }
    return true;
}

// --- reading

struct Reader {
    const std::string& data;
    size_t at;
    size_t end;
    bool big;

    bool pad_to(size_t n) {
        const size_t to = (at + n - 1) / n * n;
        if (to > end) {
            return false;
        }
        for (; at < to; at++) {
            if (data[at] != '\0') {
                return false;
            }
        }
        return true;
    }
    bool fixed(size_t n, uint64_t* v) {
        if (!pad_to(n) || end - at < n) {
            return false;
        }
        uint64_t r = 0;
        for (size_t i = 0; i < n; i++) {
            const uint64_t byte = static_cast<unsigned char>(data[at + i]);
            r = big ? r << 8 | byte : r | byte << (8 * i);
        }
        at += n;
        *v = r;
        return true;
    }
    bool text(size_t length, std::string* out) {
        if (end - at < length + 1 || data[at + length] != '\0' || memchr(data.data() + at, 0, length) != nullptr) {
            return false;
        }
        out->assign(data, at, length);
        at += length + 1;
        return true;
    }
};

bool read_value(Reader& r, const std::string& type, Value* out, int depth);

bool read_array(Reader& r, const std::string& type, Value* out, int depth) {
    uint64_t length = 0;
    const std::string element = type.substr(1);
    if (!r.fixed(4, &length) || length > most_array_bytes || !r.pad_to(alignment(element[0])) ||
        r.end - r.at < length) {
        return false;
    }
    const size_t stop = r.at + static_cast<size_t>(length);
    if (element == "y") {
        out->text.assign(r.data, r.at, static_cast<size_t>(length));
        r.at = stop;
        return true;
    }
    const size_t outer_end = r.end;
    r.end = stop;
    while (r.at < stop) {
        out->items.emplace_back();
        if (!read_value(r, element, &out->items.back(), depth + 1)) {
            return false;
        }
    }
    r.end = outer_end;
    return r.at == stop;
}

bool read_value(Reader& r, const std::string& type, Value* out, int depth) {
    if (depth > most_value_depth) {
        return false;
    }
    out->signature = type;
    const char c = type[0];
    uint64_t length = 0;
    if (fixed_size(c) != 0) {
        return r.fixed(fixed_size(c), &out->number) && (c != 'b' || out->number <= 1);
    }
    switch (c) {
        case 's':
            return r.fixed(4, &length) && r.text(static_cast<size_t>(length), &out->text) && valid_utf8(out->text);
        case 'o':
            return r.fixed(4, &length) && r.text(static_cast<size_t>(length), &out->text) && valid_path(out->text);
        case 'g':
            return r.fixed(1, &length) && r.text(static_cast<size_t>(length), &out->text) && valid_signature(out->text);
        case 'v': {
            std::string inside;
            if (!r.fixed(1, &length) || !r.text(static_cast<size_t>(length), &inside) ||
                !single_complete_type(inside)) {
                return false;
            }
            out->items.emplace_back();
            return read_value(r, inside, &out->items.back(), depth + 1);
        }
        case 'a':
            return read_array(r, type, out, depth);
        case '(':
        case '{':
            if (!r.pad_to(8)) {
                return false;
            }
            for (const std::string& member : members(type)) {
                out->items.emplace_back();
                if (!read_value(r, member, &out->items.back(), depth + 1)) {
                    return false;
                }
            }
            return true;
        default:
            return false;
    }
}

// --- writing

struct Writer {
    std::string out;
    bool big;

    void pad(size_t n) {
        while (out.size() % n != 0) {
            out.push_back('\0');
        }
    }
    void fixed(size_t n, uint64_t v) {
        pad(n);
        for (size_t i = 0; i < n; i++) {
            const size_t shift = big ? 8 * (n - 1 - i) : 8 * i;
            out.push_back(static_cast<char>(v >> shift & 0xFF));
        }
    }
    void patch_u32(size_t at, uint32_t v) {
        for (size_t i = 0; i < 4; i++) {
            const size_t shift = big ? 8 * (3 - i) : 8 * i;
            out[at + i] = static_cast<char>(v >> shift & 0xFF);
        }
    }
    bool text(size_t length_size, const std::string& s) {
        if (memchr(s.data(), 0, s.size()) != nullptr || (length_size == 1 && s.size() > 255)) {
            return false;
        }
        fixed(length_size, s.size());
        out += s;
        out.push_back('\0');
        return true;
    }
};

bool write_value(Writer& w, const Value& v, const std::string& type, int depth) {
    if (depth > most_value_depth || v.signature != type || type.empty()) {
        return false;
    }
    const char c = type[0];
    if (fixed_size(c) != 0) {
        const size_t n = fixed_size(c);
        if ((n < 8 && v.number >> (8 * n) != 0) || (c == 'b' && v.number > 1)) {
            return false;
        }
        w.fixed(n, v.number);
        return true;
    }
    switch (c) {
        case 's':
            return valid_utf8(v.text) && w.text(4, v.text);
        case 'o':
            return valid_path(v.text) && w.text(4, v.text);
        case 'g':
            return valid_signature(v.text) && w.text(1, v.text);
        case 'v':
            return v.items.size() == 1 && single_complete_type(v.items[0].signature) &&
                   w.text(1, v.items[0].signature) && write_value(w, v.items[0], v.items[0].signature, depth + 1);
        case 'a': {
            const std::string element = type.substr(1);
            w.fixed(4, 0);
            const size_t length_at = w.out.size() - 4;
            w.pad(alignment(element[0]));
            const size_t start = w.out.size();
            if (element == "y") {
                w.out += v.text;
            } else {
                for (const Value& item : v.items) {
                    if (!write_value(w, item, element, depth + 1)) {
                        return false;
                    }
                }
            }
            const size_t length = w.out.size() - start;
            if (length > most_array_bytes) {
                return false;
            }
            w.patch_u32(length_at, static_cast<uint32_t>(length));
            return true;
        }
        case '(':
        case '{': {
            const std::vector<std::string> types = members(type);
            if (types.size() != v.items.size()) {
                return false;
            }
            w.pad(8);
            for (size_t i = 0; i < types.size(); i++) {
                if (!write_value(w, v.items[i], types[i], depth + 1)) {
                    return false;
                }
            }
            return true;
        }
        default:
            return false;
    }
}

Value field(uint8_t code, const Value& inside) {
    Value entry;
    entry.signature = "(yv)";
    Value c;
    c.signature = "y";
    c.number = code;
    entry.items = {c, variant(inside)};
    return entry;
}

// The known fields' values from the list; false when one has the wrong
// type, comes twice, or one the message's type needs is missing.
bool take_fields(Message* m) {
    uint32_t seen = 0;
    bool has_reply_serial = false;
    for (const auto& [code, wrapped] : m->fields) {
        const Value& v = wrapped.items[0];
        const char* wanted[] = {"", "o", "s", "s", "s", "u", "s", "s", "g", "u"};
        if (code == 0) {
            return false;
        }
        if (code > unix_fds_field) {
            continue;  // unknown fields are ignored
        }
        if (v.signature != wanted[code] || (seen & (1u << code)) != 0) {
            return false;
        }
        seen |= 1u << code;
        std::string* strings[] = {nullptr, &m->path,        &m->interface, &m->member,    &m->error_name,
                                  nullptr, &m->destination, &m->sender,    &m->signature, nullptr};
        if (strings[code] != nullptr) {
            *strings[code] = v.text;
        } else if (code == reply_serial_field) {
            m->reply_serial = static_cast<uint32_t>(v.number);
            has_reply_serial = true;
        }
    }
    switch (m->type) {
        case MessageType::method_call:
            return !m->path.empty() && !m->member.empty();
        case MessageType::method_return:
            return has_reply_serial;
        case MessageType::error:
            return has_reply_serial && !m->error_name.empty();
        case MessageType::signal:
            return !m->path.empty() && !m->interface.empty() && !m->member.empty();
    }
    return false;
}

std::string body_signature(const std::vector<Value>& body) {
    std::string s;
    for (const Value& v : body) {
        s += v.signature;
    }
    return s;
}

}  // namespace

bool valid_signature(const std::string& text) {
    if (text.size() > 255) {
        return false;
    }
    for (size_t p = 0; p < text.size();) {
        p = complete_type_end(text, p, 0, 0);
        if (p == npos) {
            return false;
        }
    }
    return true;
}

Message method_call(const std::string& destination, const std::string& path, const std::string& interface,
                    const std::string& member, std::vector<Value> arguments) {
    Message m;
    m.type = MessageType::method_call;
    m.path = path;
    m.interface = interface;
    m.member = member;
    m.destination = destination;
    m.body = std::move(arguments);
    m.signature = body_signature(m.body);
    m.fields.emplace_back(path_field, variant(object_path(path)));
    m.fields.emplace_back(interface_field, variant(string(interface)));
    m.fields.emplace_back(member_field, variant(string(member)));
    m.fields.emplace_back(destination_field, variant(string(destination)));
    if (!m.signature.empty()) {
        Value g;
        g.signature = "g";
        g.text = m.signature;
        m.fields.emplace_back(signature_field, variant(g));
    }
    return m;
}

long frame_length(const char* data, size_t size) {
    if (size < 16) {
        return 0;
    }
    if (data[0] != 'l' && data[0] != 'B') {
        return -1;
    }
    const bool big = data[0] == 'B';
    auto u32 = [&](size_t at) {
        uint32_t v = 0;
        for (size_t i = 0; i < 4; i++) {
            const uint32_t byte = static_cast<unsigned char>(data[at + i]);
            v = big ? v << 8 | byte : v | byte << (8 * i);
        }
        return static_cast<uint64_t>(v);
    };
    const uint64_t fields_end = 16 + u32(12);
    const uint64_t total = (fields_end + 7) / 8 * 8 + u32(4);
    return total > most_message_bytes ? -1 : static_cast<long>(total);
}

bool parse_message(const std::string& bytes, Message* out) {
    if (bytes.size() < 16 || frame_length(bytes.data(), bytes.size()) != static_cast<long>(bytes.size())) {
        return false;
    }
    *out = Message();
    out->endian = bytes[0];
    const uint8_t type = static_cast<uint8_t>(bytes[1]);
    if (type < 1 || type > 4 || bytes[3] != 1) {
        return false;
    }
    out->type = static_cast<MessageType>(type);
    out->flags = static_cast<uint8_t>(bytes[2]);
    Reader r{bytes, 4, bytes.size(), out->endian == 'B'};
    uint64_t body_length = 0, serial = 0;
    Value fields;
    if (!r.fixed(4, &body_length) || !r.fixed(4, &serial) || serial == 0 || !read_value(r, "a(yv)", &fields, 0) ||
        !r.pad_to(8) || r.end - r.at != body_length) {
        return false;
    }
    out->serial = static_cast<uint32_t>(serial);
    for (Value& f : fields.items) {
        out->fields.emplace_back(static_cast<uint8_t>(f.items[0].number), std::move(f.items[1]));
    }
    if (!take_fields(out)) {
        return false;
    }
    for (size_t p = 0; p < out->signature.size();) {
        const size_t end = complete_type_end(out->signature, p, 0, 0);
        out->body.emplace_back();
        if (!read_value(r, out->signature.substr(p, end - p), &out->body.back(), 0)) {
            return false;
        }
        p = end;
    }
    return r.at == r.end;
}

std::string format_message(const Message& m) {
    const std::string signature = body_signature(m.body);
    bool signature_named = false;
    Writer body{std::string(), m.endian == 'B'};
    for (const Value& v : m.body) {
        if (!write_value(body, v, v.signature, 0)) {
            return std::string();
        }
    }
    Value fields = array("(yv)", {});
    for (const auto& [code, wrapped] : m.fields) {
        if (wrapped.signature != "v" || wrapped.items.size() != 1) {
            return std::string();
        }
        if (code == signature_field) {
            if (signature_named || wrapped.items[0].text != signature) {
                return std::string();
            }
            signature_named = true;
        }
        fields.items.push_back(field(code, wrapped.items[0]));
    }
    if ((!signature_named && !signature.empty()) || body.out.size() > most_message_bytes) {
        return std::string();
    }
    Writer w{std::string(), m.endian == 'B'};
    w.out = {m.endian, static_cast<char>(m.type), static_cast<char>(m.flags), 1};
    w.fixed(4, body.out.size());
    w.fixed(4, m.serial);
    if (!write_value(w, fields, "a(yv)", 0)) {
        return std::string();
    }
    w.pad(8);
    w.out += body.out;
    return w.out.size() > most_message_bytes ? std::string() : w.out;
}

}  // namespace bus
