// The accessibility provider: the window tree as AT-SPI2 clients (screen
// readers) see it, served over the accessibility bus.
//
// The window layer describes its windows through a Tree and tells the
// provider when something a reader follows changes; it calls nothing else.
// Until the first frame is on the screen nothing happens; then the
// provider asks the session bus whether accessibility is on, and only when
// it is (or AT_SPI_BUS_ADDRESS names the bus) loads sd-bus with dlopen and
// registers. Without a bus every call here is a quick no-op and nothing is
// printed.
//
// Files of platform/posix/a11y:
//   a11y.h          this: the tree the window layer describes, notifications
//   sd_bus.h, .cpp  the part of libsystemd's sd-bus we use, loaded on demand
//   provider.h      the state the files below share
//   status.h, .cpp  org.a11y.Status on the session bus, through platform/posix/bus
//   connection.cpp  registration on the accessibility bus, the wait hook
//   objects.cpp     the objects' interfaces: answering method calls
//   events.cpp      signals, sent only for events a listener asked for
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

namespace a11y {

// A node is one window, named by its handle value; 0 is none.
using NodeId = uintptr_t;

// What each kind of window is to a reader.
enum class Role { Frame, Alert, Panel, CheckBox, PushButton, Label, Filler };

enum State : uint32_t {
    Active = 1u << 0,
    Checkable = 1u << 1,
    Checked = 1u << 2,
    Enabled = 1u << 3,  // also sensitive
    Focusable = 1u << 4,
    Focused = 1u << 5,
    Showing = 1u << 6,
    Visible = 1u << 7,
    Default = 1u << 8,
    Modal = 1u << 9,
};

struct Node {
    Role role = Role::Filler;
    std::string name;  // what a reader says: the text without '&'
    uint32_t states = 0;
    // Screen rectangle in device pixels: the program's, at the desktop's scale.
    int x = 0, y = 0, width = 0, height = 0;
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
};

// The first frame is painted: from now on the provider may connect. The
// tree and the application's name are kept for the rest of the process.
void frame_presented(const Tree* tree, const char* application_name);

// Notifications; each is cheap when no one listens.
void state_changed(NodeId id, State state, bool on);
enum class WindowEvent { Create, Destroy, Activate, Deactivate };
void window_event(NodeId id, WindowEvent event);
void focus_moved(NodeId to);
void child_added(NodeId parent, NodeId child);
void child_removed(NodeId parent, NodeId child);

}  // namespace a11y
