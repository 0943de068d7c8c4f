// A window tree for the accessibility provider's tests, made of plain
// nodes: what the window layer would describe, changed by hand.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/posix/a11y/a11y.h"

namespace a11y_test {

using a11y::Node;
using a11y::NodeId;
using a11y::atspi::Role;
using a11y::atspi::State;

inline a11y::atspi::StateSet states(std::initializer_list<State> list) {
    a11y::atspi::StateSet set = 0;
    for (State s : list) {
        set |= a11y::atspi::bit(s);
    }
    return set;
}

struct Model {
    std::vector<NodeId> top_levels;
    std::map<NodeId, Node> nodes;
    uint64_t generation = 0;
    std::vector<NodeId> clicked;

    // Adds a node under parent (0: a top-level window).
    Node& add(NodeId id, NodeId parent, Role role, const std::string& name, a11y::atspi::StateSet set,
              a11y::Box bounds = {}) {
        Node& n = nodes[id];
        n.role = role;
        n.name = name;
        n.states = set;
        n.bounds = bounds;
        n.parent = parent;
        if (parent == 0) {
            top_levels.push_back(id);
        } else {
            nodes[parent].children.push_back(id);
        }
        return n;
    }
    void remove(NodeId id) {
        NodeId parent = nodes[id].parent;
        std::vector<NodeId>& list = parent == 0 ? top_levels : nodes[parent].children;
        list.erase(std::find(list.begin(), list.end(), id));
        nodes.erase(id);
    }
    std::string name_of(NodeId id) const {
        auto it = nodes.find(id);
        return id == 0 ? "app" : it != nodes.end() ? it->second.name : "#" + std::to_string(id);
    }
};

// The model the Tree below answers from.
inline Model& model() {
    static Model m;
    return m;
}

inline const a11y::Tree& model_tree() {
    static const a11y::Tree tree = {
        [] { return model().top_levels; },
        [](NodeId id, Node* out) {
            auto it = model().nodes.find(id);
            if (it == model().nodes.end()) {
                return false;
            }
            *out = it->second;
            return true;
        },
        [](NodeId id) {
            model().clicked.push_back(id);
            return true;
        },
        [](NodeId) { return false; },
        [] { return model().generation; },
    };
    return tree;
}

// The tool's main window in small: a frame, a group box holding two check
// boxes, a label and a default push button.
inline void make_main_window() {
    model() = Model{};
    const auto shown = states({State::showing, State::visible});
    const auto usable = states({State::enabled, State::sensitive, State::showing, State::visible});
    const auto control = usable | states({State::focusable});
    model().add(1, 0, Role::frame, "Sorvane", shown | states({State::active, State::enabled, State::sensitive}),
                {425, 514, 546, 325});
    model().add(2, 1, Role::panel, "Weapons", usable, {448, 581, 240, 200});
    model().add(3, 2, Role::check_box, "Axes", control | states({State::checkable, State::checked}),
                {463, 601, 90, 20});
    model().add(4, 2, Role::check_box, "Bows", control | states({State::checkable, State::focused}),
                {463, 626, 90, 20});
    model().add(5, 1, Role::label, "Choose", usable, {448, 546, 500, 15});
    model().add(6, 1, Role::push_button, "Set Filter", control | states({State::is_default}), {773, 796, 80, 25});
}

}  // namespace a11y_test
