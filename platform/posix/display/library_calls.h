// A library's calls taken by name after dlopen, for the libraries a backend
// loads only when it first needs them (libX11, xkbcommon).
#pragma once

#include <dlfcn.h>

#include <string>

namespace display {

template <typename T>
bool take_call(void* library, const char* name, T* out) {
    *out = reinterpret_cast<T>(dlsym(library, name));
    return *out != nullptr;
}

// One call of an X-macro list taken into calls->name from library, inside
// a take_all below: it answers the call's name when the library lacks it.
#define SORVANE_TAKE_CALL(name)                                \
    if (!::display::take_call(library, #name, &calls->name)) { \
        return #name;                                          \
    }

// Opens the library, lazily bound (a start calls few of its functions), and
// takes its calls with take_all, which answers the name of the first it
// lacks or null. False, with the library closed again and why in *why
// ("<soname> cannot be loaded (<reason>)", "<soname> lacks <call>"), when
// it cannot be opened or lacks a call.
template <typename TakeAll>
bool load_library_calls(const char* soname, std::string* why, TakeAll take_all) {
    void* library = dlopen(soname, RTLD_LAZY | RTLD_LOCAL);
    if (library == nullptr) {
        const char* error = dlerror();
        *why = std::string(soname) + " cannot be loaded (" + (error != nullptr ? error : "no reason given") + ")";
        return false;
    }
    if (const char* missing = take_all(library)) {
        dlclose(library);
        *why = std::string(soname) + " lacks " + missing;
        return false;
    }
    return true;
}

}  // namespace display
