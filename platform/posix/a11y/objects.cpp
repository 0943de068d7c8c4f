// The objects on the accessibility bus: the application at the root path,
// one object per window and the cache. A call is routed by its path to
// its object, by interface and member name to the handler of the
// interface's table; org.freedesktop.DBus.Properties is answered here
// from the same tables. The list of tables is kept here alone and each
// object's share handed down in its Target, so no interface file needs
// this one.
#include <stdlib.h>
#include <string.h>

#include <string>

#include "platform/posix/a11y/interfaces.h"

namespace a11y {

namespace {

constexpr const char* properties_name = "org.freedesktop.DBus.Properties";

const Interface* const all_interfaces[] = {
    &accessible_interface, &application_interface, &component_interface,
    &action_interface,     &text_interface,        &cache_interface,
};

bool find_target(const char* path, Target* t) {
    if (strcmp(path, cache_path) == 0) {
        t->kind = Target::Kind::cache;
        return true;
    }
    if (strcmp(path, root_path) == 0) {
        t->kind = Target::Kind::application;
        t->node.name = provider().application_name;
        t->node.children = provider().tree->top_levels();
        return true;
    }
    size_t prefix = strlen(object_prefix);
    char* end = nullptr;
    unsigned long long value = strtoull(path + prefix, &end, 16);
    if (end == path + prefix || *end != '\0' || value == 0) {
        return false;
    }
    t->id = static_cast<NodeId>(value);
    return provider().tree->describe(t->id, &t->node);
}

std::vector<const Interface*> interfaces_of(const Target& t) {
    std::vector<const Interface*> list;
    for (const Interface* interface : all_interfaces) {
        if (interface->serves(t)) {
            list.push_back(interface);
        }
    }
    return list;
}

const Interface* interface_named(const Target& t, const char* name) {
    for (const Interface* interface : t.interfaces) {
        if (strcmp(interface->name, name) == 0) {
            return interface;
        }
    }
    return nullptr;
}

const Method* method_named(const Interface& interface, const char* name) {
    for (size_t i = 0; i < interface.method_count; i++) {
        if (strcmp(interface.methods[i].name, name) == 0) {
            return &interface.methods[i];
        }
    }
    return nullptr;
}

const Property* property_named(const Interface* interface, const char* name) {
    for (size_t i = 0; interface != nullptr && i < interface->property_count; i++) {
        if (strcmp(interface->properties[i].name, name) == 0) {
            return &interface->properties[i];
        }
    }
    return nullptr;
}

int send_reply(sd_bus_message* reply) {
    int r = sd().send(nullptr, reply, nullptr);
    sd().message_unref(reply);
    return r < 0 ? r : 1;
}

int error(sd_bus_message* call, const char* name, const char* what, const char* which) {
    sd().reply_method_errorf(call, name, "no %s %s here", what, which);
    return 1;
}

int get_property(sd_bus_message* call, const Target& t) {
    const char* interface = "";
    const char* name = "";
    sd().message_read(call, "ss", &interface, &name);
    const Property* property = property_named(interface_named(t, interface), name);
    sd_bus_message* reply = nullptr;
    if (property == nullptr || sd().message_new_method_return(call, &reply) < 0) {
        return error(call, "org.freedesktop.DBus.Error.UnknownProperty", "property", name);
    }
    property->get(reply, t);
    return send_reply(reply);
}

int get_all_properties(sd_bus_message* call, const Target& t) {
    const char* name = "";
    sd().message_read(call, "s", &name);
    const Interface* interface = interface_named(t, name);
    sd_bus_message* reply = nullptr;
    if (sd().message_new_method_return(call, &reply) < 0) {
        return 1;
    }
    sd().message_open_container(reply, 'a', "{sv}");
    for (size_t i = 0; interface != nullptr && i < interface->property_count; i++) {
        sd().message_open_container(reply, 'e', "sv");
        sd().message_append(reply, "s", interface->properties[i].name);
        interface->properties[i].get(reply, t);
        sd().message_close_container(reply);
    }
    sd().message_close_container(reply);
    return send_reply(reply);
}

// What cannot be set is not refused: the registry sets only the Id.
int set_property(sd_bus_message* call, const Target& t) {
    const char* interface = "";
    const char* name = "";
    sd().message_read(call, "ss", &interface, &name);
    const Property* property = property_named(interface_named(t, interface), name);
    if (property != nullptr && property->set != nullptr) {
        property->set(call, t);
    }
    sd_bus_message* reply = nullptr;
    sd().message_new_method_return(call, &reply);
    return send_reply(reply);
}

int answer_properties(sd_bus_message* call, const Target& t, const char* member) {
    static const struct {
        const char* name;
        int (*answer)(sd_bus_message* call, const Target& t);
    } members[] = {{"Get", get_property}, {"GetAll", get_all_properties}, {"Set", set_property}};
    for (const auto& entry : members) {
        if (strcmp(member, entry.name) == 0) {
            return entry.answer(call, t);
        }
    }
    return error(call, "org.freedesktop.DBus.Error.UnknownMethod", "method", member);
}

int answer_method(sd_bus_message* call, const Target& t, const char* interface_name, const char* member) {
    const Interface* interface = interface_named(t, interface_name);
    const Method* method = interface != nullptr ? method_named(*interface, member) : nullptr;
    sd_bus_message* reply = nullptr;
    if (method == nullptr) {
        return error(call, "org.freedesktop.DBus.Error.UnknownMethod", "method", member);
    }
    if (sd().message_new_method_return(call, &reply) < 0) {
        return 1;
    }
    Call c{call, reply, t};
    method->answer(c);
    int r = send_reply(reply);
    if (c.click_after != 0) {
        provider().tree->click(c.click_after);
    }
    return r;
}

}  // namespace

int answer_call(sd_bus_message* m, void*, sd_bus_error*) {
    uint8_t type = 0;
    const char* path = sd().message_get_path(m);
    const char* interface = sd().message_get_interface(m);
    const char* member = sd().message_get_member(m);
    if (sd().message_get_type(m, &type) < 0 || type != method_call_type || path == nullptr || member == nullptr) {
        return 0;
    }
    if (strcmp(path, cache_path) != 0 && strncmp(path, object_prefix, strlen(object_prefix)) != 0) {
        return 0;
    }
    Target t;
    if (!find_target(path, &t)) {
        return error(m, "org.freedesktop.DBus.Error.UnknownObject", "object", path);
    }
    t.interfaces = interfaces_of(t);
    if (interface == nullptr) {
        return error(m, "org.freedesktop.DBus.Error.UnknownMethod", "method", member);
    }
    if (strcmp(interface, properties_name) == 0) {
        return answer_properties(m, t, member);
    }
    return answer_method(m, t, interface, member);
}

}  // namespace a11y
