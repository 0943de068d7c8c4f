// org.a11y.atspi.Component: a window's extents, what lies at a point, its
// layer, and the focus asked for.
#include "platform/posix/a11y/extents.h"
#include "platform/posix/a11y/interfaces.h"
#include "platform/posix/a11y/semantics.h"

namespace a11y {

namespace {

Box extents_asked(Call& c, const char* types, int* x = nullptr, int* y = nullptr) {
    uint32_t coordinates = 0;
    if (x != nullptr) {
        sd().message_read(c.message, types, x, y, &coordinates);
    } else {
        sd().message_read(c.message, types, &coordinates);
    }
    return extents(*provider().tree, c.target.node, static_cast<atspi::CoordType>(coordinates));
}

void get_extents(Call& c) {
    Box box = extents_asked(c, "u");
    sd().message_append(c.reply, "(iiii)", box.x, box.y, box.width, box.height);
}

void get_position(Call& c) {
    Box box = extents_asked(c, "u");
    sd().message_append(c.reply, "ii", box.x, box.y);
}

void get_size(Call& c) {
    sd().message_append(c.reply, "ii", c.target.node.bounds.width, c.target.node.bounds.height);
}

void contains_point(Call& c) {
    int x = 0, y = 0;
    Box box = extents_asked(c, "iiu", &x, &y);
    sd().message_append(c.reply, "b", contains(box, x, y) ? 1 : 0);
}

void get_accessible_at_point(Call& c) {
    int x = 0, y = 0;
    uint32_t coordinates = 0;
    sd().message_read(c.message, "iiu", &x, &y, &coordinates);
    NodeId found = child_at(*provider().tree, c.target.node, x, y, static_cast<atspi::CoordType>(coordinates));
    if (found != 0) {
        append_reference(c.reply, found);
    } else {
        append_null_reference(c.reply);
    }
}

void get_layer(Call& c) {
    sd().message_append(c.reply, "u", static_cast<uint32_t>(layer_of(c.target.node)));
}

void get_mdi_z_order(Call& c) {
    sd().message_append(c.reply, "n", static_cast<int16_t>(0));
}

void grab_focus(Call& c) {
    sd().message_append(c.reply, "b", provider().tree->grab_focus(c.target.id) ? 1 : 0);
}

void get_alpha(Call& c) {
    sd().message_append(c.reply, "d", 1.0);
}

const Method methods[] = {
    {"GetExtents", get_extents},
    {"GetPosition", get_position},
    {"GetSize", get_size},
    {"Contains", contains_point},
    {"GetAccessibleAtPoint", get_accessible_at_point},
    {"GetLayer", get_layer},
    {"GetMDIZOrder", get_mdi_z_order},
    {"GrabFocus", grab_focus},
    {"GetAlpha", get_alpha},
};

}  // namespace

const Interface component_interface = {
    "org.a11y.atspi.Component", is_window, methods, std::size(methods), nullptr, 0,
};

}  // namespace a11y
