// org.a11y.atspi.Accessible: every object's name, role, states, parent and
// children.
#include "platform/posix/a11y/extents.h"
#include "platform/posix/a11y/interfaces.h"
#include "platform/posix/a11y/semantics.h"

namespace a11y {

namespace {

atspi::Role role_of(const Target& t) {
    return is_window(t) ? t.node.role : atspi::Role::application;
}

void get_child_at_index(Call& c) {
    int index = -1;
    sd().message_read(c.message, "i", &index);
    const std::vector<NodeId>& children = c.target.node.children;
    if (index >= 0 && static_cast<size_t>(index) < children.size()) {
        append_reference(c.reply, children[index]);
    } else {
        append_null_reference(c.reply);
    }
}

void get_children(Call& c) {
    sd().message_open_container(c.reply, 'a', "(so)");
    for (NodeId child : c.target.node.children) {
        append_reference(c.reply, child);
    }
    sd().message_close_container(c.reply);
}

void get_index_in_parent(Call& c) {
    const Target& t = c.target;
    sd().message_append(c.reply, "i", is_window(t) ? index_in_parent(*provider().tree, t.id, t.node) : -1);
}

void get_relation_set(Call& c) {
    sd().message_open_container(c.reply, 'a', "(ua(so))");
    sd().message_close_container(c.reply);
}

void get_role(Call& c) {
    sd().message_append(c.reply, "u", static_cast<uint32_t>(role_of(c.target)));
}

void get_role_name(Call& c) {
    sd().message_append(c.reply, "s", role_name(role_of(c.target)));
}

void get_state(Call& c) {
    uint64_t bits = is_window(c.target) ? c.target.node.states : 0;
    sd().message_append(c.reply, "au", 2, static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32));
}

void get_attributes(Call& c) {
    sd().message_append(c.reply, "a{ss}", 1, "toolkit", "sorvane");
}

void get_application(Call& c) {
    append_reference(c.reply, 0);
}

void get_interfaces(Call& c) {
    sd().message_open_container(c.reply, 'a', "s");
    for (const Interface* interface : c.target.interfaces) {
        sd().message_append(c.reply, "s", interface->name);
    }
    sd().message_close_container(c.reply);
}

void name(sd_bus_message* m, const Target& t) {
    sd().message_append(m, "v", "s", utf8(t.node.name).c_str());
}

void empty(sd_bus_message* m, const Target&) {
    sd().message_append(m, "v", "s", "");
}

// The application's parent is the registry's desktop, once embedded.
void parent(sd_bus_message* m, const Target& t) {
    const Provider& p = provider();
    sd().message_open_container(m, 'v', "(so)");
    if (is_window(t)) {
        append_reference(m, t.node.parent);
    } else {
        sd().message_append(m, "(so)", p.desktop_name.c_str(), p.desktop_path.c_str());
    }
    sd().message_close_container(m);
}

void child_count(sd_bus_message* m, const Target& t) {
    sd().message_append(m, "v", "i", static_cast<int>(t.node.children.size()));
}

bool serves(const Target& t) {
    return t.kind != Target::Kind::cache;
}

const Method methods[] = {
    {"GetChildAtIndex", get_child_at_index},
    {"GetChildren", get_children},
    {"GetIndexInParent", get_index_in_parent},
    {"GetRelationSet", get_relation_set},
    {"GetRole", get_role},
    {"GetRoleName", get_role_name},
    {"GetLocalizedRoleName", get_role_name},
    {"GetState", get_state},
    {"GetAttributes", get_attributes},
    {"GetApplication", get_application},
    {"GetInterfaces", get_interfaces},
};

const Property properties[] = {
    {"Name", name, nullptr},      {"Description", empty, nullptr},
    {"Parent", parent, nullptr},  {"ChildCount", child_count, nullptr},
    {"Locale", empty, nullptr},   {"AccessibleId", empty, nullptr},
    {"HelpText", empty, nullptr},
};

}  // namespace

const Interface accessible_interface = {
    "org.a11y.atspi.Accessible", serves, methods, std::size(methods), properties, std::size(properties),
};

}  // namespace a11y
