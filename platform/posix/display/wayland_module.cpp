// Loads the Wayland backend's module on first need.
#include "platform/posix/display/wayland_module.h"

#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <string>

namespace display {

namespace {

// From the program's folder: bin/ and lib/sorvane/ installed, app/ and
// lib/sorvane/ in the build tree.
const char module_from_program[] = "/../lib/sorvane/sorvane-wayland.so";

std::string module_path() {
    char program[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program - 1);
    if (length <= 0) {
        return std::string();
    }
    std::string path(program, static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash) + module_from_program;
}

}  // namespace

const Backend* open_wayland_module(char* reason, size_t size) {
    using Open = const Backend* (*)(char* reason, size_t size);
    const std::string path = module_path();
    // Local: the module's copy of the C++ runtime stays its own. A second
    // dlopen only counts the module again.
    void* module = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    Open open = module != nullptr ? reinterpret_cast<Open>(dlsym(module, "sorvane_open_wayland")) : nullptr;
    if (open == nullptr) {
        fprintf(stderr, "%s: no Wayland backend: %s\n", program_invocation_short_name,
                path.empty() ? "the program's folder is unknown" : dlerror());
        fflush(stderr);
        set_reason(reason, size, "the Wayland backend does not load");
        return nullptr;
    }
    return open(reason, size);
}

}  // namespace display
