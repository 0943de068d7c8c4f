// The part of fontconfig the face lookup uses, declared by its own header
// and loaded with dlopen only when the cached choice of faces no longer
// holds (face_choice.h): a warm start never maps it.
#pragma once

#include <fontconfig/fontconfig.h>

namespace gdi {

// clang-format off
#define SORVANE_FONTCONFIG_CALLS(X) \
    X(FcInit) \
    X(FcFini) \
    X(FcPatternCreate) \
    X(FcPatternDestroy) \
    X(FcPatternAddString) \
    X(FcPatternAddInteger) \
    X(FcPatternGetString) \
    X(FcPatternGetInteger) \
    X(FcConfigSubstitute) \
    X(FcDefaultSubstitute) \
    X(FcFontMatch) \
    X(FcConfigCreate) \
    X(FcConfigDestroy) \
    X(FcConfigParseAndLoadFromMemory) \
    X(FcConfigBuildFonts) \
    X(FcConfigGetFonts) \
    X(FcConfigGetCurrent) \
    X(FcConfigGetFontDirs) \
    X(FcConfigGetConfigFiles) \
    X(FcStrListNext) \
    X(FcStrListDone)
// clang-format on

struct FontconfigCalls {
#define SORVANE_FONTCONFIG_MEMBER(name) decltype(&::name) name;
    SORVANE_FONTCONFIG_CALLS(SORVANE_FONTCONFIG_MEMBER)
#undef SORVANE_FONTCONFIG_MEMBER
};

// The loaded library, or null when it cannot be had. Loaded once.
const FontconfigCalls* fontconfig_calls();

// The file the library was loaded from, once loaded; empty before.
const char* fontconfig_file();

}  // namespace gdi
