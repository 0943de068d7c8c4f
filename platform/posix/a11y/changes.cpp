#include "platform/posix/a11y/changes.h"

#include <ctype.h>
#include <string.h>

#include <algorithm>

#include "platform/posix/a11y/semantics.h"

namespace a11y {

namespace {

using atspi::State;

// Deeper than any dialog; a tree that loops ends here.
constexpr int deepest = 32;

void walk(const Tree& tree, NodeId id, int depth, Snapshot* out) {
    Node node;
    if (depth > deepest || out->nodes.count(id) != 0 || !tree.describe(id, &node)) {
        return;
    }
    out->order.push_back(id);
    std::vector<NodeId> children = node.children;
    out->nodes.emplace(id, std::move(node));
    for (NodeId child : children) {
        walk(tree, child, depth + 1, out);
    }
}

Event event(Change change, NodeId source) {
    Event e;
    e.change = change;
    e.source = source;
    return e;
}

std::string name_in(const Snapshot& s, NodeId id) {
    auto it = s.nodes.find(id);
    return it != s.nodes.end() ? it->second.name : std::string();
}

bool contains(const std::vector<NodeId>& list, NodeId id) {
    return std::find(list.begin(), list.end(), id) != list.end();
}

// A top-level window comes and goes with window:create and window:destroy
// beside the application's ChildrenChanged.
void compare_children(NodeId parent, const std::vector<NodeId>& was, const std::vector<NodeId>& now,
                      const Snapshot& before, const Snapshot& after, std::vector<Event>* out) {
    for (size_t i = 0; i < was.size(); i++) {
        if (contains(now, was[i])) {
            continue;
        }
        if (parent == 0) {
            out->push_back(event(Change::window_destroyed, was[i]));
            out->back().text = name_in(before, was[i]);
        }
        out->push_back(event(Change::child_removed, parent));
        out->back().index = static_cast<int>(i);
        out->back().child = was[i];
    }
    for (size_t i = 0; i < now.size(); i++) {
        if (contains(was, now[i])) {
            continue;
        }
        out->push_back(event(Change::child_added, parent));
        out->back().index = static_cast<int>(i);
        out->back().child = now[i];
        if (parent == 0) {
            out->push_back(event(Change::window_created, now[i]));
            out->back().text = name_in(after, now[i]);
        }
    }
}

void compare_states(NodeId id, const Node& was, const Node& now, std::vector<Event>* out) {
    for (uint32_t n = 0; n < atspi::state_count; n++) {
        State state = static_cast<State>(n);
        bool on = atspi::has(now.states, state);
        if (on == atspi::has(was.states, state) || state_name(state) == nullptr) {
            continue;
        }
        out->push_back(event(Change::state, id));
        out->back().state = state;
        out->back().on = on;
        if (state == State::focused && on) {
            out->push_back(event(Change::focus, id));
        } else if (state == State::active && now.parent == 0) {
            out->push_back(event(on ? Change::window_activated : Change::window_deactivated, id));
            out->back().text = now.name;
        }
    }
}

// A label's text is its name: a new name replaces the whole text.
void compare_names(NodeId id, const Node& was, const Node& now, std::vector<Event>* out) {
    if (was.name == now.name) {
        return;
    }
    out->push_back(event(Change::name, id));
    out->back().text = now.name;
    if (!has_text(now)) {
        return;
    }
    if (!was.name.empty()) {
        out->push_back(event(Change::text_deleted, id));
        out->back().text = was.name;
    }
    if (!now.name.empty()) {
        out->push_back(event(Change::text_inserted, id));
        out->back().text = now.name;
    }
}

void compare(NodeId id, const Node& was, const Node& now, const Snapshot& before, const Snapshot& after,
             std::vector<Event>* out) {
    compare_states(id, was, now, out);
    compare_names(id, was, now, out);
    if (!(was.bounds == now.bounds)) {
        out->push_back(event(Change::bounds, id));
        out->back().bounds = now.bounds;
    }
    compare_children(id, was.children, now.children, before, after, out);
}

constexpr const char* event_prefix = "org.a11y.atspi.Event.";

struct Kind {
    Change change;
    const char* interface;
    const char* member;
    const char* detail;
};

const Kind& kind_of(Change change) {
    static const Kind kinds[] = {
        {Change::state, "org.a11y.atspi.Event.Object", "StateChanged", ""},
        {Change::name, "org.a11y.atspi.Event.Object", "PropertyChange", "accessible-name"},
        {Change::child_added, "org.a11y.atspi.Event.Object", "ChildrenChanged", "add"},
        {Change::child_removed, "org.a11y.atspi.Event.Object", "ChildrenChanged", "remove"},
        {Change::bounds, "org.a11y.atspi.Event.Object", "BoundsChanged", ""},
        {Change::text_inserted, "org.a11y.atspi.Event.Object", "TextChanged", "insert"},
        {Change::text_deleted, "org.a11y.atspi.Event.Object", "TextChanged", "delete"},
        {Change::focus, "org.a11y.atspi.Event.Focus", "Focus", ""},
        {Change::window_created, "org.a11y.atspi.Event.Window", "Create", ""},
        {Change::window_destroyed, "org.a11y.atspi.Event.Window", "Destroy", ""},
        {Change::window_activated, "org.a11y.atspi.Event.Window", "Activate", ""},
        {Change::window_deactivated, "org.a11y.atspi.Event.Window", "Deactivate", ""},
    };
    for (const Kind& kind : kinds) {
        if (kind.change == change) {
            return kind;
        }
    }
    return kinds[0];
}

// "StateChanged" -> "state-changed"
std::string dashed(const char* word) {
    std::string out;
    for (const char* c = word; *c != '\0'; c++) {
        if (isupper(static_cast<unsigned char>(*c))) {
            if (!out.empty()) {
                out += '-';
            }
            out += static_cast<char>(tolower(static_cast<unsigned char>(*c)));
        } else {
            out += *c;
        }
    }
    return out;
}

bool ends_something(const Event& e) {
    switch (e.change) {
        case Change::state:
            return !e.on;
        case Change::child_removed:
        case Change::text_deleted:
        case Change::window_destroyed:
        case Change::window_deactivated:
            return true;
        default:
            return false;
    }
}

}  // namespace

Snapshot describe_all(const Tree& tree) {
    Snapshot s;
    s.top_levels = tree.top_levels();
    for (NodeId id : s.top_levels) {
        walk(tree, id, 0, &s);
    }
    return s;
}

std::vector<Event> differences(const Snapshot& before, const Snapshot& after) {
    std::vector<Event> out;
    compare_children(0, before.top_levels, after.top_levels, before, after, &out);
    for (NodeId id : after.order) {
        const Node& now = after.nodes.at(id);
        auto was = before.nodes.find(id);
        if (was != before.nodes.end()) {
            compare(id, was->second, now, before, after, &out);
            continue;
        }
        // A new node is announced by its parent; only its focus and
        // activation are news of their own.
        Node fresh = now;
        fresh.states &= ~(atspi::bit(State::focused) | atspi::bit(State::active));
        compare(id, fresh, now, before, after, &out);
    }
    std::stable_partition(out.begin(), out.end(), ends_something);
    return out;
}

Signal signal_of(Change change) {
    const Kind& kind = kind_of(change);
    return {kind.interface, kind.member};
}

std::string detail_of(const Event& e) {
    if (e.change == Change::state) {
        const char* name = state_name(e.state);
        return name != nullptr ? name : "";
    }
    return kind_of(e.change).detail;
}

// "org.a11y.atspi.Event.Object", "StateChanged", "enabled" is
// "object:state-changed:enabled" to a listener; Focus is "focus:".
std::string event_name(const Event& e) {
    const Kind& kind = kind_of(e.change);
    std::string category = dashed(kind.interface + strlen(event_prefix));
    std::string member = dashed(kind.member);
    if (member == category) {
        return category + ":";
    }
    std::string detail = detail_of(e);
    return category + ":" + member + (detail.empty() ? "" : ":" + detail);
}

}  // namespace a11y
