// Events derived from two descriptions of the tree: what a listener hears
// for each kind of change, in the order it hears it.
#include <gtest/gtest.h>

#include <functional>

#include "platform/posix/a11y/changes.h"
#include "tests/unit/platform/a11y/model_tree.h"

namespace a11y_test {
namespace {

using a11y::Change;
using a11y::Event;

std::string name_in(const a11y::Snapshot& a, const a11y::Snapshot& b, NodeId id) {
    for (const a11y::Snapshot* s : {&b, &a}) {
        auto it = s->nodes.find(id);
        if (it != s->nodes.end()) {
            return it->second.name;
        }
    }
    return id == 0 ? "app" : "?";
}

// "object:state-changed:enabled Axes 0": the event, its source, and what
// it carries.
std::vector<std::string> heard(const a11y::Snapshot& before, const a11y::Snapshot& after) {
    std::vector<std::string> out;
    for (const Event& e : a11y::differences(before, after)) {
        std::string line = a11y::event_name(e) + " " + name_in(before, after, e.source);
        if (e.change == Change::state) {
            line += e.on ? " 1" : " 0";
        } else if (e.change == Change::child_added || e.change == Change::child_removed) {
            line += " " + std::to_string(e.index) + " " + name_in(before, after, e.child);
        } else if (e.change == Change::bounds) {
            line += " " + std::to_string(e.bounds.x) + "," + std::to_string(e.bounds.y);
        } else if (!e.text.empty()) {
            line += " '" + e.text + "'";
        }
        out.push_back(line);
    }
    return out;
}

void disable(NodeId id) {
    Node& n = model().nodes[id];
    n.states &= ~states({State::enabled, State::sensitive});
    for (NodeId child : n.children) {
        disable(child);
    }
}

void open_box() {
    model().nodes[1].states &= ~states({State::active});
    model().nodes[4].states &= ~states({State::focused});
    model().add(7, 0, Role::alert, "Box", states({State::active, State::modal, State::showing, State::visible}));
    model().add(8, 7, Role::push_button, "OK", states({State::enabled, State::focused}));
}

struct Case {
    const char* what;
    std::function<void()> change;
    std::vector<std::string> heard;
};

TEST(AccessibleChanges, EachChangeIsHeardAsItsEvents) {
    const Case cases[] = {
        {"nothing", [] {}, {}},
        {"a check box unchecked",
         [] { model().nodes[3].states &= ~states({State::checked}); },
         {"object:state-changed:checked Axes 0"}},
        {"the frame disabled: every control under it with it",
         [] { disable(1); },
         {"object:state-changed:enabled Sorvane 0", "object:state-changed:sensitive Sorvane 0",
          "object:state-changed:enabled Weapons 0", "object:state-changed:sensitive Weapons 0",
          "object:state-changed:enabled Axes 0", "object:state-changed:sensitive Axes 0",
          "object:state-changed:enabled Bows 0", "object:state-changed:sensitive Bows 0",
          "object:state-changed:enabled Choose 0", "object:state-changed:sensitive Choose 0",
          "object:state-changed:enabled Set Filter 0", "object:state-changed:sensitive Set Filter 0"}},
        {"the focus moved back: the loss first",
         [] {
             model().nodes[4].states &= ~states({State::focused});
             model().nodes[3].states |= states({State::focused});
         },
         {"object:state-changed:focused Bows 0", "object:state-changed:focused Axes 1", "focus: Axes"}},
        {"a button renamed",
         [] { model().nodes[6].name = "Apply"; },
         {"object:property-change:accessible-name Apply 'Apply'"}},
        {"a label's new text: its name and its text",
         [] { model().nodes[5].name = "Pick"; },
         {"object:text-changed:delete Pick 'Choose'", "object:property-change:accessible-name Pick 'Pick'",
          "object:text-changed:insert Pick 'Pick'"}},
        {"a check box gone", [] { model().remove(4); }, {"object:children-changed:remove Weapons 1 Bows"}},
        {"a check box added",
         [] { model().add(9, 2, Role::check_box, "Crossbows", 0); },
         {"object:children-changed:add Weapons 2 Crossbows"}},
        {"the frame moved", [] { model().nodes[1].bounds.x += 10; }, {"object:bounds-changed Sorvane 435,514"}},
        {"a box opened over the frame: deactivation and the lost focus first, then the box",
         open_box,
         {"object:state-changed:active Sorvane 0", "window:deactivate Sorvane 'Sorvane'",
          "object:state-changed:focused Bows 0", "object:children-changed:add app 1 Box", "window:create Box 'Box'",
          "object:state-changed:active Box 1", "window:activate Box 'Box'", "object:state-changed:focused OK 1",
          "focus: OK"}},
    };
    for (const Case& c : cases) {
        make_main_window();
        a11y::Snapshot before = a11y::describe_all(model_tree());
        c.change();
        EXPECT_EQ(heard(before, a11y::describe_all(model_tree())), c.heard) << c.what;
    }
}

TEST(AccessibleChanges, AClosedBoxIsDestroyedAndRemovedFromTheApplication) {
    make_main_window();
    open_box();
    a11y::Snapshot under = a11y::describe_all(model_tree());
    model().remove(7);
    model().nodes.erase(8);
    model().nodes[1].states |= states({State::active});
    EXPECT_EQ(heard(under, a11y::describe_all(model_tree())),
              (std::vector<std::string>{"window:destroy Box 'Box'", "object:children-changed:remove app 1 Box",
                                        "object:state-changed:active Sorvane 1", "window:activate Sorvane 'Sorvane'"}));
}

// A tree whose node lists itself among its children ends at a depth limit
// and describes each node once.
TEST(AccessibleChanges, ATreeThatLoopsIsDescribedOnce) {
    make_main_window();
    model().nodes[2].children.push_back(1);
    a11y::Snapshot s = a11y::describe_all(model_tree());
    EXPECT_EQ(s.order, (std::vector<NodeId>{1, 2, 3, 4, 5, 6}));
}

}  // namespace
}  // namespace a11y_test
