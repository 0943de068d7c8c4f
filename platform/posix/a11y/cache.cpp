// org.a11y.atspi.Cache at its own path: asked for by clients, and empty;
// they walk the tree instead.
#include "platform/posix/a11y/interfaces.h"

namespace a11y {

namespace {

void get_items(Call& c) {
    sd().message_open_container(c.reply, 'a', "((so)(so)(so)iiassusau)");
    sd().message_close_container(c.reply);
}

bool serves(const Target& t) {
    return t.kind == Target::Kind::cache;
}

const Method methods[] = {
    {"GetItems", get_items},
};

}  // namespace

const Interface cache_interface = {
    "org.a11y.atspi.Cache", serves, methods, std::size(methods), nullptr, 0,
};

}  // namespace a11y
