// Faces found through fontconfig, loaded for the lookup alone.
#include <stdlib.h>
#include <strings.h>

#include <algorithm>

#include "platform/posix/gdi/face_choice.h"
#include "platform/posix/gdi/font.h"
#include "platform/posix/gdi/fontconfig_library.h"

namespace gdi {

namespace {

// Families with the classic platform's metrics first; DejaVu Sans is what a
// bare system is sure to have.
// Arial's metrics (Liberation Sans has them) come close to those.
const char* const wanted_families[] = {"Tahoma", "Microsoft Sans Serif", "MS Sans Serif",
                                       "Arial",  "Liberation Sans",      "DejaVu Sans"};
constexpr int wanted_count = sizeof wanted_families / sizeof wanted_families[0];

bool has_family(const FontconfigCalls& fc, FcPattern* match, const char* family) {
    FcChar8* name = nullptr;
    for (int i = 0; fc.FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        if (strcasecmp(reinterpret_cast<const char*>(name), family) == 0) {
            return true;
        }
    }
    return false;
}

bool has_value(const FontconfigCalls& fc, FcPattern* face, const char* object, int wanted) {
    int value = 0;
    return fc.FcPatternGetInteger(face, object, 0, &value) == FcResultMatch && value == wanted;
}

// Each path once: every start checks each of them.
void add_once(const std::string& path, std::vector<std::string>* depends) {
    if (std::find(depends->begin(), depends->end(), path) == depends->end()) {
        depends->push_back(path);
    }
}

void add_all(const FontconfigCalls& fc, FcStrList* list, std::vector<std::string>* depends, bool with_folder) {
    if (list == nullptr) {
        return;
    }
    while (FcChar8* item = fc.FcStrListNext(list)) {
        const std::string path = reinterpret_cast<const char*>(item);
        add_once(path, depends);
        const size_t slash = path.rfind('/');
        if (with_folder && slash != std::string::npos && slash > 0) {
            add_once(path.substr(0, slash), depends);
        }
    }
    fc.FcStrListDone(list);
}

// The font folders and, with the whole configuration, its files: what a
// lookup through config rests on.
void add_depends(const FontconfigCalls& fc, FcConfig* config, bool configuration, std::vector<std::string>* depends) {
    add_all(fc, fc.FcConfigGetFontDirs(config), depends, false);
    if (configuration) {
        add_all(fc, fc.FcConfigGetConfigFiles(config), depends, true);
    }
}

// The file of the first preferred family the system has, or of whatever
// fontconfig offers for the last one, through the whole configuration.
std::string find_in_configuration(const FontconfigCalls& fc, std::string* family_found) {
    for (int i = 0; i < wanted_count; ++i) {
        FcPattern* pattern = fc.FcPatternCreate();
        fc.FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(wanted_families[i]));
        fc.FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
        fc.FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
        fc.FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        fc.FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = fc.FcFontMatch(nullptr, pattern, &result);
        fc.FcPatternDestroy(pattern);
        if (!match) {
            continue;
        }
        std::string file;
        FcChar8* path = nullptr;
        if ((has_family(fc, match, wanted_families[i]) || i + 1 == wanted_count) &&
            fc.FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
            file = reinterpret_cast<const char*>(path);
            FcChar8* name = nullptr;
            if (fc.FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch) {
                *family_found = reinterpret_cast<const char*>(name);
            }
        }
        fc.FcPatternDestroy(match);
        if (!file.empty()) {
            return file;
        }
    }
    return std::string();
}

// Only the system's and the user's font folders and their caches. Loading
// the whole configuration and matching through its rules costs several
// milliseconds; the families wanted are found by name.
const char font_folders[] =
    "<fontconfig>"
    "<dir>/usr/share/fonts</dir><dir>/usr/local/share/fonts</dir>"
    "<dir prefix=\"xdg\">fonts</dir><dir>~/.fonts</dir>"
    "<cachedir>/var/cache/fontconfig</cachedir><cachedir prefix=\"xdg\">fontconfig</cachedir>"
    "<cachedir>~/.fontconfig</cachedir>"
    "</fontconfig>";

// The folders font_folders names, there or not: one made later holds
// faces the choice did not see.
void add_font_folders(std::vector<std::string>* depends) {
    add_once("/usr/share/fonts", depends);
    add_once("/usr/local/share/fonts", depends);
    const char* home = getenv("HOME");
    const char* data_home = getenv("XDG_DATA_HOME");
    if (data_home != nullptr && data_home[0] == '/') {
        add_once(std::string(data_home) + "/fonts", depends);
    } else if (home != nullptr && home[0] == '/') {
        add_once(std::string(home) + "/.local/share/fonts", depends);
    }
    if (home != nullptr && home[0] == '/') {
        add_once(std::string(home) + "/.fonts", depends);
    }
}

// Where in wanted_families the face's family stands, or -1; regular upright faces
// of normal width only, as the full match asks for.
int rank(const FontconfigCalls& fc, FcPattern* face) {
    if (!has_value(fc, face, FC_WEIGHT, FC_WEIGHT_REGULAR) || !has_value(fc, face, FC_SLANT, FC_SLANT_ROMAN)) {
        return -1;
    }
    int width = FC_WIDTH_NORMAL;
    fc.FcPatternGetInteger(face, FC_WIDTH, 0, &width);
    if (width != FC_WIDTH_NORMAL) {
        return -1;
    }
    int best = -1;
    FcChar8* name = nullptr;
    for (int i = 0; fc.FcPatternGetString(face, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        for (int j = 0; j < wanted_count; ++j) {
            if (strcasecmp(reinterpret_cast<const char*>(name), wanted_families[j]) == 0 && (best < 0 || j < best)) {
                best = j;
            }
        }
    }
    return best;
}

// Hands each face in the font folders to visit until it answers false;
// the folders read go into depends when it is given.
template <typename Visit>
void for_each_folder_face(const FontconfigCalls& fc, Visit visit, std::vector<std::string>* depends = nullptr) {
    FcConfig* config = fc.FcConfigCreate();
    if (config != nullptr &&
        fc.FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(font_folders), FcFalse) &&
        fc.FcConfigBuildFonts(config)) {
        if (depends != nullptr) {
            add_depends(fc, config, false, depends);
        }
        FcFontSet* faces = fc.FcConfigGetFonts(config, FcSetSystem);
        for (int i = 0; faces != nullptr && i < faces->nfont; ++i) {
            if (!visit(faces->fonts[i])) {
                break;
            }
        }
    }
    if (config != nullptr) {
        fc.FcConfigDestroy(config);
    }
}

std::string folder_face(const FontconfigCalls& fc, std::string* family_found, std::vector<std::string>* depends) {
    std::string file;
    int best = -1;
    for_each_folder_face(
        fc,
        [&](FcPattern* face) {
            const int r = rank(fc, face);
            FcChar8* path = nullptr;
            if (r >= 0 && (best < 0 || r < best) && fc.FcPatternGetString(face, FC_FILE, 0, &path) == FcResultMatch) {
                best = r;
                file = reinterpret_cast<const char*>(path);
                *family_found = wanted_families[r];
            }
            return true;
        },
        depends);
    return file;
}

std::string configuration_face(const FontconfigCalls& fc, std::string* family_found,
                               std::vector<std::string>* depends) {
    if (!fc.FcInit()) {
        return std::string();
    }
    std::string file = find_in_configuration(fc, family_found);
    if (depends != nullptr) {
        add_depends(fc, fc.FcConfigGetCurrent(), true, depends);
    }
    // Nothing else here asks fontconfig; its caches would only linger.
    fc.FcFini();
    return file;
}

std::string bold_face(const FontconfigCalls& fc, const std::string& family, std::vector<std::string>* depends) {
    std::string file;
    for_each_folder_face(
        fc,
        [&](FcPattern* face) {
            int width = FC_WIDTH_NORMAL;
            fc.FcPatternGetInteger(face, FC_WIDTH, 0, &width);
            FcChar8* path = nullptr;
            if (has_family(fc, face, family.c_str()) && has_value(fc, face, FC_WEIGHT, FC_WEIGHT_BOLD) &&
                has_value(fc, face, FC_SLANT, FC_SLANT_ROMAN) && width == FC_WIDTH_NORMAL &&
                fc.FcPatternGetString(face, FC_FILE, 0, &path) == FcResultMatch) {
                file = reinterpret_cast<const char*>(path);
            }
            return file.empty();
        },
        depends);
    return file;
}

}  // namespace

std::string find_face_in_font_folders(std::string* family_found) {
    const FontconfigCalls* fc = fontconfig_calls();
    return fc != nullptr ? folder_face(*fc, family_found, nullptr) : std::string();
}

std::string find_face_in_configuration(std::string* family_found) {
    const FontconfigCalls* fc = fontconfig_calls();
    return fc != nullptr ? configuration_face(*fc, family_found, nullptr) : std::string();
}

std::string find_bold_face_in_font_folders(const std::string& family) {
    const FontconfigCalls* fc = fontconfig_calls();
    return fc != nullptr ? bold_face(*fc, family, nullptr) : std::string();
}

FaceChoice look_up_faces() {
    FaceChoice choice;
    const FontconfigCalls* fc = fontconfig_calls();
    if (fc == nullptr) {
        return choice;
    }
    // A configuration the user named is theirs to map families in.
    const char* named = getenv("FONTCONFIG_FILE");
    const bool configuration_first = named != nullptr && named[0] != '\0';
    if (!configuration_first) {
        add_font_folders(&choice.depends);
        choice.regular = folder_face(*fc, &choice.family, &choice.depends);
    }
    if (choice.regular.empty()) {
        choice.regular = configuration_face(*fc, &choice.family, &choice.depends);
    }
    if (!choice.regular.empty()) {
        choice.depends.push_back(choice.regular);
        if (configuration_first) {
            add_font_folders(&choice.depends);
        }
        choice.bold = bold_face(*fc, choice.family, configuration_first ? &choice.depends : nullptr);
        if (!choice.bold.empty()) {
            choice.depends.push_back(choice.bold);
        }
    }
    return choice;
}

}  // namespace gdi
