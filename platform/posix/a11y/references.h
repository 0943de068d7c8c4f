// What every reply is built with: the loaded sd-bus and the references
// to our objects, as a reader is handed them.
#pragma once

#include <string>

#include "platform/posix/a11y/provider.h"

namespace a11y {

const SdBus& sd();
std::string path_of(NodeId id);  // 0: the application
int append_reference(sd_bus_message* m, NodeId id);
void append_null_reference(sd_bus_message* m);

}  // namespace a11y
