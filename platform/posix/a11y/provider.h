// The provider's state in one object (provider.cpp, which needs nothing
// else): connection.cpp registers and fills it, events.cpp keeps what the
// listeners were told in it, the interfaces read it.
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

// idle until the first frame, pending until the first wait after it; then
// running while either bus may speak, or off for good.
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
