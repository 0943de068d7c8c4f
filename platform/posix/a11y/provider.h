// The provider's state, one object (provider.cpp) that connection.cpp
// keeps and the files above it read: the tree, the bus, the listeners.
#pragma once

#include <string>
#include <vector>

#include "platform/posix/a11y/a11y.h"
#include "platform/posix/a11y/changes.h"
#include "platform/posix/a11y/sd_bus.h"

namespace a11y {

constexpr const char* root_path = "/org/a11y/atspi/accessible/root";
constexpr const char* object_prefix = "/org/a11y/atspi/accessible/";
constexpr const char* null_path = "/org/a11y/atspi/null";
constexpr const char* cache_path = "/org/a11y/atspi/cache";

// Idle until the first frame; Pending until the first wait; then Running
// while either bus may speak, or Off for good.
enum class Phase { idle, pending, running, off };

struct Provider {
    Phase phase = Phase::idle;
    const Tree* tree = nullptr;
    std::string application_name;
    const SdBus* sd = nullptr;
    sd_bus* bus = nullptr;    // the accessibility bus, while registered
    std::string unique_name;  // ours on the accessibility bus
    // The registry's desktop, the application's parent once embedded.
    std::string desktop_name, desktop_path = null_path;
    // Events some client listens for, as the registry lists them.
    std::vector<std::string> listeners;
    int application_id = 0;
    // The tree as listeners were last told of it, while some listen, and
    // the tree's generation it was described at.
    bool told = false;
    Snapshot known;
    uint64_t known_generation = 0;
};

Provider& provider();

// objects.cpp: the filter that answers calls to our objects.
int answer_call(sd_bus_message* m, void* userdata, sd_bus_error* error);

// events.cpp
bool wanted(const char* event);  // "object:state-changed:checked"
// Before each wait: describes the tree again if it may have changed and
// sends what differs, while a listener is registered.
void follow_changes();

}  // namespace a11y
