// The session-bus client: messages GLib wrote read as GLib meant them,
// malformed ones refused, addresses, and a whole conversation with a bus of
// the test's own, the shapes the callers use included.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/posix/bus/auth.h"
#include "platform/posix/bus/bus.h"
#include "platform/posix/bus/percent_escapes.h"
#include "unit/support/fake_bus.h"

namespace {

// A fuzz seed, made by GLib's own writer: its message without the two bytes
// that tell the fuzz target how to take it.
std::string glib_message(const char* seed) {
    std::ifstream in(std::string(SORVANE_SOURCE_DIR) + "/tests/fuzz/seeds/bus_message_fuzzer/" + seed,
                     std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return bytes.size() > 2 ? bytes.substr(2) : std::string();
}

uint32_t u32_at(const bus::Value& dict, const char* key) {
    uint32_t v = 99;
    const bus::Value* found = bus::lookup(dict, key);
    return found != nullptr && bus::get(*found, &v) ? v : 99;
}

TEST(BusMessages, WhatGLibWroteReadsAsItMeant) {
    bus::Message m;
    ASSERT_TRUE(bus::parse_message(glib_message("read-all-reply"), &m));
    EXPECT_EQ(m.type, bus::MessageType::method_return);
    EXPECT_EQ(m.reply_serial, 4u);
    ASSERT_EQ(m.signature, "a{sa{sv}}");
    const bus::Value* appearance = bus::lookup(m.body[0], "org.freedesktop.appearance");
    ASSERT_NE(appearance, nullptr);
    EXPECT_EQ(u32_at(*appearance, "contrast"), 1u);
    EXPECT_EQ(u32_at(*appearance, "color-scheme"), 1u);
    bool high = false;
    const bus::Value* gnome = bus::lookup(m.body[0], "org.gnome.desktop.a11y.interface");
    ASSERT_NE(gnome, nullptr);
    EXPECT_TRUE(bus::get(*bus::lookup(*gnome, "high-contrast"), &high) && high);

    ASSERT_TRUE(bus::parse_message(glib_message("request-response"), &m));
    EXPECT_EQ(m.type, bus::MessageType::signal);
    EXPECT_EQ(m.member, "Response");
    ASSERT_EQ(m.signature, "ua{sv}");
    std::vector<std::string> uris;
    EXPECT_TRUE(bus::get(*bus::lookup(m.body[1], "uris"), &uris));
    EXPECT_EQ(uris, std::vector<std::string>{"file:///home/player/game"});

    ASSERT_TRUE(bus::parse_message(glib_message("status-reply-big-endian"), &m));
    EXPECT_EQ(m.endian, 'B');
    bool on = false;
    EXPECT_TRUE(bus::get(*bus::lookup(m.body[0], "IsEnabled"), &on) && on);

    ASSERT_TRUE(bus::parse_message(glib_message("error-reply"), &m));
    EXPECT_EQ(m.error_name, "org.freedesktop.DBus.Error.ServiceUnknown");

    // What we write of a call GLib wrote is GLib's bytes.
    const std::string open_file = glib_message("open-file-call");
    ASSERT_TRUE(bus::parse_message(open_file, &m));
    EXPECT_EQ(bus::format_message(m), open_file);
    const bus::Value* folder = bus::lookup(m.body[2], "current_folder");
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->signature, "ay");
    EXPECT_EQ(folder->text, std::string("/home/player\0", 13));
}

TEST(BusMessages, MalformedOnesAreRefused) {
    bus::Message good = bus::method_call("org.a", "/a/b", "org.a.I", "M", {bus::boolean(true), bus::string("x")});
    good.serial = 7;
    const std::string bytes = bus::format_message(good);
    ASSERT_FALSE(bytes.empty());
    bus::Message m;
    ASSERT_TRUE(bus::parse_message(bytes, &m));
    const size_t body = bytes.size() - 10;  // b, then s: 4 + 4 + 2
    bus::Value byte;
    byte.signature = "y";
    byte.number = 5;
    bus::Message with_padding = bus::method_call("org.a", "/a/b", "org.a.I", "M", {byte, bus::uint32(1)});
    with_padding.serial = 8;
    const std::string padded = bus::format_message(with_padding);  // y, 3 bytes of padding, u
    ASSERT_TRUE(bus::parse_message(padded, &m));
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"no byte order", "x" + bytes.substr(1)},
        {"another protocol version", bytes.substr(0, 3) + '\2' + bytes.substr(4)},
        {"a serial of 0", bytes.substr(0, 8) + std::string(4, '\0') + bytes.substr(12)},
        {"a boolean of 2", bytes.substr(0, body) + '\2' + bytes.substr(body + 1)},
        {"a string without its nul", bytes.substr(0, bytes.size() - 1) + 'y'},
        {"cut short", bytes.substr(0, bytes.size() - 1)},
        {"one byte too many", bytes + '\0'},
        {"padding that is not zero", padded.substr(0, padded.size() - 7) + '\1' + padded.substr(padded.size() - 6)},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(bus::parse_message(c.bytes, &m)) << c.what;
    }
    // Nor does the formatter write what the parser would refuse.
    EXPECT_EQ(bus::format_message(bus::method_call("org.a", "/a/", "org.a.I", "M", {})), "");
    EXPECT_EQ(bus::format_message(bus::method_call("org.a", "/a", "org.a.I", "M", {bus::string("\xff")})), "");
    bus::Value deep = bus::variant(bus::boolean(true));
    for (int i = 0; i < 70; i++) {
        deep = bus::variant(deep);
    }
    bus::Message nested = bus::method_call("org.a", "/a", "org.a.I", "M", {deep});
    nested.serial = 1;
    EXPECT_EQ(bus::format_message(nested), "");
    EXPECT_FALSE(bus::valid_signature("a{vs}"));
    EXPECT_FALSE(bus::valid_signature("(s"));
    EXPECT_FALSE(bus::valid_signature(std::string(33, 'a') + "y"));
    EXPECT_TRUE(bus::valid_signature("ua{sv}a{sa{sv}}"));
}

TEST(BusStream, AnswerThenMessagesInAnyPieces) {
    bus::Message hello = bus::method_call("org.a", "/a", "org.a.I", "Hello", {bus::string(":1.5")});
    hello.serial = 1;
    const std::string message = bus::format_message(hello);
    const std::string all = "OK 0123456789abcdef0123456789abcdef\r\n" + message + message;
    for (size_t piece : {size_t{1}, size_t{5}, all.size()}) {
        bus::Stream stream;
        int read = 0;
        for (size_t at = 0; at < all.size(); at += piece) {
            stream.add(all.data() + at, std::min(piece, all.size() - at));
            bus::Message m;
            while (stream.next(&m) == bus::Stream::Next::message) {
                EXPECT_EQ(m.member, "Hello");
                read++;
            }
        }
        EXPECT_EQ(read, 2) << "in pieces of " << piece;
    }
    bus::Stream refused;
    refused.add("REJECTED EXTERNAL\r\n", 19);
    bus::Message m;
    EXPECT_EQ(refused.next(&m), bus::Stream::Next::broken);
    EXPECT_EQ(bus::auth_request(1000), std::string(1, '\0') + "AUTH EXTERNAL 31303030\r\nBEGIN\r\n");
}

TEST(BusAddress, FirstUnixEntryUnescaped) {
    struct Case {
        const char* address;
        bool found;
        std::string path;  // an abstract name after a nul
    } cases[] = {
        {"unix:path=/run/user/1000/bus", true, "/run/user/1000/bus"},
        {"unix:path=/tmp/a%20b,guid=1234", true, "/tmp/a b"},
        {"tcp:host=localhost,port=1;unix:abstract=/tmp/dbus-x", true, std::string(1, '\0') + "/tmp/dbus-x"},
        {"unix:guid=1,path=/p", true, "/p"},
        {"unix:path=/tmp/bad%2", false, ""},
        {"tcp:host=localhost,port=1", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        bus::SocketAddress a;
        ASSERT_EQ(bus::unix_socket_of(c.address, &a), c.found) << c.address;
        if (c.found) {
            EXPECT_EQ(std::string(a.un.sun_path, c.path.size()), c.path) << c.address;
        }
    }
}

TEST(BusAddress, PercentEscapesUndone) {
    struct Case {
        const char* text;
        bool ok;
        std::string decoded;
    } cases[] = {
        {"", true, ""},
        {"/tmp/a%20b", true, "/tmp/a b"},
        {"%2f%2F%41", true, "//A"},
        {"%00x", true, std::string(1, '\0') + "x"},
        {"100%", false, ""},
        {"%4", false, ""},
        {"%g0", false, ""},
        {"%0g", false, ""},
    };
    for (const Case& c : cases) {
        std::string decoded = "left over";
        ASSERT_EQ(bus::percent_decoded(c.text, &decoded), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(decoded, c.decoded) << c.text;
        }
    }
}

// The launcher's folder question, as the portal's FileChooser answers it:
// a call with options, its reply, then the Request's Response signal.
TEST(BusConnection, CallsMatchesAndBoundedWaits) {
    FakeBus server;
    bus::Connection client;
    ASSERT_TRUE(client.open(server.address()));
    ASSERT_TRUE(server.accept_client());
    std::vector<bus::Message> got = server.read_messages();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(server.auth_text(), bus::auth_request(getuid()));
    EXPECT_EQ(got[0].member, "Hello");
    // Nothing answers yet: the wait ends at its bound.
    EXPECT_FALSE(client.wait_named(20));
    server.welcome(got[0], ":1.42");
    ASSERT_TRUE(client.wait_named(5000));
    EXPECT_EQ(client.unique_name(), ":1.42");

    const std::string request = "/org/freedesktop/portal/desktop/request/1_42/sorvane";
    ASSERT_NE(client.add_match(bus::signal_rule("org.freedesktop.portal.Request", "Response", request)), 0u);
    const uint32_t serial = client.call("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
                                        "org.freedesktop.portal.FileChooser", "OpenFile",
                                        {bus::string(""), bus::string("Game folder"),
                                         bus::dict({{"handle_token", bus::string("sorvane")},
                                                    {"directory", bus::boolean(true)},
                                                    {"current_folder", bus::bytes(std::string("/home\0", 6))}})});
    ASSERT_NE(serial, 0u);
    got = server.read_messages();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].member, "AddMatch");
    std::string rule;
    ASSERT_TRUE(bus::get(got[0].body[0], &rule));
    EXPECT_EQ(rule,
              "type='signal',interface='org.freedesktop.portal.Request',member='Response',path='" + request + "'");
    const bus::Message& open_file = got[1];
    EXPECT_EQ(open_file.signature, "ssa{sv}");
    bool directory = false;
    EXPECT_TRUE(bus::get(*bus::lookup(open_file.body[2], "directory"), &directory) && directory);
    EXPECT_EQ(bus::lookup(open_file.body[2], "current_folder")->text, std::string("/home\0", 6));

    // A signal nobody waits for comes first and stays queued.
    server.send(server.signal("/org/freedesktop/DBus", "org.freedesktop.DBus", "NameAcquired", {bus::string(":1.42")}));
    server.send(server.reply_to(open_file, {bus::object_path(request)}));
    bus::Message reply;
    ASSERT_TRUE(client.wait_reply(serial, 5000, &reply));
    EXPECT_EQ(bus::unwrapped(reply.body[0]).text, request);
    EXPECT_FALSE(client.wait_for([](const bus::Message& m) { return m.member == "Response"; }, 20, &reply));
    server.send(server.signal(request, "org.freedesktop.portal.Request", "Response",
                              {bus::uint32(0), bus::dict({{"uris", bus::array("s", {bus::string("file:///g")})}})}));
    ASSERT_TRUE(client.wait_for([](const bus::Message& m) { return m.member == "Response"; }, 5000, &reply));
    std::vector<std::string> uris;
    EXPECT_TRUE(bus::get(*bus::lookup(reply.body[1], "uris"), &uris));
    EXPECT_EQ(uris, std::vector<std::string>{"file:///g"});
    bus::Message queued;
    ASSERT_TRUE(client.next(&queued));
    EXPECT_EQ(queued.member, "NameAcquired");
    EXPECT_FALSE(client.next(&queued));

    // What is no message closes the connection.
    server.send_raw(std::string(16, 'x'));
    EXPECT_FALSE(client.wait_reply(serial + 5, 5000, &reply));
    EXPECT_FALSE(client.is_open());
}

}  // namespace
