// Events derived, not remembered: the tree as a listener was last told of
// it, described again, and the AT-SPI events that take the one to the
// other. Pure: no bus, no window layer beyond the Tree it is handed.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/posix/a11y/a11y.h"

namespace a11y {

struct Snapshot {
    std::vector<NodeId> top_levels;  // the application's children
    std::vector<NodeId> order;       // every node below them, depth first
    std::map<NodeId, Node> nodes;
};

// Every node a listener may know: the top-level windows and all below them.
Snapshot describe_all(const Tree& tree);

enum class Change {
    state,          // StateChanged: state, on
    name,           // PropertyChange accessible-name: text (the new name)
    child_added,    // ChildrenChanged add: index, child
    child_removed,  // ChildrenChanged remove: index (where it was), child
    bounds,         // BoundsChanged: bounds
    text_inserted,  // TextChanged insert: index (offset), text
    text_deleted,   // TextChanged delete: index (offset), text
    focus,          // Focus
    window_created,
    window_destroyed,
    window_activated,
    window_deactivated,  // Window events: text (the window's name)
};

struct Event {
    Change change = Change::state;
    NodeId source = 0;  // 0: the application
    atspi::State state = atspi::State::invalid;
    bool on = false;
    int index = 0;
    NodeId child = 0;
    std::string text;
    Box bounds;
};

// In the order a reader should hear them: what ended, then what began.
std::vector<Event> differences(const Snapshot& before, const Snapshot& after);

// The event as listeners name it to the registry: "object:state-changed:enabled".
std::string event_name(const Event& event);
// The signal that carries it: "org.a11y.atspi.Event.Object", "StateChanged".
struct Signal {
    const char* interface;
    const char* member;
};
Signal signal_of(Change change);
// The signal's detail string: the state's name, "add", "accessible-name"...
std::string detail_of(const Event& event);

}  // namespace a11y
