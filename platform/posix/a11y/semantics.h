// What a node is to a reader, apart from how the bus carries it: role and
// state names, the action a control offers, whether it has text, its layer,
// its text as the bus carries it.
#pragma once

#include <string>

#include "platform/posix/a11y/a11y.h"

namespace a11y {

// As at-spi2-core names them ("check box"); "unknown" for a role not listed.
const char* role_name(atspi::Role role);
// As events and listeners spell them ("is-default"); null for one not listed.
const char* state_name(atspi::State state);

// The one action of a control ("toggle", "click"), or null: none.
const char* action_name(const Node& node);
// A label's text is served through the Text interface: its name.
bool has_text(const Node& node);

// A top-level window stacks as a window, the rest as widgets.
atspi::Layer layer_of(const Node& node);

// Text from the window layer's 8-bit strings, taken as Latin-1.
std::string utf8(const std::string& text);

}  // namespace a11y
