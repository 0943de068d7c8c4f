// One D-Bus message as bytes and back: the fixed header, the header fields,
// the body. The parser takes any bytes and accepts only a well-formed
// message (zero padding, booleans 0 or 1, valid UTF-8, paths and signatures,
// bounded sizes and nesting), so that what it accepts the formatter writes
// back byte for byte.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/posix/bus/value.h"

namespace bus {

enum class MessageType : uint8_t { method_call = 1, method_return = 2, error = 3, signal = 4 };

enum MessageFlag : uint8_t { no_reply_expected = 1, no_auto_start = 2 };

enum FieldCode : uint8_t {
    path_field = 1,
    interface_field = 2,
    member_field = 3,
    error_name_field = 4,
    reply_serial_field = 5,
    destination_field = 6,
    sender_field = 7,
    signature_field = 8,
    unix_fds_field = 9,
};

// Larger messages than the few shapes we read are refused.
constexpr size_t most_message_bytes = 1u << 20;

struct Message {
    char endian = 'l';  // 'l' little, 'B' big
    MessageType type = MessageType::method_call;
    uint8_t flags = 0;
    uint32_t serial = 0;
    // As on the wire, in order: each field's code and its variant.
    std::vector<std::pair<uint8_t, Value>> fields;
    std::vector<Value> body;

    // The fields we use, taken from `fields` by the parser.
    std::string path, interface, member, error_name, destination, sender, signature;
    uint32_t reply_serial = 0;
};

// A method call with its fields in the order the formatter writes them.
Message method_call(const std::string& destination, const std::string& path, const std::string& interface,
                    const std::string& member, std::vector<Value> arguments);

// How many bytes the message at the front of data takes: 0 when its fixed
// header is not all there, -1 when it is no message we read.
long frame_length(const char* data, size_t size);

// Exactly one message; false, with *out unspecified, for anything else.
bool parse_message(const std::string& bytes, Message* out);

// The message's fields and body in its endianness; "" when a value does
// not match its signature.
std::string format_message(const Message& m);

// Whether text is a signature of complete types (the body's, a variant's).
bool valid_signature(const std::string& text);

}  // namespace bus
