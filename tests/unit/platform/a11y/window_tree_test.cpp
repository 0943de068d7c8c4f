// The window layer as a reader sees it, through the tree it hands the
// provider: each kind of window's role, name and states, and the events
// the tool's window yields when the message box disables it.
#include <algorithm>

#include "platform/posix/a11y/changes.h"
#include "platform/posix/user/window.h"
#include "tests/unit/platform/a11y/model_tree.h"
#include "tests/unit/platform/user/test_window.h"
#include "tests/unit/platform/user/tool_layout.h"

namespace {

using namespace user_test;
using a11y::atspi::Role;
using a11y::atspi::State;
using a11y_test::states;

class AccessibleWindows : public UserTest {};

a11y::Node described(HWND hwnd) {
    a11y::Node node;
    EXPECT_TRUE(user::accessibility_tree().describe(reinterpret_cast<a11y::NodeId>(hwnd), &node));
    return node;
}

TEST_F(AccessibleWindows, EachKindOfWindowHasItsRoleNameAndStates) {
    HWND top = make_top("Sorvane");
    const auto shown = states({State::enabled, State::sensitive, State::showing, State::visible});
    const auto control = shown | states({State::focusable});
    struct Row {
        const char* cls;
        DWORD style;
        const char* text;
        Role role;
        const char* name;
        a11y::atspi::StateSet states;
    } rows[] = {
        {"BUTTON", BS_GROUPBOX, "&Weapons", Role::panel, "Weapons", shown},
        {"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, "A&xes", Role::check_box, "Axes",
         control | states({State::checkable, State::checked, State::focused})},
        {"BUTTON", WS_DISABLED | BS_AUTOCHECKBOX, "Bows", Role::check_box, "Bows",
         states({State::checkable, State::focusable, State::showing, State::visible})},
        {"BUTTON", BS_DEFPUSHBUTTON, "&Set Filter", Role::push_button, "Set Filter",
         control | states({State::is_default})},
        {"BUTTON", BS_PUSHBUTTON, "E&xit", Role::push_button, "Exit", control},
        {"STATIC", SS_LEFT, "Fish && Chips", Role::label, "Fish & Chips", shown},
        {"STATIC", SS_LEFT | SS_NOPREFIX, "a&b", Role::label, "a&b", shown},
    };
    std::vector<HWND> made;
    for (const Row& row : rows) {
        made.push_back(make_child(top, row.cls, row.text, row.style, 10, 10 + 25 * made.size(), 90, 20, 0));
    }
    SendMessageA(made[1], BM_SETCHECK, BST_CHECKED, 0);
    SetFocus(made[1]);
    HWND hidden =
        CreateWindowExA(0, "BUTTON", "Hidden", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 9, 9, top, nullptr, nullptr, nullptr);

    a11y::Node frame = described(top);
    EXPECT_EQ(frame.role, Role::frame);
    EXPECT_EQ(frame.name, "Sorvane");
    EXPECT_EQ(frame.states, shown | states({State::active}));
    EXPECT_EQ(frame.parent, 0u);
    EXPECT_EQ(frame.children.size(), made.size() + 1);
    for (size_t i = 0; i < made.size(); i++) {
        a11y::Node n = described(made[i]);
        EXPECT_EQ(n.role, rows[i].role) << rows[i].text;
        EXPECT_EQ(n.name, rows[i].name) << rows[i].text;
        EXPECT_EQ(n.states, rows[i].states) << rows[i].text;
        EXPECT_EQ(n.parent, reinterpret_cast<a11y::NodeId>(top));
    }
    EXPECT_EQ(described(hidden).states, states({State::enabled, State::sensitive, State::focusable, State::checkable}));
    DestroyWindow(top);
    a11y::Node gone;
    EXPECT_FALSE(user::accessibility_tree().describe(reinterpret_cast<a11y::NodeId>(top), &gone));
}

// Who is enabled, by name: the tool's 27 check boxes among them.
std::vector<std::string> enabled_boxes(const a11y::Snapshot& s) {
    std::vector<std::string> names;
    for (a11y::NodeId id : s.order) {
        const a11y::Node& n = s.nodes.at(id);
        if (n.role == Role::check_box && a11y::atspi::has(n.states, State::enabled) &&
            a11y::atspi::has(n.states, State::sensitive)) {
            names.push_back(n.name);
        }
    }
    return names;
}

std::vector<std::string> boxes_turned(const std::vector<a11y::Event>& events, const a11y::Snapshot& s, State state,
                                      bool on) {
    std::vector<std::string> names;
    for (const a11y::Event& e : events) {
        auto it = s.nodes.find(e.source);
        if (e.change == a11y::Change::state && e.state == state && e.on == on && it != s.nodes.end() &&
            it->second.role == Role::check_box) {
            names.push_back(it->second.name);
        }
    }
    return names;
}

TEST_F(AccessibleWindows, TheMessageBoxTakesTheBoxesAwayAndGivesThemBack) {
    HWND top = make_top("Sorvane");
    std::vector<std::string> categories;
    for (const Child& c : tool_children) {
        make_child(top, c.cls, c.text, c.style, c.x, c.y, c.width, c.height, 0);
        if (c.style == check_style) {
            categories.push_back(c.text);
        }
    }
    ASSERT_EQ(categories.size(), 27u);
    run_script();
    const a11y::Tree& tree = user::accessibility_tree();
    static a11y::Snapshot before, under;
    before = a11y::describe_all(tree);
    EXPECT_EQ(enabled_boxes(before), categories);
    static uint64_t generation_before = 0, generation_under = 0;
    generation_before = tree.generation();
    player::call([] {
        under = a11y::describe_all(user::accessibility_tree());
        generation_under = user::accessibility_tree().generation();
    });
    player::answer_message_box();
    MessageBoxA(top, "Generated a new gamble table  ", "Vorthane Sorvane", MB_OK);
    run_script();
    a11y::Snapshot after = a11y::describe_all(tree);

    EXPECT_NE(generation_under, generation_before);
    EXPECT_TRUE(enabled_boxes(under).empty());
    std::vector<a11y::Event> going = a11y::differences(before, under);
    EXPECT_EQ(boxes_turned(going, under, State::enabled, false), categories);
    EXPECT_EQ(boxes_turned(going, under, State::sensitive, false), categories);
    ASSERT_EQ(under.top_levels.size(), 2u);
    EXPECT_EQ(under.nodes.at(under.top_levels[1]).role, Role::alert);
    EXPECT_NE(std::find_if(going.begin(), going.end(),
                           [](const a11y::Event& e) { return a11y::event_name(e) == "window:create"; }),
              going.end());

    EXPECT_EQ(enabled_boxes(after), categories);
    std::vector<a11y::Event> back = a11y::differences(under, after);
    EXPECT_EQ(boxes_turned(back, after, State::enabled, true), categories);
    EXPECT_EQ(boxes_turned(back, after, State::sensitive, true), categories);
    EXPECT_EQ(after.top_levels.size(), 1u);
}

TEST_F(AccessibleWindows, ANewTextIsANameChange) {
    HWND top = make_top("Sorvane");
    HWND box = make_child(top, "BUTTON", "Axes", BS_AUTOCHECKBOX, 10, 10, 90, 20, 0);
    const a11y::Tree& tree = user::accessibility_tree();
    a11y::Snapshot before = a11y::describe_all(tree);
    uint64_t generation = tree.generation();
    SetWindowTextA(box, "Great &Axes");
    EXPECT_NE(tree.generation(), generation);
    std::vector<a11y::Event> events = a11y::differences(before, a11y::describe_all(tree));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(a11y::event_name(events[0]), "object:property-change:accessible-name");
    EXPECT_EQ(events[0].text, "Great Axes");
}

}  // namespace
