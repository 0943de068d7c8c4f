// The one caller of the accessibility provider: the window tree described
// as a reader sees it. Nothing here follows changes: the provider describes
// the tree again when the count of messages sent to windows has moved.
#include <errno.h>
#include <strings.h>

#include "platform/posix/a11y/a11y.h"
#include "platform/posix/gdi/device_scale.h"
#include "platform/posix/user/desktop.h"
#include "platform/posix/user/surface.h"
#include "platform/posix/user/window.h"

namespace user {

namespace {

a11y::NodeId node_of(HWND hwnd) {
    return reinterpret_cast<a11y::NodeId>(hwnd);
}

HWND window_of(a11y::NodeId id) {
    return reinterpret_cast<HWND>(id);
}

bool of_class(const Window* window, const char* name) {
    return window->cls != nullptr && strcasecmp(window->cls->name.c_str(), name) == 0;
}

using a11y::atspi::Role;
using a11y::atspi::State;

Role role_of(const Window* window) {
    if (window->parent == nullptr) {
        return of_class(window, "#32770") ? Role::alert : Role::frame;
    }
    if (of_class(window, "Static")) {
        return Role::label;
    }
    if (!of_class(window, "Button")) {
        return Role::filler;
    }
    switch (window->style & BS_TYPEMASK) {
        case BS_GROUPBOX:
            return Role::panel;
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return Role::push_button;
        default:
            return Role::check_box;
    }
}

// The text as it is read: "&&" is an ampersand, a single '&' marks the
// mnemonic and is not said.
std::string spoken(const Window* window) {
    if (of_class(window, "Static") && (window->style & SS_NOPREFIX)) {
        return window->text;
    }
    std::string out;
    const std::string& text = window->text;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '&') {
            i++;
            if (i == text.size()) {
                break;
            }
        }
        out += text[i];
    }
    return out;
}

// Enabled only with every ancestor: a control in a window that a modal box
// disabled cannot be used either.
bool usable(const Window* window) {
    for (const Window* w = window; w != nullptr; w = w->parent != nullptr ? peek_window(w->parent) : nullptr) {
        if (w->style & WS_DISABLED) {
            return false;
        }
    }
    return true;
}

a11y::atspi::StateSet states_of(Window* window, Role role) {
    a11y::atspi::StateSet states = 0;
    HWND hwnd = window->handle;
    auto set = [&states](bool on, State state) {
        if (on) {
            states |= a11y::atspi::bit(state);
        }
    };
    bool control = role == Role::check_box || role == Role::push_button;
    set(usable(window), State::enabled);
    set(usable(window), State::sensitive);
    set((window->style & WS_VISIBLE) != 0, State::visible);
    set(is_visible(window), State::showing);
    set(control, State::focusable);
    set(GetFocus() == hwnd, State::focused);
    set(window->parent == nullptr && active_window() == hwnd, State::active);
    set(role == Role::alert, State::modal);
    set(role == Role::push_button && (window->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON, State::is_default);
    set(role == Role::check_box, State::checkable);
    set(role == Role::check_box && SendMessageA(hwnd, BM_GETCHECK, 0, 0) != BST_UNCHECKED, State::checked);
    return states;
}

std::vector<a11y::NodeId> top_levels() {
    std::vector<a11y::NodeId> list;
    const std::vector<HWND>& order = top_level_windows();
    // The oldest first, so the main window keeps its place under a box.
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        Window* window = peek_window(*it);
        if (window != nullptr && !window->destroying && (window->style & WS_VISIBLE)) {
            list.push_back(node_of(*it));
        }
    }
    return list;
}

bool describe(a11y::NodeId id, a11y::Node* out) {
    Window* window = peek_window(window_of(id));
    if (window == nullptr || window->destroying) {
        return false;
    }
    out->role = role_of(window);
    out->name = spoken(window);
    out->states = states_of(window, out->role);
    // On the device, each edge mapped as the drawing maps it.
    RECT r{};
    GetWindowRect(window->handle, &r);
    const int quarters = device_quarters(top_level_of(window));
    a11y::Box& b = out->bounds;
    b.x = gdi::to_device(r.left, quarters);
    b.y = gdi::to_device(r.top, quarters);
    b.width = gdi::to_device(r.right, quarters) - b.x;
    b.height = gdi::to_device(r.bottom, quarters) - b.y;
    out->parent = node_of(window->parent);
    out->children.clear();
    for (HWND child : window->children) {
        out->children.push_back(node_of(child));
    }
    return true;
}

bool click(a11y::NodeId id) {
    Window* window = peek_window(window_of(id));
    if (window == nullptr || !of_class(window, "Button") || !usable(window)) {
        return false;
    }
    return PostMessageA(window->handle, BM_CLICK, 0, 0) != FALSE;
}

bool grab_focus(a11y::NodeId id) {
    HWND hwnd = window_of(id);
    if (peek_window(hwnd) == nullptr) {
        return false;
    }
    SetFocus(hwnd);
    return GetFocus() == hwnd;
}

uint64_t generation() {
    return desktop().messages_sent;
}

const a11y::Tree tree = {top_levels, describe, click, grab_focus, generation};

}  // namespace

void accessibility_frame_presented() {
    a11y::frame_presented(&tree, program_invocation_short_name);
}

const a11y::Tree& accessibility_tree() {
    return tree;
}

}  // namespace user
