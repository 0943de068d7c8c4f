// The objects' interfaces as tables: each interface file names its methods
// and properties and the handler of each; objects.cpp finds the object a
// call names and the handler by interface and member name.
#pragma once

#include <stddef.h>

#include <vector>

#include "platform/posix/a11y/references.h"

namespace a11y {

struct Interface;

// The object a call names.
struct Target {
    enum class Kind { application, window, cache };
    Kind kind = Kind::window;
    NodeId id = 0;  // the window; 0 for the others
    Node node;      // the application's: its name and the top-level windows
    // The interfaces it implements, Properties aside, as objects.cpp's
    // table lists them: handed down, so no interface needs the table.
    std::vector<const Interface*> interfaces;
};

inline bool is_window(const Target& t) {
    return t.kind == Target::Kind::window;
}

// One method call: what it asked, the reply the handler appends to, and a
// click to post once the reply is out.
struct Call {
    sd_bus_message* message;
    sd_bus_message* reply;
    const Target& target;
    NodeId click_after = 0;
};

struct Method {
    const char* name;
    void (*answer)(Call& call);
};

struct Property {
    const char* name;
    void (*get)(sd_bus_message* m, const Target& t);     // appends the value as a variant
    void (*set)(sd_bus_message* call, const Target& t);  // null: read-only
};

struct Interface {
    const char* name;
    bool (*serves)(const Target& t);
    const Method* methods;
    size_t method_count;
    const Property* properties;
    size_t property_count;
};

// One file each; objects.cpp lists them.
extern const Interface accessible_interface;   // accessible.cpp
extern const Interface application_interface;  // application.cpp
extern const Interface component_interface;    // component.cpp
extern const Interface action_interface;       // action.cpp
extern const Interface text_interface;         // text.cpp
extern const Interface cache_interface;        // cache.cpp

}  // namespace a11y
