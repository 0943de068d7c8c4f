// Events, as signals from the object they concern, sent only while the
// provider is registered and some client has asked the registry for them.
#include <ctype.h>
#include <string.h>

#include "platform/posix/a11y/provider.h"

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

bool registered() {
    return provider().bus != nullptr && provider().tree != nullptr;
}

// Sends one event: AT-SPI's (detail, detail1, detail2, any data, properties).
void emit(NodeId id, const char* interface, const char* member, const char* detail, int detail1, int detail2,
          NodeId child = 0, const char* text = nullptr) {
    Provider& p = provider();
    const SdBus& sd = *p.sd;
    sd_bus_message* m = nullptr;
    std::string path = path_of(id);
    if (sd.message_new_signal(p.bus, &m, path.c_str(), interface, member) < 0) {
        return;
    }
    sd.message_append(m, "sii", detail, detail1, detail2);
    if (child != 0) {
        sd.message_open_container(m, 'v', "(so)");
        append_reference(m, child);
        sd.message_close_container(m);
    } else if (text != nullptr) {
        sd.message_append(m, "v", "s", utf8(text).c_str());
    } else {
        sd.message_append(m, "v", "i", 0);
    }
    sd.message_append(m, "a{sv}", 0);
    sd.send(p.bus, m, nullptr);
    sd.message_unref(m);
}

const char* state_name(State state) {
    switch (state) {
        case Active:
            return "active";
        case Checked:
            return "checked";
        case Enabled:
            return "enabled";
        case Focused:
            return "focused";
        case Showing:
            return "showing";
        case Visible:
            return "visible";
        default:
            return nullptr;
    }
}

void emit_state(NodeId id, const char* name, bool on) {
    if (wanted((std::string("object:state-changed:") + name).c_str())) {
        emit(id, "org.a11y.atspi.Event.Object", "StateChanged", name, on ? 1 : 0, 0);
    }
}

int index_of(NodeId parent, NodeId child) {
    std::vector<NodeId> siblings;
    Node node;
    if (parent == 0) {
        siblings = provider().tree->top_levels();
    } else if (provider().tree->describe(parent, &node)) {
        siblings = node.children;
    }
    for (size_t i = 0; i < siblings.size(); i++) {
        if (siblings[i] == child) {
            return static_cast<int>(i);
        }
    }
    return -1;
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

void state_changed(NodeId id, State state, bool on) {
    const char* name = state_name(state);
    if (!registered() || name == nullptr) {
        return;
    }
    emit_state(id, name, on);
    if (state == Enabled) {
        emit_state(id, "sensitive", on);
    }
}

void focus_moved(NodeId to) {
    if (registered() && to != 0 && wanted("focus:")) {
        emit(to, "org.a11y.atspi.Event.Focus", "Focus", "", 0, 0);
    }
}

void window_event(NodeId id, WindowEvent event) {
    static const char* const members[] = {"Create", "Destroy", "Activate", "Deactivate"};
    static const char* const names[] = {"window:create", "window:destroy", "window:activate", "window:deactivate"};
    int which = static_cast<int>(event);
    Node node;
    if (!registered() || !wanted(names[which])) {
        return;
    }
    bool known = provider().tree->describe(id, &node);
    emit(id, "org.a11y.atspi.Event.Window", members[which], "", 0, 0, 0, known ? node.name.c_str() : "");
}

void child_added(NodeId parent, NodeId child) {
    if (registered() && wanted("object:children-changed:add")) {
        emit(parent, "org.a11y.atspi.Event.Object", "ChildrenChanged", "add", index_of(parent, child), 0, child);
    }
}

void child_removed(NodeId parent, NodeId child) {
    if (registered() && wanted("object:children-changed:remove")) {
        emit(parent, "org.a11y.atspi.Event.Object", "ChildrenChanged", "remove", -1, 0, child);
    }
}

}  // namespace a11y
