// The game's folder from the desktop's own folder chooser: the XDG desktop
// portal's org.freedesktop.portal.FileChooser.OpenFile with directory true,
// over the session bus with the layer's own small client (platform/posix/bus;
// no library is loaded).
#include <unistd.h>

#include <string>
#include <vector>

#include "launcher/launcher.h"
#include "platform/posix/bus/bus.h"

namespace launcher {

namespace {

const char portal_name[] = "org.freedesktop.portal.Desktop";
const char portal_path[] = "/org/freedesktop/portal/desktop";

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

// The request's object, named from our bus name and a token of ours, so
// that its Response can be matched before the call returns.
std::string request_path(const std::string& unique_name, const std::string& token) {
    std::string sender = unique_name.substr(unique_name.find(':') + 1);
    for (char& c : sender) {
        c = c == '.' ? '_' : c;
    }
    return std::string(portal_path) + "/request/" + sender + "/" + token;
}

}  // namespace

Choice choose_folder(const std::string& start_in, std::string* folder, std::string* reason) {
    bus::Connection connection;
    if (!connection.open_session() || !connection.wait_named(5000)) {
        return Choice::NoPortal;
    }
    const std::string token = "sorvane" + std::to_string(getpid());
    const std::string request = request_path(connection.unique_name(), token);
    bus::Message m;
    const uint32_t added =
        connection.add_match(bus::signal_rule("org.freedesktop.portal.Request", "Response", request));
    if (added == 0 || !connection.wait_reply(added, 5000, &m) || m.type != bus::MessageType::method_return) {
        return Choice::NoPortal;
    }
    std::vector<std::pair<std::string, bus::Value>> options = {
        {"handle_token", bus::string(token)}, {"directory", bus::boolean(true)}, {"modal", bus::boolean(true)}};
    if (!start_in.empty()) {
        options.push_back({"current_folder", bus::bytes(start_in + std::string(1, '\0'))});
    }
    // No parent window: the launcher has none.
    const uint32_t opened =
        connection.call(portal_name, portal_path, "org.freedesktop.portal.FileChooser", "OpenFile",
                        {bus::string(""), bus::string("Choose the game's folder"), bus::dict(options)});
    // Starting the portal on demand may take a moment.
    if (opened == 0 || !connection.wait_reply(opened, 30000, &m)) {
        *reason = "the desktop portal did not answer";
        return Choice::Failed;
    }
    if (m.type == bus::MessageType::error) {
        if (no_chooser(m.error_name)) {
            return Choice::NoPortal;
        }
        *reason = "the folder chooser refused: " + m.error_name;
        return Choice::Failed;
    }
    const auto response_to_us = [&request](const bus::Message& s) {
        return s.type == bus::MessageType::signal && s.member == "Response" && s.path == request &&
               s.signature == "ua{sv}";
    };
    if (!connection.wait_for(response_to_us, -1, &m)) {
        *reason = "the session bus closed while the folder chooser was open";
        return Choice::Failed;
    }
    uint32_t response = 2;
    bus::get(m.body[0], &response);
    if (response == 1) {
        return Choice::Cancelled;
    }
    std::vector<std::string> uris;
    const bus::Value* found = bus::lookup(m.body[1], "uris");
    if (response == 0 && found != nullptr && bus::get(*found, &uris) && !uris.empty() &&
        folder_of_argument(uris[0], folder)) {
        return Choice::Chosen;
    }
    *reason = response == 0 ? "the folder chooser gave no folder on this computer" : "the folder chooser failed";
    return Choice::Failed;
}

}  // namespace launcher
