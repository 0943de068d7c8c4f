// The part of libsystemd's sd-bus the provider uses, declared here and
// loaded with dlopen on first need, so that a program with accessibility
// off never maps the library.
#pragma once

#include <stdint.h>

extern "C" {
struct sd_bus;
struct sd_bus_message;
struct sd_bus_slot;
struct sd_bus_error {
    const char* name;
    const char* message;
    int need_free;
};
typedef int (*sd_bus_message_handler_t)(sd_bus_message* m, void* userdata, sd_bus_error* ret_error);
}

namespace a11y {

struct SdBus {
    int (*open_user)(sd_bus** bus);
    int (*new_bus)(sd_bus** bus);
    int (*set_address)(sd_bus* bus, const char* address);
    int (*set_bus_client)(sd_bus* bus, int b);
    int (*start)(sd_bus* bus);
    sd_bus* (*flush_close_unref)(sd_bus* bus);
    int (*get_unique_name)(sd_bus* bus, const char** unique);
    int (*get_fd)(sd_bus* bus);
    int (*get_events)(sd_bus* bus);
    int (*get_timeout)(sd_bus* bus, uint64_t* usec);
    int (*process)(sd_bus* bus, sd_bus_message** r);
    int (*add_filter)(sd_bus* bus, sd_bus_slot** slot, sd_bus_message_handler_t callback, void* userdata);
    int (*add_match)(sd_bus* bus, sd_bus_slot** slot, const char* match, sd_bus_message_handler_t callback,
                     void* userdata);
    int (*call_method_async)(sd_bus* bus, sd_bus_slot** slot, const char* destination, const char* path,
                             const char* interface, const char* member, sd_bus_message_handler_t callback,
                             void* userdata, const char* types, ...);
    int (*send)(sd_bus* bus, sd_bus_message* m, uint64_t* cookie);
    int (*message_new_signal)(sd_bus* bus, sd_bus_message** m, const char* path, const char* interface,
                              const char* member);
    int (*message_new_method_return)(sd_bus_message* call, sd_bus_message** m);
    sd_bus_message* (*message_unref)(sd_bus_message* m);
    int (*message_append)(sd_bus_message* m, const char* types, ...);
    int (*message_open_container)(sd_bus_message* m, char type, const char* contents);
    int (*message_close_container)(sd_bus_message* m);
    int (*message_read)(sd_bus_message* m, const char* types, ...);
    int (*message_enter_container)(sd_bus_message* m, char type, const char* contents);
    int (*message_exit_container)(sd_bus_message* m);
    int (*message_skip)(sd_bus_message* m, const char* types);
    int (*message_is_method_error)(sd_bus_message* m, const char* name);
    int (*message_get_type)(sd_bus_message* m, uint8_t* type);
    const char* (*message_get_path)(sd_bus_message* m);
    const char* (*message_get_interface)(sd_bus_message* m);
    const char* (*message_get_member)(sd_bus_message* m);
    int (*reply_method_errorf)(sd_bus_message* call, const char* name, const char* format, ...);
};

// The loaded library, or null when it cannot be had (then the provider
// stays silent). Loaded once.
const SdBus* sd_bus_library();

// sd_bus_message_get_type's value for a method call.
constexpr uint8_t method_call_type = 1;

}  // namespace a11y
