// Events, as signals from the object they concern, sent only while the
// provider is registered and some client has asked the registry for them;
// what they say is found by changes.cpp.
#include <ctype.h>
#include <string.h>

#include "platform/posix/a11y/references.h"
#include "platform/posix/a11y/semantics.h"

namespace a11y {

namespace {

// The registry lists names as "Object:StateChanged:Focused" and "Focus::";
// compared field by field without case and dashes, an empty field of the
// listener's matching any.
std::vector<std::string> fields(const char* name) {
    std::vector<std::string> out(1);
    for (const char* c = name; *c != '\0'; c++) {
        if (*c == ':') {
            out.emplace_back();
        } else if (*c != '-') {
            out.back() += static_cast<char>(tolower(static_cast<unsigned char>(*c)));
        }
    }
    return out;
}

bool matches(const std::vector<std::string>& event, const std::vector<std::string>& listener) {
    for (size_t i = 0; i < listener.size(); i++) {
        if (!listener[i].empty() && (i >= event.size() || event[i] != listener[i])) {
            return false;
        }
    }
    return true;
}

// AT-SPI's any-data: the child, the text or the new bounds, else 0.
void append_data(sd_bus_message* m, const Event& e) {
    const SdBus& sd = *provider().sd;
    switch (e.change) {
        case Change::child_added:
        case Change::child_removed:
            sd.message_open_container(m, 'v', "(so)");
            append_reference(m, e.child);
            sd.message_close_container(m);
            return;
        case Change::name:
        case Change::text_inserted:
        case Change::text_deleted:
        case Change::window_created:
        case Change::window_destroyed:
        case Change::window_activated:
        case Change::window_deactivated:
            sd.message_append(m, "v", "s", utf8(e.text).c_str());
            return;
        case Change::bounds:
            sd.message_append(m, "v", "(iiii)", e.bounds.x, e.bounds.y, e.bounds.width, e.bounds.height);
            return;
        default:
            sd.message_append(m, "v", "i", 0);
    }
}

// detail1 and detail2: on or off; where the child is; the text's offset
// and length.
void append_details(sd_bus_message* m, const Event& e) {
    int detail1 = 0, detail2 = 0;
    if (e.change == Change::state) {
        detail1 = e.on ? 1 : 0;
    } else if (e.change == Change::child_added || e.change == Change::child_removed) {
        detail1 = e.index;
    } else if (e.change == Change::text_inserted || e.change == Change::text_deleted) {
        detail1 = e.index;
        detail2 = static_cast<int>(e.text.size());
    }
    provider().sd->message_append(m, "sii", detail_of(e).c_str(), detail1, detail2);
}

void emit(const Event& e) {
    Provider& p = provider();
    const SdBus& sd = *p.sd;
    sd_bus_message* m = nullptr;
    Signal signal = signal_of(e.change);
    if (sd.message_new_signal(p.bus, &m, path_of(e.source).c_str(), signal.interface, signal.member) < 0) {
        return;
    }
    append_details(m, e);
    append_data(m, e);
    sd.message_append(m, "a{sv}", 0);
    sd.send(p.bus, m, nullptr);
    sd.message_unref(m);
}

}  // namespace

bool wanted(const char* event) {
    std::vector<std::string> name = fields(event);
    for (const std::string& listener : provider().listeners) {
        if (matches(name, fields(listener.c_str()))) {
            return true;
        }
    }
    return false;
}

void follow_changes() {
    Provider& p = provider();
    if (p.bus == nullptr || p.tree == nullptr || p.listeners.empty()) {
        p.told = false;
        return;
    }
    if (p.told && p.tree->generation() == p.known_generation) {
        return;
    }
    Snapshot now = describe_all(*p.tree);
    // Describing asks the windows too; what it moved is no change.
    p.known_generation = p.tree->generation();
    if (p.told) {
        for (const Event& e : differences(p.known, now)) {
            if (wanted(event_name(e).c_str())) {
                emit(e);
            }
        }
    }
    p.known = std::move(now);
    p.told = true;
}

}  // namespace a11y
