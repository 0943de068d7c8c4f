// The accessibility provider: the window tree as AT-SPI2 clients (screen
// readers) see it, served over the accessibility bus.
//
// The window layer describes its windows through a Tree and calls nothing
// else; what changed is found by describing them again.
// Until the first frame is on the screen nothing happens; then the
// provider asks the session bus whether accessibility is on, and only when
// it is (or AT_SPI_BUS_ADDRESS names the bus) loads sd-bus with dlopen and
// registers. Without a bus every call here is a quick no-op and nothing is
// printed.
//
// Files of platform/posix/a11y:
//   a11y.h            this: the tree the window layer describes
//   atspi.h           AT-SPI's roles, states and other numbers by name
//   sd_bus.h, .cpp    the part of libsystemd's sd-bus we use, loaded on demand
//   provider.h, .cpp  the state the files below share, in one object
//   status.h, .cpp    org.a11y.Status on the session bus, through platform/posix/bus
//   connection.cpp    registration on the accessibility bus, the wait hook;
//                     on top of the rest: it calls objects.cpp and events.cpp
// What a reader is told, pure and tested without a bus:
//   semantics.h, .cpp   role and state names, actions, text, layers, UTF-8
//   text_spans.h, .cpp  a label's text by offset, boundary and granularity
//   extents.h, .cpp     extents in each coordinate type, hit tests, indexes
//   changes.h, .cpp     the tree described again, the differences as events
// The bus's side:
//   references.h, .cpp  the loaded sd-bus, object paths, references to objects
//   interfaces.h      the interface tables: methods and properties by name
//   objects.cpp       the objects, the list of tables, calls routed to them,
//                     Properties
//   accessible.cpp, application.cpp, component.cpp, action.cpp, text.cpp,
//   cache.cpp         one interface each
//   events.cpp        the events sent, only those a listener asked for
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "platform/posix/a11y/atspi.h"

namespace a11y {

// A node is one window, named by its handle value; 0 is none.
using NodeId = uintptr_t;

// A rectangle in device pixels.
struct Box {
    int x = 0, y = 0, width = 0, height = 0;
};
inline bool operator==(const Box& a, const Box& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// One window as a reader is told of it.
struct Node {
    atspi::Role role = atspi::Role::filler;
    std::string name;  // what a reader says: the text without '&'
    atspi::StateSet states = 0;
    Box bounds;         // on the screen: the program's rectangle at the desktop's scale
    NodeId parent = 0;  // 0 for a top-level window: its parent is the application
    std::vector<NodeId> children;
};

// The window layer's answers. All run on the one thread, inside the loop.
struct Tree {
    std::vector<NodeId> (*top_levels)();
    bool (*describe)(NodeId id, Node* out);  // false: no such window
    // Posts the node's click to its queue; false when it cannot be clicked.
    bool (*click)(NodeId id);
    bool (*grab_focus)(NodeId id);
    // Moves whenever the window layer may have changed what it describes;
    // while it stands still, the last descriptions hold.
    uint64_t (*generation)();
};

// The first frame is painted: from now on the provider may connect. The
// tree and the application's name are kept for the rest of the process.
// Changes are not reported: while a listener is registered, the provider
// describes the tree again before each wait when the generation moved,
// and sends what differs.
void frame_presented(const Tree* tree, const char* application_name);

}  // namespace a11y
