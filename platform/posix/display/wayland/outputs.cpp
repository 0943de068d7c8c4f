// Outputs: the screen the program is told of, and each output's integer
// scale, which the surfaces on it follow.
#include "platform/posix/display/wayland/connection.h"

namespace display::wayland {

namespace {

constexpr int max_scale = 8;
// Until the compositor names an output, the screen of the headless display.
constexpr int default_width = 1920, default_height = 1080;

void on_geometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*, int32_t) {}

void on_mode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
    if (flags & WL_OUTPUT_MODE_CURRENT) {
        Output* output = static_cast<Output*>(data);
        output->width = width;
        output->height = height;
    }
}

void on_done(void*, wl_output*) {
    for (auto& entry : connection().surfaces) {
        follow_scale(&entry.second);
    }
}

void on_scale(void* data, wl_output*, int32_t factor) {
    static_cast<Output*>(data)->scale = factor < 1 ? 1 : factor > max_scale ? max_scale : factor;
}

const wl_output_listener output_listener = {on_geometry, on_mode, on_done, on_scale, nullptr, nullptr};

}  // namespace

void add_output(wl_registry* registry, uint32_t name, uint32_t version) {
    auto output = std::make_unique<Output>();
    output->name = name;
    // Version 2 brings the scale and done events; 4 adds events we skip.
    output->output =
        static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, version < 3 ? version : 3));
    wl_output_add_listener(output->output, &output_listener, output.get());
    connection().outputs.push_back(std::move(output));
}

void remove_output(uint32_t name) {
    Connection& c = connection();
    for (auto it = c.outputs.begin(); it != c.outputs.end(); ++it) {
        if ((*it)->name != name) {
            continue;
        }
        wl_output* gone = (*it)->output;
        for (auto& entry : c.surfaces) {
            auto& outputs = entry.second.outputs;
            for (size_t i = 0; i < outputs.size(); i++) {
                if (outputs[i] == gone) {
                    outputs.erase(outputs.begin() + static_cast<long>(i));
                    break;
                }
            }
        }
        wl_output_destroy(gone);
        c.outputs.erase(it);
        for (auto& entry : c.surfaces) {
            follow_scale(&entry.second);
        }
        return;
    }
}

// The first output's mode: its device pixels, which the window layer takes
// back to logical ones through the scale it draws at.
void screen_size(int* width, int* height) {
    const Connection& c = connection();
    *width = default_width;
    *height = default_height;
    if (!c.outputs.empty() && c.outputs[0]->width > 0) {
        *width = c.outputs[0]->width;
        *height = c.outputs[0]->height;
    }
}

}  // namespace display::wayland
