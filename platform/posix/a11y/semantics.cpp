#include "platform/posix/a11y/semantics.h"

namespace a11y {

using atspi::Role;
using atspi::State;

const char* role_name(Role role) {
    static const struct {
        Role role;
        const char* name;
    } names[] = {
        {Role::alert, "alert"},
        {Role::check_box, "check box"},
        {Role::filler, "filler"},
        {Role::frame, "frame"},
        {Role::label, "label"},
        {Role::panel, "panel"},
        {Role::push_button, "push button"},
        {Role::application, "application"},
    };
    for (const auto& entry : names) {
        if (entry.role == role) {
            return entry.name;
        }
    }
    return "unknown";
}

const char* state_name(State state) {
    static const struct {
        State state;
        const char* name;
    } names[] = {
        {State::active, "active"},         {State::checked, "checked"},     {State::enabled, "enabled"},
        {State::focusable, "focusable"},   {State::focused, "focused"},     {State::modal, "modal"},
        {State::sensitive, "sensitive"},   {State::showing, "showing"},     {State::visible, "visible"},
        {State::is_default, "is-default"}, {State::checkable, "checkable"},
    };
    for (const auto& entry : names) {
        if (entry.state == state) {
            return entry.name;
        }
    }
    return nullptr;
}

const char* action_name(const Node& node) {
    switch (node.role) {
        case Role::check_box:
            return "toggle";
        case Role::push_button:
            return "click";
        default:
            return nullptr;
    }
}

bool has_text(const Node& node) {
    return node.role == Role::label;
}

atspi::Layer layer_of(const Node& node) {
    return node.parent == 0 ? atspi::Layer::window : atspi::Layer::widget;
}

std::string utf8(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace a11y
