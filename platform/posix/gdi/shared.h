// GDI's one state object: what every DC of the process shares, reached
// through shared(); no file of gdi/ keeps state of its own. DCs and the
// objects callers create live in the process's one handle table.
//
// All of it is per process, as the platform keeps GDI objects per process
// and one stock set for every process. Nothing here is guarded, and the
// whole of it is made on first use: another thread may touch none of it (a
// font opened on a second thread included, since FreeType's library serves
// one thread at a time) until the font engine is split off and guarded.
#pragma once

#include <memory>
#include <string>

#include "platform/posix/gdi/font.h"
#include "platform/posix/gdi/system_colours.h"
#include "platform/win32.h"

struct FT_LibraryRec_;

namespace gdi {

struct Object;
struct FreeTypeCalls;
struct FontconfigCalls;

// DC_PEN and the stock objects after it are not kept.
constexpr int stock_count = DC_BRUSH + 1;
constexpr int sys_colour_count = COLOR_MENUBAR + 1;

// FreeType and fontconfig as library_loading.cpp loaded them, never
// unloaded; a state 0 not tried yet, 1 loaded, -1 cannot be had.
struct LoadedLibraries {
    int freetype_state = 0;
    const FreeTypeCalls* freetype = nullptr;
    std::string freetype_file;
    int fontconfig_state = 0;
    const FontconfigCalls* fontconfig = nullptr;
    std::string fontconfig_file;
};

// The font engine (font.cpp), found and started once for every font.
struct FontEngine {
    LoadedLibraries libraries;
    bool started = false;
    FT_LibraryRec_* freetype = nullptr;  // null when FreeType would not start
    // FreeType's version, from the kept choice of faces or from FreeType.
    bool freetype_version_known = false;
    int freetype_version[3] = {};
    bool face_looked_up = false;
    std::string face_file;  // the last resort's when nothing better was found
    std::string face_family;
    std::string bold_file;               // the family's bold face; empty when it has none
    bool missing_face_reported = false;  // said once, however many fonts fail
};

struct Shared {
    // First, so that it outlives the stock fonts' faces.
    FontEngine fonts;
    // The stock objects (gdi_objects.cpp), never deleted. An entry the full
    // handle table kept from being made stays null, and is tried again on
    // the next call until the set is complete.
    Object* stock[stock_count] = {};
    bool stock_complete = false;
    Object* system_brushes[sys_colour_count] = {};  // GetSysColorBrush's
    ColourScheme colour_scheme = ColourScheme::classic;
    std::unique_ptr<Font> gui_font;
    std::unique_ptr<Font> system_font;
    // The caption's bold font and its object, made when a caption is first drawn.
    std::unique_ptr<Font> caption_font;
    Object* caption_object = nullptr;

    Shared() = default;
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;
};

// Made on first use; lives as long as the process.
Shared& shared();

}  // namespace gdi
