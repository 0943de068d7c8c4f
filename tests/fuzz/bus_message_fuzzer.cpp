// Arbitrary bytes as what the session bus sends, through the parser the
// bus client reads with. The first byte chooses how they are taken: even,
// as one whole message, which when accepted must be formatted back byte for
// byte; odd, as a stream after the server's OK, given to the reader in
// pieces of the second byte's size, which must read the same messages, in
// the same order, as the stream given whole, each again the bytes it came
// from. Accepted messages are then asked what the callers ask of replies.
#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/posix/bus/message.h"
#include "platform/posix/bus/stream.h"

namespace {

void check_value(const bus::Value& v, int depth) {
    fuzz::require(depth <= 70, "values nest no deeper than the wire allows");
    // A dict entry's type is complete only inside its array.
    const std::string type = !v.signature.empty() && v.signature[0] == '{' ? "a" + v.signature : v.signature;
    fuzz::require(!type.empty() && bus::valid_signature(type), "each value has a complete type");
    fuzz::require(v.signature != "ay" || v.items.empty(), "a byte array keeps its bytes as text");
    fuzz::require(v.signature != "v" || v.items.size() == 1, "a variant holds one value");
    for (const bus::Value& item : v.items) {
        check_value(item, depth + 1);
    }
}

// What the callers read of a reply: dict look-ups through variants.
void ask_like_callers(const bus::Message& m) {
    for (const bus::Value& v : m.body) {
        check_value(v, 0);
        bool flag = false;
        uint32_t number = 0;
        std::string text;
        std::vector<std::string> texts;
        for (const char* key : {"IsEnabled", "org.freedesktop.appearance", "contrast", "uris"}) {
            if (const bus::Value* found = bus::lookup(v, key)) {
                bus::get(*found, &flag);
                bus::get(*found, &number);
                bus::get(*found, &text);
                bus::get(*found, &texts);
                bus::lookup(*found, "contrast");
            }
        }
    }
}

void whole(const std::string& bytes) {
    bus::Message m;
    if (!bus::parse_message(bytes, &m)) {
        return;
    }
    fuzz::require(bus::frame_length(bytes.data(), bytes.size()) == static_cast<long>(bytes.size()),
                  "an accepted message is as long as its frame says");
    ask_like_callers(m);
    const std::string again = bus::format_message(m);
    if (again != bytes) {
        fuzz::mismatch("the message formatted from what was read", std::to_string(bytes.size()) + " bytes",
                       std::to_string(again.size()) + " bytes");
    }
}

// Every message the stream yields, formatted again, and how it ended.
std::string read_stream(const std::string& bytes, size_t piece, bool* broken) {
    bus::Stream stream;
    std::string read;
    for (size_t at = 0;; at += piece) {
        if (at < bytes.size()) {
            stream.add(bytes.data() + at, std::min(piece, bytes.size() - at));
        }
        bus::Message m;
        bus::Stream::Next next;
        while ((next = stream.next(&m)) == bus::Stream::Next::message) {
            ask_like_callers(m);
            read += bus::format_message(m);
        }
        *broken = next == bus::Stream::Next::broken;
        if (*broken || at >= bytes.size()) {
            return read;
        }
    }
}

void streamed(const std::string& messages, size_t piece) {
    const std::string bytes = "OK 0123456789abcdef0123456789abcdef\r\n" + messages;
    bool broken_whole = false, broken_pieces = false;
    const std::string whole_read = read_stream(bytes, bytes.size() + 1, &broken_whole);
    const std::string pieces_read = read_stream(bytes, piece, &broken_pieces);
    fuzz::require(broken_whole == broken_pieces, "the pieces end the stream as the whole does");
    if (pieces_read != whole_read) {
        fuzz::mismatch("the messages read in pieces", std::to_string(whole_read.size()) + " bytes",
                       std::to_string(pieces_read.size()) + " bytes");
    }
    fuzz::require(messages.compare(0, whole_read.size(), whole_read) == 0,
                  "each message read is the bytes it came from");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    const std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    if (data[0] & 1) {
        streamed(rest, static_cast<size_t>(data[1]) + 1);
    } else {
        whole(rest);
    }
    return 0;
}
