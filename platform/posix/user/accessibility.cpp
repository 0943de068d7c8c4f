// The one caller of the accessibility provider: the window tree described
// as a reader sees it, and the changes a reader follows passed on.
#include <errno.h>
#include <strings.h>

#include "platform/posix/a11y/a11y.h"
#include "platform/posix/gdi/device_scale.h"
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

a11y::Role role_of(const Window* window) {
    if (window->parent == nullptr) {
        return of_class(window, "#32770") ? a11y::Role::Alert : a11y::Role::Frame;
    }
    if (of_class(window, "Static")) {
        return a11y::Role::Label;
    }
    if (!of_class(window, "Button")) {
        return a11y::Role::Filler;
    }
    switch (window->style & BS_TYPEMASK) {
        case BS_GROUPBOX:
            return a11y::Role::Panel;
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return a11y::Role::PushButton;
        default:
            return a11y::Role::CheckBox;
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

uint32_t states_of(Window* window, a11y::Role role) {
    uint32_t states = 0;
    HWND hwnd = window->handle;
    auto set = [&states](bool on, a11y::State state) {
        if (on) {
            states |= state;
        }
    };
    bool control = role == a11y::Role::CheckBox || role == a11y::Role::PushButton;
    set(usable(window), a11y::Enabled);
    set((window->style & WS_VISIBLE) != 0, a11y::Visible);
    set(is_visible(window), a11y::Showing);
    set(control, a11y::Focusable);
    set(GetFocus() == hwnd, a11y::Focused);
    set(window->parent == nullptr && active_window() == hwnd, a11y::Active);
    set(role == a11y::Role::Alert, a11y::Modal);
    set(role == a11y::Role::PushButton && (window->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON, a11y::Default);
    set(role == a11y::Role::CheckBox, a11y::Checkable);
    set(role == a11y::Role::CheckBox && SendMessageA(hwnd, BM_GETCHECK, 0, 0) != BST_UNCHECKED, a11y::Checked);
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
    out->x = gdi::to_device(r.left, quarters);
    out->y = gdi::to_device(r.top, quarters);
    out->width = gdi::to_device(r.right, quarters) - out->x;
    out->height = gdi::to_device(r.bottom, quarters) - out->y;
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

const a11y::Tree tree = {top_levels, describe, click, grab_focus};

}  // namespace

void accessibility_frame_presented() {
    a11y::frame_presented(&tree, program_invocation_short_name);
}

void accessibility_check_changed(HWND hwnd, bool checked) {
    a11y::state_changed(node_of(hwnd), a11y::Checked, checked);
}

void accessibility_focus_changed(HWND old_focus, HWND new_focus) {
    if (old_focus != nullptr) {
        a11y::state_changed(node_of(old_focus), a11y::Focused, false);
    }
    if (new_focus != nullptr) {
        a11y::state_changed(node_of(new_focus), a11y::Focused, true);
        a11y::focus_moved(node_of(new_focus));
    }
}

void accessibility_activated(HWND old_active, HWND new_active) {
    if (old_active != nullptr) {
        a11y::state_changed(node_of(old_active), a11y::Active, false);
        a11y::window_event(node_of(old_active), a11y::WindowEvent::Deactivate);
    }
    if (new_active != nullptr) {
        a11y::state_changed(node_of(new_active), a11y::Active, true);
        a11y::window_event(node_of(new_active), a11y::WindowEvent::Activate);
    }
}

void accessibility_enabled_changed(HWND hwnd, bool enabled) {
    a11y::state_changed(node_of(hwnd), a11y::Enabled, enabled);
}

void accessibility_shown(HWND hwnd, bool visible) {
    Window* window = peek_window(hwnd);
    if (window == nullptr) {
        return;
    }
    if (window->parent != nullptr) {
        a11y::state_changed(node_of(hwnd), a11y::Visible, visible);
        a11y::state_changed(node_of(hwnd), a11y::Showing, visible);
    } else if (visible) {
        a11y::child_added(0, node_of(hwnd));
        a11y::window_event(node_of(hwnd), a11y::WindowEvent::Create);
    } else {
        a11y::window_event(node_of(hwnd), a11y::WindowEvent::Destroy);
        a11y::child_removed(0, node_of(hwnd));
    }
}

void accessibility_created(HWND hwnd) {
    Window* window = peek_window(hwnd);
    if (window != nullptr && window->parent != nullptr) {
        a11y::child_added(node_of(window->parent), node_of(hwnd));
    }
}

void accessibility_destroyed(HWND hwnd) {
    Window* window = peek_window(hwnd);
    if (window != nullptr && window->parent != nullptr) {
        a11y::child_removed(node_of(window->parent), node_of(hwnd));
    }
}

}  // namespace user
