// Loads FreeType and fontconfig with dlopen and takes their calls by name.
#include <dlfcn.h>
#include <link.h>

#include "platform/posix/gdi/fontconfig_library.h"
#include "platform/posix/gdi/freetype_library.h"
#include "platform/posix/gdi/shared.h"

namespace gdi {

namespace {

template <typename T>
bool take(void* library, const char* name, T* out) {
    *out = reinterpret_cast<T>(dlsym(library, name));
    return *out != nullptr;
}

// The library's calls into *calls, and the path it was loaded from; false,
// with the library closed again, when any call is missing.
template <typename Calls, typename Take>
bool load(const char* soname, Calls* calls, std::string* path, Take take_all) {
    void* library = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        return false;
    }
    if (!take_all(library, calls)) {
        dlclose(library);
        return false;
    }
    link_map* map = nullptr;
    if (dlinfo(library, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr && map->l_name != nullptr) {
        *path = map->l_name;
    }
    return true;
}

// The calls, loaded on the first ask only: *state 1 with *kept set when the
// library could be had, -1 when it cannot, and never tried again.
template <typename Calls, typename Take>
const Calls* load_once(const char* soname, int* state, const Calls** kept, std::string* path, Take take_all) {
    if (*state == 0) {
        Calls calls;
        const bool ok = load(soname, &calls, path, take_all);
        *state = ok ? 1 : -1;
        *kept = ok ? new Calls(calls) : nullptr;
    }
    return *kept;
}

}  // namespace

const FreeTypeCalls* freetype_calls() {
    LoadedLibraries& loaded = shared().fonts.libraries;
    return load_once("libfreetype.so.6", &loaded.freetype_state, &loaded.freetype, &loaded.freetype_file,
                     [](void* l, FreeTypeCalls* c) {
#define SORVANE_TAKE(name) take(l, #name, &c->name)&&
                         return SORVANE_FREETYPE_CALLS(SORVANE_TAKE) true;
#undef SORVANE_TAKE
                     });
}

const char* freetype_file() {
    return shared().fonts.libraries.freetype_file.c_str();
}

const FontconfigCalls* fontconfig_calls() {
    LoadedLibraries& loaded = shared().fonts.libraries;
    return load_once("libfontconfig.so.1", &loaded.fontconfig_state, &loaded.fontconfig, &loaded.fontconfig_file,
                     [](void* l, FontconfigCalls* c) {
#define SORVANE_TAKE(name) take(l, #name, &c->name)&&
                         return SORVANE_FONTCONFIG_CALLS(SORVANE_TAKE) true;
#undef SORVANE_TAKE
                     });
}

const char* fontconfig_file() {
    return shared().fonts.libraries.fontconfig_file.c_str();
}

}  // namespace gdi
