// org.a11y.atspi.Action: a control's one action, "toggle" or "click".
#include "platform/posix/a11y/interfaces.h"
#include "platform/posix/a11y/semantics.h"

namespace a11y {

namespace {

void get_name(Call& c) {
    int index = -1;
    sd().message_read(c.message, "i", &index);
    sd().message_append(c.reply, "s", index == 0 ? action_name(c.target.node) : "");
}

void empty(Call& c) {
    sd().message_append(c.reply, "s", "");
}

void get_actions(Call& c) {
    sd().message_append(c.reply, "a(sss)", 1, action_name(c.target.node), "", "");
}

// The click is posted after the answer is out, so a click that opens a
// modal box never holds the caller.
void do_action(Call& c) {
    int index = -1;
    sd().message_read(c.message, "i", &index);
    bool can = index == 0 && atspi::has(c.target.node.states, atspi::State::enabled);
    sd().message_append(c.reply, "b", can ? 1 : 0);
    if (can) {
        c.click_after = c.target.id;
    }
}

void n_actions(sd_bus_message* m, const Target&) {
    sd().message_append(m, "v", "i", 1);
}

bool serves(const Target& t) {
    return is_window(t) && action_name(t.node) != nullptr;
}

const Method methods[] = {
    {"GetName", get_name},    {"GetLocalizedName", get_name}, {"GetDescription", empty},
    {"GetKeyBinding", empty}, {"GetActions", get_actions},    {"DoAction", do_action},
};

const Property properties[] = {
    {"NActions", n_actions, nullptr},
};

}  // namespace

const Interface action_interface = {
    "org.a11y.atspi.Action", serves, methods, std::size(methods), properties, std::size(properties),
};

}  // namespace a11y
