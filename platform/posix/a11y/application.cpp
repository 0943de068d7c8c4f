// org.a11y.atspi.Application, at the root: the toolkit, the versions, and
// the number the registry gives us.
#include "platform/posix/a11y/interfaces.h"

namespace a11y {

namespace {

void get_locale(Call& c) {
    sd().message_append(c.reply, "s", "");
}

void toolkit_name(sd_bus_message* m, const Target&) {
    sd().message_append(m, "v", "s", "sorvane");
}

void version(sd_bus_message* m, const Target&) {
    sd().message_append(m, "v", "s", "1");
}

void atspi_version(sd_bus_message* m, const Target&) {
    sd().message_append(m, "v", "s", "2.1");
}

void id(sd_bus_message* m, const Target&) {
    sd().message_append(m, "v", "i", provider().application_id);
}

// The registry numbers the applications it embeds.
void set_id(sd_bus_message* call, const Target&) {
    int value = 0;
    if (sd().message_read(call, "v", "i", &value) > 0) {
        provider().application_id = value;
    }
}

bool serves(const Target& t) {
    return t.kind == Target::Kind::application;
}

const Method methods[] = {
    {"GetLocale", get_locale},
};

const Property properties[] = {
    {"ToolkitName", toolkit_name, nullptr},
    {"Version", version, nullptr},
    {"AtspiVersion", atspi_version, nullptr},
    {"Id", id, set_id},
};

}  // namespace

const Interface application_interface = {
    "org.a11y.atspi.Application", serves, methods, std::size(methods), properties, std::size(properties),
};

}  // namespace a11y
