#include "platform/posix/a11y/references.h"

#include <stdio.h>

namespace a11y {

const SdBus& sd() {
    return *provider().sd;
}

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

void append_null_reference(sd_bus_message* m) {
    sd().message_append(m, "(so)", provider().unique_name.c_str(), null_path);
}

}  // namespace a11y
