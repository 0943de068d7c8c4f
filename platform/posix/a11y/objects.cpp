// The objects on the accessibility bus: the application at the root path
// and one object per window, answering Accessible, Application, Component,
// Action, Text, the properties of each, and the Cache clients ask for.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "platform/posix/a11y/provider.h"

namespace a11y {

namespace {

const SdBus& sd() {
    return *provider().sd;
}

constexpr const char* accessible_interface = "org.a11y.atspi.Accessible";
constexpr const char* application_interface = "org.a11y.atspi.Application";
constexpr const char* component_interface = "org.a11y.atspi.Component";
constexpr const char* action_interface = "org.a11y.atspi.Action";
constexpr const char* text_interface = "org.a11y.atspi.Text";
constexpr const char* properties_interface = "org.freedesktop.DBus.Properties";

// AT-SPI's role numbers and names.
struct RoleInfo {
    uint32_t number;
    const char* name;
};
RoleInfo role_info(Role role) {
    switch (role) {
        case Role::Frame:
            return {23, "frame"};
        case Role::Alert:
            return {2, "alert"};
        case Role::Panel:
            return {39, "panel"};
        case Role::CheckBox:
            return {7, "check box"};
        case Role::PushButton:
            return {43, "push button"};
        case Role::Label:
            return {29, "label"};
        default:
            return {20, "filler"};
    }
}
constexpr RoleInfo application_role = {75, "application"};

// The AT-SPI state bits each of ours stands for.
uint64_t atspi_states(uint32_t states) {
    static const struct {
        State ours;
        uint64_t theirs;
    } table[] = {
        {Active, 1ull << 1},     {Checkable, 1ull << 41}, {Checked, 1ull << 4},  {Enabled, (1ull << 8) | (1ull << 24)},
        {Focusable, 1ull << 11}, {Focused, 1ull << 12},   {Showing, 1ull << 25}, {Visible, 1ull << 30},
        {Default, 1ull << 39},   {Modal, 1ull << 16},
    };
    uint64_t bits = 0;
    for (const auto& entry : table) {
        if (states & entry.ours) {
            bits |= entry.theirs;
        }
    }
    return bits;
}

// The object a call names: the application (root) or a window.
struct Target {
    bool root = false;
    NodeId id = 0;
    Node node;
};

bool find_target(const char* path, Target* t) {
    if (strcmp(path, root_path) == 0) {
        t->root = true;
        t->node.name = provider().application_name;
        t->node.children = provider().tree->top_levels();
        return true;
    }
    size_t prefix = strlen(object_prefix);
    if (strncmp(path, object_prefix, prefix) != 0) {
        return false;
    }
    char* end = nullptr;
    unsigned long long value = strtoull(path + prefix, &end, 16);
    if (end == path + prefix || *end != '\0' || value == 0) {
        return false;
    }
    t->id = static_cast<NodeId>(value);
    return provider().tree->describe(t->id, &t->node);
}

bool has_action(const Target& t) {
    return !t.root && (t.node.role == Role::CheckBox || t.node.role == Role::PushButton);
}
bool has_text(const Target& t) {
    return !t.root && t.node.role == Role::Label;
}

std::vector<const char*> interfaces_of(const Target& t) {
    std::vector<const char*> list = {accessible_interface};
    if (t.root) {
        list.push_back(application_interface);
        return list;
    }
    list.push_back(component_interface);
    if (has_action(t)) {
        list.push_back(action_interface);
    }
    if (has_text(t)) {
        list.push_back(text_interface);
    }
    return list;
}

bool implements(const Target& t, const char* interface) {
    for (const char* name : interfaces_of(t)) {
        if (strcmp(name, interface) == 0) {
            return true;
        }
    }
    return strcmp(interface, properties_interface) == 0;
}

int append_parent(sd_bus_message* m, const Target& t) {
    if (t.root) {
        const Provider& p = provider();
        return sd().message_append(m, "(so)", p.desktop_name.c_str(), p.desktop_path.c_str());
    }
    return append_reference(m, t.node.parent);
}

// --- replies

int send_reply(sd_bus_message* reply) {
    int r = sd().send(nullptr, reply, nullptr);
    sd().message_unref(reply);
    return r < 0 ? r : 1;
}

int unknown(sd_bus_message* call, const char* member) {
    sd().reply_method_errorf(call, "org.freedesktop.DBus.Error.UnknownMethod", "no method %s here", member);
    return 1;
}

// Each answer appends to a new method return; true when it knew the call.
using Answer = bool (*)(sd_bus_message* call, const Target& t, const char* member, sd_bus_message* reply);

// Where the object stands among its parent's children, -1 for the root.
int index_in_parent(const Target& t) {
    int index = -1;
    Target parent;
    std::vector<NodeId> siblings;
    if (!t.root && t.node.parent == 0) {
        siblings = provider().tree->top_levels();
    } else if (!t.root && provider().tree->describe(t.node.parent, &parent.node)) {
        siblings = parent.node.children;
    }
    for (size_t i = 0; i < siblings.size(); i++) {
        if (siblings[i] == t.id) {
            index = static_cast<int>(i);
        }
    }
    return index;
}

bool answer_accessible(sd_bus_message* call, const Target& t, const char* member, sd_bus_message* reply) {
    const SdBus& b = sd();
    RoleInfo role = t.root ? application_role : role_info(t.node.role);
    if (strcmp(member, "GetChildAtIndex") == 0) {
        int index = -1;
        b.message_read(call, "i", &index);
        bool inside = index >= 0 && static_cast<size_t>(index) < t.node.children.size();
        if (inside) {
            append_reference(reply, t.node.children[index]);
        } else {
            b.message_append(reply, "(so)", provider().unique_name.c_str(), null_path);
        }
    } else if (strcmp(member, "GetChildren") == 0) {
        b.message_open_container(reply, 'a', "(so)");
        for (NodeId child : t.node.children) {
            append_reference(reply, child);
        }
        b.message_close_container(reply);
    } else if (strcmp(member, "GetIndexInParent") == 0) {
        b.message_append(reply, "i", index_in_parent(t));
    } else if (strcmp(member, "GetRelationSet") == 0) {
        b.message_open_container(reply, 'a', "(ua(so))");
        b.message_close_container(reply);
    } else if (strcmp(member, "GetRole") == 0) {
        b.message_append(reply, "u", role.number);
    } else if (strcmp(member, "GetRoleName") == 0 || strcmp(member, "GetLocalizedRoleName") == 0) {
        b.message_append(reply, "s", role.name);
    } else if (strcmp(member, "GetState") == 0) {
        uint64_t bits = t.root ? 0 : atspi_states(t.node.states);
        b.message_append(reply, "au", 2, static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32));
    } else if (strcmp(member, "GetAttributes") == 0) {
        b.message_append(reply, "a{ss}", 1, "toolkit", "sorvane");
    } else if (strcmp(member, "GetApplication") == 0) {
        append_reference(reply, 0);
    } else if (strcmp(member, "GetInterfaces") == 0) {
        b.message_open_container(reply, 'a', "s");
        for (const char* name : interfaces_of(t)) {
            b.message_append(reply, "s", name);
        }
        b.message_close_container(reply);
    } else {
        return false;
    }
    return true;
}

bool answer_application(sd_bus_message*, const Target&, const char* member, sd_bus_message* reply) {
    if (strcmp(member, "GetLocale") == 0) {
        sd().message_append(reply, "s", "");
        return true;
    }
    return false;
}

// Rectangles in device pixels: screen, window or parent coordinates.
struct Box {
    int x, y, width, height;
};

Box extents(const Target& t, uint32_t coordinates) {
    Box box = {t.node.x, t.node.y, t.node.width, t.node.height};
    NodeId origin = 0;
    if (coordinates == 1) {  // relative to the top-level window
        Node up = t.node;
        origin = t.id;
        while (up.parent != 0) {
            origin = up.parent;
            if (!provider().tree->describe(origin, &up)) {
                break;
            }
        }
    } else if (coordinates == 2) {
        origin = t.node.parent;
    }
    Node other;
    if (origin != 0 && provider().tree->describe(origin, &other)) {
        box.x -= other.x;
        box.y -= other.y;
    }
    return box;
}

bool answer_component(sd_bus_message* call, const Target& t, const char* member, sd_bus_message* reply) {
    const SdBus& b = sd();
    uint32_t coordinates = 0;
    int x = 0, y = 0;
    if (strcmp(member, "GetExtents") == 0) {
        b.message_read(call, "u", &coordinates);
        Box box = extents(t, coordinates);
        b.message_append(reply, "(iiii)", box.x, box.y, box.width, box.height);
    } else if (strcmp(member, "GetPosition") == 0) {
        b.message_read(call, "u", &coordinates);
        Box box = extents(t, coordinates);
        b.message_append(reply, "ii", box.x, box.y);
    } else if (strcmp(member, "GetSize") == 0) {
        Box box = extents(t, 0);
        b.message_append(reply, "ii", box.width, box.height);
    } else if (strcmp(member, "Contains") == 0) {
        b.message_read(call, "iiu", &x, &y, &coordinates);
        Box box = extents(t, coordinates);
        b.message_append(reply, "b", x >= box.x && y >= box.y && x < box.x + box.width && y < box.y + box.height);
    } else if (strcmp(member, "GetAccessibleAtPoint") == 0) {
        b.message_read(call, "iiu", &x, &y, &coordinates);
        NodeId found = 0;
        for (NodeId child : t.node.children) {
            Target c;
            c.id = child;
            if (provider().tree->describe(child, &c.node)) {
                Box box = extents(c, coordinates);
                if (x >= box.x && y >= box.y && x < box.x + box.width && y < box.y + box.height) {
                    found = child;
                }
            }
        }
        if (found != 0) {
            append_reference(reply, found);
        } else {
            b.message_append(reply, "(so)", provider().unique_name.c_str(), null_path);
        }
    } else if (strcmp(member, "GetLayer") == 0) {
        b.message_append(reply, "u", t.node.parent == 0 ? 7u : 3u);  // window, widget
    } else if (strcmp(member, "GetMDIZOrder") == 0) {
        b.message_append(reply, "n", static_cast<int16_t>(0));
    } else if (strcmp(member, "GrabFocus") == 0) {
        b.message_append(reply, "b", provider().tree->grab_focus(t.id) ? 1 : 0);
    } else if (strcmp(member, "GetAlpha") == 0) {
        b.message_append(reply, "d", 1.0);
    } else {
        return false;
    }
    return true;
}

const char* action_name(const Target& t) {
    return t.node.role == Role::CheckBox ? "toggle" : "click";
}

bool answer_action(sd_bus_message* call, const Target& t, const char* member, sd_bus_message* reply) {
    const SdBus& b = sd();
    int index = 0;
    if (strcmp(member, "GetName") == 0 || strcmp(member, "GetLocalizedName") == 0) {
        b.message_read(call, "i", &index);
        b.message_append(reply, "s", index == 0 ? action_name(t) : "");
    } else if (strcmp(member, "GetDescription") == 0 || strcmp(member, "GetKeyBinding") == 0) {
        b.message_append(reply, "s", "");
    } else if (strcmp(member, "GetActions") == 0) {
        b.message_append(reply, "a(sss)", 1, action_name(t), "", "");
    } else if (strcmp(member, "DoAction") == 0) {
        // Answered by the caller, which replies before it clicks.
        return false;
    } else {
        return false;
    }
    return true;
}

// Text: offsets count the window text's 8-bit characters.
struct Span {
    int start, end;
};

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// The span around offset for a boundary (AT-SPI's granularity numbers for
// GetStringAtOffset; boundary types 0-2 and the rest for the others).
Span span_at(const std::string& text, int offset, bool word, bool whole) {
    int length = static_cast<int>(text.size());
    if (offset < 0 || offset > length) {
        return {0, 0};
    }
    if (whole) {
        return {0, length};
    }
    if (!word) {
        return {offset, offset < length ? offset + 1 : offset};
    }
    int start = offset, end = offset;
    while (start > 0 && !is_space(text[start - 1])) {
        start--;
    }
    while (end < length && !is_space(text[end])) {
        end++;
    }
    while (end < length && is_space(text[end])) {
        end++;
    }
    return {start, end};
}

std::string slice(const std::string& text, int start, int end) {
    int length = static_cast<int>(text.size());
    if (end < 0 || end > length) {
        end = length;
    }
    if (start < 0) {
        start = 0;
    }
    return start < end ? utf8(text.substr(start, end - start)) : std::string();
}

bool answer_text(sd_bus_message* call, const Target& t, const char* member, sd_bus_message* reply) {
    const SdBus& b = sd();
    const std::string& text = t.node.name;
    int length = static_cast<int>(text.size());
    int offset = 0, end = 0;
    uint32_t kind = 0;
    if (strcmp(member, "GetText") == 0) {
        b.message_read(call, "ii", &offset, &end);
        b.message_append(reply, "s", slice(text, offset, end).c_str());
    } else if (strcmp(member, "GetCharacterAtOffset") == 0) {
        b.message_read(call, "i", &offset);
        b.message_append(reply, "i", offset >= 0 && offset < length ? static_cast<unsigned char>(text[offset]) : 0);
    } else if (strcmp(member, "GetStringAtOffset") == 0) {
        b.message_read(call, "iu", &offset, &kind);
        Span s = span_at(text, offset, kind == 1, kind >= 2);
        b.message_append(reply, "sii", slice(text, s.start, s.end).c_str(), s.start, s.end);
    } else if (strcmp(member, "GetTextAtOffset") == 0 || strcmp(member, "GetTextBeforeOffset") == 0 ||
               strcmp(member, "GetTextAfterOffset") == 0) {
        b.message_read(call, "iu", &offset, &kind);
        Span s = span_at(text, offset, kind == 1 || kind == 2, kind >= 3);
        if (strcmp(member, "GetTextAtOffset") != 0) {
            s = Span{0, 0};  // one line: nothing before or after it
        }
        b.message_append(reply, "sii", slice(text, s.start, s.end).c_str(), s.start, s.end);
    } else if (strcmp(member, "GetNSelections") == 0) {
        b.message_append(reply, "i", 0);
    } else if (strcmp(member, "GetSelection") == 0) {
        b.message_append(reply, "ii", 0, 0);
    } else if (strcmp(member, "GetAttributes") == 0 || strcmp(member, "GetAttributeRun") == 0) {
        b.message_append(reply, "a{ss}ii", 0, 0, length);
    } else if (strcmp(member, "GetDefaultAttributes") == 0 || strcmp(member, "GetDefaultAttributeSet") == 0) {
        b.message_append(reply, "a{ss}", 0);
    } else if (strcmp(member, "GetCharacterExtents") == 0 || strcmp(member, "GetRangeExtents") == 0) {
        Box box = extents(t, 0);
        b.message_append(reply, "iiii", box.x, box.y, box.width, box.height);
    } else if (strcmp(member, "GetOffsetAtPoint") == 0) {
        b.message_append(reply, "i", -1);
    } else {
        return false;
    }
    return true;
}

// --- properties

bool append_property(sd_bus_message* m, const Target& t, const char* interface, const char* name) {
    const SdBus& b = sd();
    bool accessible = strcmp(interface, accessible_interface) == 0;
    if (accessible && strcmp(name, "Name") == 0) {
        b.message_append(m, "v", "s", utf8(t.node.name).c_str());
    } else if (accessible && (strcmp(name, "Description") == 0 || strcmp(name, "Locale") == 0 ||
                              strcmp(name, "AccessibleId") == 0 || strcmp(name, "HelpText") == 0)) {
        b.message_append(m, "v", "s", "");
    } else if (accessible && strcmp(name, "Parent") == 0) {
        b.message_open_container(m, 'v', "(so)");
        append_parent(m, t);
        b.message_close_container(m);
    } else if (accessible && strcmp(name, "ChildCount") == 0) {
        b.message_append(m, "v", "i", static_cast<int>(t.node.children.size()));
    } else if (strcmp(interface, application_interface) == 0 && t.root) {
        if (strcmp(name, "ToolkitName") == 0) {
            b.message_append(m, "v", "s", "sorvane");
        } else if (strcmp(name, "Version") == 0) {
            b.message_append(m, "v", "s", "1");
        } else if (strcmp(name, "AtspiVersion") == 0) {
            b.message_append(m, "v", "s", "2.1");
        } else if (strcmp(name, "Id") == 0) {
            b.message_append(m, "v", "i", provider().application_id);
        } else {
            return false;
        }
    } else if (strcmp(interface, action_interface) == 0 && has_action(t) && strcmp(name, "NActions") == 0) {
        b.message_append(m, "v", "i", 1);
    } else if (strcmp(interface, text_interface) == 0 && has_text(t) && strcmp(name, "CharacterCount") == 0) {
        b.message_append(m, "v", "i", static_cast<int>(t.node.name.size()));
    } else if (strcmp(interface, text_interface) == 0 && has_text(t) && strcmp(name, "CaretOffset") == 0) {
        b.message_append(m, "v", "i", 0);
    } else {
        return false;
    }
    return true;
}

std::vector<const char*> property_names(const char* interface) {
    if (strcmp(interface, accessible_interface) == 0) {
        return {"Name", "Description", "Parent", "ChildCount", "Locale", "AccessibleId", "HelpText"};
    }
    if (strcmp(interface, application_interface) == 0) {
        return {"ToolkitName", "Version", "AtspiVersion", "Id"};
    }
    if (strcmp(interface, action_interface) == 0) {
        return {"NActions"};
    }
    if (strcmp(interface, text_interface) == 0) {
        return {"CharacterCount", "CaretOffset"};
    }
    return {};
}

int answer_properties(sd_bus_message* call, const Target& t, const char* member) {
    const SdBus& b = sd();
    const char* interface = "";
    const char* name = "";
    sd_bus_message* reply = nullptr;
    if (strcmp(member, "Set") == 0) {
        b.message_read(call, "ss", &interface, &name);
        // The registry numbers the applications it embeds.
        int id = 0;
        if (t.root && strcmp(name, "Id") == 0 && b.message_read(call, "v", "i", &id) > 0) {
            provider().application_id = id;
        }
        b.message_new_method_return(call, &reply);
        return send_reply(reply);
    }
    if (strcmp(member, "Get") == 0) {
        b.message_read(call, "ss", &interface, &name);
        b.message_new_method_return(call, &reply);
        if (!implements(t, interface) || !append_property(reply, t, interface, name)) {
            b.message_unref(reply);
            b.reply_method_errorf(call, "org.freedesktop.DBus.Error.UnknownProperty", "no property %s", name);
            return 1;
        }
        return send_reply(reply);
    }
    if (strcmp(member, "GetAll") == 0) {
        b.message_read(call, "s", &interface);
        b.message_new_method_return(call, &reply);
        b.message_open_container(reply, 'a', "{sv}");
        for (const char* property : implements(t, interface) ? property_names(interface) : std::vector<const char*>()) {
            b.message_open_container(reply, 'e', "sv");
            b.message_append(reply, "s", property);
            append_property(reply, t, interface, property);
            b.message_close_container(reply);
        }
        b.message_close_container(reply);
        return send_reply(reply);
    }
    return unknown(call, member);
}

// DoAction: the answer goes out before the click is posted, so a click
// that opens a modal box never holds the caller.
int do_action(sd_bus_message* call, const Target& t) {
    int index = -1;
    sd().message_read(call, "i", &index);
    bool can = index == 0 && (t.node.states & Enabled) != 0;
    sd_bus_message* reply = nullptr;
    sd().message_new_method_return(call, &reply);
    sd().message_append(reply, "b", can ? 1 : 0);
    int r = send_reply(reply);
    if (can) {
        provider().tree->click(t.id);
    }
    return r;
}

int answer_cache(sd_bus_message* call, const char* member) {
    if (strcmp(member, "GetItems") != 0) {
        return unknown(call, member);
    }
    sd_bus_message* reply = nullptr;
    sd().message_new_method_return(call, &reply);
    sd().message_open_container(reply, 'a', "((so)(so)(so)iiassusau)");
    sd().message_close_container(reply);
    return send_reply(reply);
}

}  // namespace

std::string path_of(NodeId id) {
    if (id == 0) {
        return root_path;
    }
    char name[64];
    snprintf(name, sizeof name, "%s%llx", object_prefix, static_cast<unsigned long long>(id));
    return name;
}

int append_reference(sd_bus_message* m, NodeId id) {
    return sd().message_append(m, "(so)", provider().unique_name.c_str(), path_of(id).c_str());
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

int answer_call(sd_bus_message* m, void*, sd_bus_error*) {
    const SdBus& b = sd();
    uint8_t type = 0;
    const char* path = b.message_get_path(m);
    const char* interface = b.message_get_interface(m);
    const char* member = b.message_get_member(m);
    if (b.message_get_type(m, &type) < 0 || type != method_call_type || path == nullptr || member == nullptr) {
        return 0;
    }
    if (strcmp(path, cache_path) == 0) {
        return answer_cache(m, member);
    }
    Target t;
    if (strncmp(path, object_prefix, strlen(object_prefix)) != 0) {
        return 0;
    }
    if (!find_target(path, &t)) {
        b.reply_method_errorf(m, "org.freedesktop.DBus.Error.UnknownObject", "no object %s", path);
        return 1;
    }
    if (interface == nullptr || !implements(t, interface)) {
        return unknown(m, member);
    }
    if (strcmp(interface, properties_interface) == 0) {
        return answer_properties(m, t, member);
    }
    if (strcmp(interface, action_interface) == 0 && strcmp(member, "DoAction") == 0) {
        return do_action(m, t);
    }
    static const struct {
        const char* interface;
        Answer answer;
    } answers[] = {
        {accessible_interface, answer_accessible},
        {application_interface, answer_application},
        {component_interface, answer_component},
        {action_interface, answer_action},
        {text_interface, answer_text},
    };
    for (const auto& entry : answers) {
        if (strcmp(interface, entry.interface) != 0) {
            continue;
        }
        sd_bus_message* reply = nullptr;
        if (b.message_new_method_return(m, &reply) < 0) {
            return 1;
        }
        if (!entry.answer(m, t, member, reply)) {
            b.message_unref(reply);
            return unknown(m, member);
        }
        return send_reply(reply);
    }
    return unknown(m, member);
}

}  // namespace a11y
