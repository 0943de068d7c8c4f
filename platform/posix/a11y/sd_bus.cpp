// Loads libsystemd and takes the sd-bus calls the provider uses.
#include "platform/posix/a11y/sd_bus.h"

#include <dlfcn.h>

namespace a11y {

namespace {

template <typename T>
bool take(void* library, const char* name, T* out) {
    *out = reinterpret_cast<T>(dlsym(library, name));
    return *out != nullptr;
}

bool load(SdBus* b) {
    void* l = dlopen("libsystemd.so.0", RTLD_NOW | RTLD_LOCAL);
    if (l == nullptr) {
        return false;
    }
    bool ok =
        take(l, "sd_bus_open_user", &b->open_user) && take(l, "sd_bus_new", &b->new_bus) &&
        take(l, "sd_bus_set_address", &b->set_address) && take(l, "sd_bus_set_bus_client", &b->set_bus_client) &&
        take(l, "sd_bus_start", &b->start) && take(l, "sd_bus_flush_close_unref", &b->flush_close_unref) &&
        take(l, "sd_bus_get_unique_name", &b->get_unique_name) && take(l, "sd_bus_get_fd", &b->get_fd) &&
        take(l, "sd_bus_get_events", &b->get_events) && take(l, "sd_bus_get_timeout", &b->get_timeout) &&
        take(l, "sd_bus_process", &b->process) && take(l, "sd_bus_add_filter", &b->add_filter) &&
        take(l, "sd_bus_add_match", &b->add_match) && take(l, "sd_bus_call_method_async", &b->call_method_async) &&
        take(l, "sd_bus_send", &b->send) && take(l, "sd_bus_message_new_signal", &b->message_new_signal) &&
        take(l, "sd_bus_message_new_method_return", &b->message_new_method_return) &&
        take(l, "sd_bus_message_unref", &b->message_unref) && take(l, "sd_bus_message_append", &b->message_append) &&
        take(l, "sd_bus_message_open_container", &b->message_open_container) &&
        take(l, "sd_bus_message_close_container", &b->message_close_container) &&
        take(l, "sd_bus_message_read", &b->message_read) &&
        take(l, "sd_bus_message_enter_container", &b->message_enter_container) &&
        take(l, "sd_bus_message_exit_container", &b->message_exit_container) &&
        take(l, "sd_bus_message_skip", &b->message_skip) &&
        take(l, "sd_bus_message_is_method_error", &b->message_is_method_error) &&
        take(l, "sd_bus_message_get_type", &b->message_get_type) &&
        take(l, "sd_bus_message_get_path", &b->message_get_path) &&
        take(l, "sd_bus_message_get_interface", &b->message_get_interface) &&
        take(l, "sd_bus_message_get_member", &b->message_get_member) &&
        take(l, "sd_bus_reply_method_errorf", &b->reply_method_errorf);
    if (!ok) {
        dlclose(l);
    }
    return ok;
}

}  // namespace

const SdBus* sd_bus_library() {
    static SdBus library;
    static int state = 0;  // 0 not tried, 1 loaded, -1 cannot be had
    if (state == 0) {
        state = load(&library) ? 1 : -1;
    }
    return state == 1 ? &library : nullptr;
}

}  // namespace a11y
