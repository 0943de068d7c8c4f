// A library's calls taken by name after dlopen, for the libraries a backend
// loads only when it first needs them (libX11, xkbcommon).
#pragma once

#include <dlfcn.h>

namespace display {

template <typename T>
bool take_call(void* library, const char* name, T* out) {
    *out = reinterpret_cast<T>(dlsym(library, name));
    return *out != nullptr;
}

}  // namespace display
