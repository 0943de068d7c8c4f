// Faces found through fontconfig and rasterised with FreeType.
#include "platform/posix/gdi/font.h"

#include "platform/posix/gdi/device_scale.h"

#include <errno.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include <math.h>
#include <stdio.h>
#include <strings.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include "platform/posix/gdi/glyph_cache.h"
#include "platform/posix/gdi/shared.h"

namespace gdi {

namespace {

// Families with the classic platform's metrics first; DejaVu Sans is what a
// bare system is sure to have.
// Arial's metrics (Liberation Sans has them) come close to those.
const char* const wanted_families[] = {"Tahoma", "Microsoft Sans Serif", "MS Sans Serif",
                                       "Arial",  "Liberation Sans",      "DejaVu Sans"};

// The classic face averages about 6 pixels a letter at an 11-pixel em; the
// controls' texts are laid out for that. A wider face is drawn a pixel or two
// smaller so the texts still fit, keeping the cell of the requested em.
constexpr double classic_letter_width = 6.5 / 11;
constexpr int max_shrink = 2;
const char last_resort_file[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

bool has_family(FcPattern* match, const char* family) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        if (strcasecmp(reinterpret_cast<const char*>(name), family) == 0) {
            return true;
        }
    }
    return false;
}

// The file of the first preferred family the system has, or of whatever
// fontconfig offers for the last one, through the whole configuration.
std::string find_in_configuration(std::string* family_found) {
    const size_t count = sizeof wanted_families / sizeof wanted_families[0];
    for (size_t i = 0; i < count; ++i) {
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(wanted_families[i]));
        FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcPatternDestroy(pattern);
        if (!match) {
            continue;
        }
        std::string file;
        FcChar8* path = nullptr;
        if ((has_family(match, wanted_families[i]) || i + 1 == count) &&
            FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch) {
            file = reinterpret_cast<const char*>(path);
            FcChar8* name = nullptr;
            if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch) {
                *family_found = reinterpret_cast<const char*>(name);
            }
        }
        FcPatternDestroy(match);
        if (!file.empty()) {
            return file;
        }
    }
    return std::string();
}

// Only the system's and the user's font folders and their caches. Loading
// the whole configuration and matching through its rules costs several
// milliseconds, most of the start; the families wanted are found by name.
const char font_folders[] =
    "<fontconfig>"
    "<dir>/usr/share/fonts</dir><dir>/usr/local/share/fonts</dir>"
    "<dir prefix=\"xdg\">fonts</dir><dir>~/.fonts</dir>"
    "<cachedir>/var/cache/fontconfig</cachedir><cachedir prefix=\"xdg\">fontconfig</cachedir>"
    "<cachedir>~/.fontconfig</cachedir>"
    "</fontconfig>";

bool has_value(FcPattern* face, const char* object, int wanted) {
    int value = 0;
    return FcPatternGetInteger(face, object, 0, &value) == FcResultMatch && value == wanted;
}

// Where in wanted_families the face's family stands, or -1; regular upright faces
// of normal width only, as the full match asks for.
int rank(FcPattern* face) {
    if (!has_value(face, FC_WEIGHT, FC_WEIGHT_REGULAR) || !has_value(face, FC_SLANT, FC_SLANT_ROMAN)) {
        return -1;
    }
    int width = FC_WIDTH_NORMAL;
    FcPatternGetInteger(face, FC_WIDTH, 0, &width);
    if (width != FC_WIDTH_NORMAL) {
        return -1;
    }
    const int count = sizeof wanted_families / sizeof wanted_families[0];
    int best = -1;
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(face, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        for (int j = 0; j < count; ++j) {
            if (strcasecmp(reinterpret_cast<const char*>(name), wanted_families[j]) == 0 && (best < 0 || j < best)) {
                best = j;
            }
        }
    }
    return best;
}

}  // namespace

namespace {

// Hands each face in the font folders to visit until it answers false.
template <typename Visit>
void for_each_folder_face(Visit visit) {
    FcConfig* config = FcConfigCreate();
    if (config != nullptr &&
        FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(font_folders), FcFalse) &&
        FcConfigBuildFonts(config)) {
        FcFontSet* faces = FcConfigGetFonts(config, FcSetSystem);
        for (int i = 0; faces != nullptr && i < faces->nfont; ++i) {
            if (!visit(faces->fonts[i])) {
                break;
            }
        }
    }
    if (config != nullptr) {
        FcConfigDestroy(config);
    }
}

}  // namespace

std::string find_face_in_font_folders(std::string* family_found) {
    std::string file;
    int best = -1;
    for_each_folder_face([&](FcPattern* face) {
        const int r = rank(face);
        FcChar8* path = nullptr;
        if (r >= 0 && (best < 0 || r < best) && FcPatternGetString(face, FC_FILE, 0, &path) == FcResultMatch) {
            best = r;
            file = reinterpret_cast<const char*>(path);
            *family_found = wanted_families[r];
        }
        return true;
    });
    return file;
}

std::string find_face_in_configuration(std::string* family_found) {
    if (!FcInit()) {
        return std::string();
    }
    std::string file = find_in_configuration(family_found);
    // Nothing else here asks fontconfig; its caches would only linger.
    FcFini();
    return file;
}

namespace {

// The whole configuration only when the folders hold no wanted family: it
// knows the aliases and rules a user may have set up.
std::string find_font_file(std::string* family_found) {
    std::string file = find_face_in_font_folders(family_found);
    return file.empty() ? find_face_in_configuration(family_found) : file;
}

// Looked up once for every font of the process.
const FontEngine& with_face_file() {
    FontEngine& engine = shared().fonts;
    if (!engine.face_looked_up) {
        engine.face_looked_up = true;
        engine.face_file = find_font_file(&engine.face_family);
        if (engine.face_file.empty()) {
            engine.face_file = last_resort_file;
            engine.face_family = "DejaVu Sans";
        }
    }
    return engine;
}

// One FreeType library serves every face; it lives as long as the process.
FT_Library freetype() {
    FontEngine& engine = shared().fonts;
    if (!engine.started) {
        engine.started = true;
        FT_Library library = nullptr;
        engine.freetype = FT_Init_FreeType(&library) == 0 ? library : nullptr;
    }
    return engine.freetype;
}

int scaled(long font_units, int em, int units_per_em) {
    return static_cast<int>(lround(static_cast<double>(font_units) * em / units_per_em));
}

// The classic look draws small text in whole pixels, without smoothing:
// monochrome hinting keeps stems crisp and advances whole.
constexpr FT_Int32 load_flags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO;

// Copies a monochrome bitmap into g as coverage 0 or 255.
void take_bitmap(const FT_Bitmap& bitmap, int left, int top, Glyph* g) {
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO) {
        return;
    }
    g->left = left;
    g->top = top;
    g->width = static_cast<int>(bitmap.width);
    g->height = static_cast<int>(bitmap.rows);
    g->coverage.resize(static_cast<size_t>(g->width) * g->height);
    for (int row = 0; row < g->height; ++row) {
        const unsigned char* source = bitmap.buffer + static_cast<ptrdiff_t>(row) * bitmap.pitch;
        for (int column = 0; column < g->width; ++column) {
            const bool set = (source[column >> 3] >> (7 - (column & 7))) & 1;
            g->coverage[static_cast<size_t>(row) * g->width + column] = set ? 255 : 0;
        }
    }
}

// Loads and rasterises c at the face's current size, as far as FreeType can.
void rasterise(FT_Face f, unsigned char c, Glyph* g, int embolden = 0) {
    if (FT_Load_Char(f, c, load_flags) != 0) {
        return;
    }
    FT_GlyphSlot slot_ft = f->glyph;
    if (embolden > 0 && slot_ft->format == FT_GLYPH_FORMAT_OUTLINE &&
        FT_Outline_EmboldenXY(&slot_ft->outline, embolden, 0) == 0) {
        slot_ft->advance.x += embolden;
    }
    g->advance = static_cast<int>((slot_ft->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot_ft, FT_RENDER_MODE_MONO) == 0) {
        take_bitmap(slot_ft->bitmap, slot_ft->bitmap_left, slot_ft->bitmap_top, g);
    }
}

// Rasterises a glyph that measure() kept, the same way, and frees it.
void rasterise_kept(FT_Glyph* outline, Glyph* g) {
    if (FT_Glyph_To_Bitmap(outline, FT_RENDER_MODE_MONO, nullptr, 1) == 0) {
        const FT_BitmapGlyph bitmap = reinterpret_cast<FT_BitmapGlyph>(*outline);
        take_bitmap(bitmap->bitmap, bitmap->left, bitmap->top, g);
    }
    FT_Done_Glyph(*outline);
    *outline = nullptr;
}

void forget(FT_Glyph* outlines) {
    for (int i = 0; i < 256; ++i) {
        if (outlines[i] != nullptr) {
            FT_Done_Glyph(outlines[i]);
            outlines[i] = nullptr;
        }
    }
}

// The hinted advance of c, and its loaded glyph kept in outlines[c] so that
// it is rasterised only if it is drawn: many letters never are.
int measure(FT_Face f, unsigned char c, FT_Glyph* outlines) {
    if (FT_Load_Char(f, c, load_flags) != 0) {
        return 0;
    }
    if (FT_Get_Glyph(f->glyph, &outlines[c]) != 0) {
        outlines[c] = nullptr;
    }
    return static_cast<int>((f->glyph->advance.x + 32) >> 6);
}

// The letters' advances at the face's current size, kept in `letters`
// (indexed by character) with their outlines: at the size finally chosen
// they are the glyphs drawn, so they need not be loaded again.
double average_letter_width(FT_Face face, std::vector<std::unique_ptr<Glyph>>* letters, FT_Glyph* outlines) {
    int total = 0;
    for (int i = 0; i < 52; ++i) {
        const unsigned char c = static_cast<unsigned char>(i < 26 ? 'a' + i : 'A' + i - 26);
        auto g = std::make_unique<Glyph>();
        g->advance = measure(face, c, outlines);
        total += g->advance;
        (*letters)[c] = std::move(g);
    }
    return total / 52.0;
}

// The glyph size for an em: the em, or a pixel or two less where the face
// is wider than the classic one. The letters measured at the size taken go
// into glyphs, their outlines into outlines.
int choose_glyph_em(FT_Face f, int em, FT_Glyph* outlines, std::vector<std::unique_ptr<Glyph>>* glyphs) {
    int glyph_em = em;
    std::vector<std::unique_ptr<Glyph>> letters(256);
    while (glyph_em > em - max_shrink) {
        if (average_letter_width(f, &letters, outlines) <= classic_letter_width * em) {
            *glyphs = std::move(letters);
            break;
        }
        // The outlines of a size not taken must not be drawn.
        forget(outlines);
        if (FT_Set_Pixel_Sizes(f, 0, glyph_em - 1) != 0) {
            break;
        }
        --glyph_em;
    }
    return glyph_em;
}

GlyphCacheKey cache_key(const std::string& file, int em) {
    GlyphCacheKey key;
    key.file = file;
    key.em = em;
    FT_Library_Version(freetype(), &key.freetype_version[0], &key.freetype_version[1], &key.freetype_version[2]);
    return key;
}

// The glyph size for key.em and the glyphs known at it, from the cache
// when it serves (*cached), else as choose_glyph_em finds them.
int glyph_size(FT_Face f, const GlyphCacheKey& key, FT_Glyph* outlines, std::vector<std::unique_ptr<Glyph>>* glyphs,
               bool* cached) {
    const int em = key.em;
    int glyph_em = em;
    std::vector<std::unique_ptr<Glyph>> from_cache(256);
    *cached = read_glyph_cache(key, &glyph_em, &from_cache) && glyph_em <= em && glyph_em >= em - max_shrink &&
              (glyph_em == em || FT_Set_Pixel_Sizes(f, 0, glyph_em) == 0);
    if (*cached) {
        *glyphs = std::move(from_cache);
        return glyph_em;
    }
    return choose_glyph_em(f, em, outlines, glyphs);
}

// Once per process, however many fonts are asked for.
void report_no_face() {
    FontEngine& engine = shared().fonts;
    if (!engine.missing_face_reported) {
        engine.missing_face_reported = true;
        fprintf(stderr, "%s: no usable font face found; text is not drawn\n", program_invocation_short_name);
        fflush(stderr);
    }
}

}  // namespace

struct Font::Face {
    FT_Face face = nullptr;
    // Outlines of measured glyphs not yet drawn (see measure).
    FT_Glyph outlines[256] = {};
    ~Face() {
        forget(outlines);
        if (face) {
            FT_Done_Face(face);
        }
    }
};

std::unique_ptr<Font> Font::open(int em_pixels) {
    const FontEngine& found = with_face_file();
    return open_file(em_pixels, found.face_file, found.face_family);
}

std::unique_ptr<Font> Font::open_file(int em_pixels, const std::string& file, const std::string& family) {
    return open_face(em_pixels, file, family, 0);
}

std::unique_ptr<Font> Font::open_face(int em_pixels, const std::string& file, const std::string& family,
                                      int fixed_glyph_em) {
    std::unique_ptr<Font> font(new Font());
    font->em_ = em_pixels > 0 ? em_pixels : 11;
    font->cache_.resize(256);
    font->family_ = family;
    const int em = font->em_;
    auto face = std::make_unique<Face>();
    if (freetype() != nullptr && FT_New_Face(freetype(), file.c_str(), 0, &face->face) == 0 &&
        FT_Set_Pixel_Sizes(face->face, 0, em) == 0) {
        FT_Face f = face->face;
        const int units = f->units_per_EM ? f->units_per_EM : 2048;
        const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
        // The platform measures a cell by the face's Windows ascent and
        // descent, which also leave room for accents above capitals.
        if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
            font->ascent_ = scaled(os2->usWinAscent, em, units);
            font->descent_ = scaled(os2->usWinDescent, em, units);
            font->average_width_ = scaled(os2->xAvgCharWidth, em, units);
        } else {
            font->ascent_ = static_cast<int>((f->size->metrics.ascender + 63) >> 6);
            font->descent_ = static_cast<int>((-f->size->metrics.descender + 63) >> 6);
        }
        const GlyphCacheKey key = cache_key(file, em);
        // A size given is drawn at as it is: nothing to measure or cache.
        bool cached = fixed_glyph_em > 0;
        int glyph_em = em;
        if (fixed_glyph_em > 0) {
            glyph_em = fixed_glyph_em == em || FT_Set_Pixel_Sizes(f, 0, fixed_glyph_em) == 0 ? fixed_glyph_em : em;
        } else {
            glyph_em = glyph_size(f, key, face->outlines, &font->cache_, &cached);
        }
        font->glyph_em_ = glyph_em;
        font->file_ = file;
        font->max_width_ = static_cast<int>((f->size->metrics.max_advance + 63) >> 6);
        font->face_ = std::move(face);
        font->family_ = f->family_name ? f->family_name : font->family_;
        if (!cached) {
            for (int c = first_cached; c <= last_cached; ++c) {
                font->glyph(static_cast<unsigned char>(c));
            }
            write_glyph_cache(key, glyph_em, font->cache_);
        }
    } else {
        font->family_ = "none";
        report_no_face();
    }
    if (font->ascent_ <= 0) {
        font->ascent_ = em - em / 6;
    }
    if (font->descent_ <= 0) {
        font->descent_ = em / 4 + 1;
    }
    if (font->average_width_ <= 0) {
        font->average_width_ = font->advance('x');
    }
    if (font->max_width_ <= 0) {
        font->max_width_ = font->advance('W');
    }
    return font;
}

Font::~Font() = default;

const Font& Font::at_scale(int quarters) const {
    if (quarters == unit_quarters || !face_) {
        return *this;
    }
    for (const auto& entry : scaled_) {
        if (entry.first == quarters) {
            return *entry.second;
        }
    }
    std::unique_ptr<Font> font(new Font());
    font->cache_.resize(256);
    font->family_ = family_;
    font->file_ = file_;
    font->em_ = to_device(em_, quarters);
    font->glyph_em_ = glyph_em_;
    font->ascent_ = to_device(ascent_, quarters);
    font->descent_ = to_device(ascent_ + descent_, quarters) - font->ascent_;
    font->average_width_ = to_device(average_width_, quarters);
    font->max_width_ = to_device(max_width_, quarters);
    font->bold_ = bold_;
    font->embolden_ = embolden_ * quarters / unit_quarters;
    auto face = std::make_unique<Face>();
    // The size in 26.6 points at 72 DPI, which are pixels: a quarter-step
    // scale keeps a fraction of a pixel, so the letters grow by the scale.
    const long size = static_cast<long>(glyph_em_) * 64 * quarters / unit_quarters;
    if (FT_New_Face(freetype(), file_.c_str(), 0, &face->face) == 0 &&
        FT_Set_Char_Size(face->face, 0, size, 72, 72) == 0) {
        font->face_ = std::move(face);
    }
    scaled_.emplace_back(quarters, std::move(font));
    return *scaled_.back().second;
}

int Font::advance(unsigned char c) const {
    const std::unique_ptr<Glyph>& slot = cache_[c];
    return slot ? slot->advance : glyph(c).advance;
}

const Glyph& Font::glyph(unsigned char c) const {
    std::unique_ptr<Glyph>& slot = cache_[c];
    if (slot) {
        if (face_ && face_->outlines[c] != nullptr) {
            rasterise_kept(&face_->outlines[c], slot.get());
        }
        return *slot;
    }
    slot = std::make_unique<Glyph>();
    Glyph& g = *slot;
    if (c < 0x20 || c == 0x7F) {
        return g;  // control characters take no room
    }
    if (!face_) {
        g.advance = c == ' ' ? em_ / 4 + 1 : em_ / 2;
        return g;
    }
    rasterise(face_->face, c, &g, embolden_);
    return g;
}

std::string find_bold_face_in_font_folders(const std::string& family) {
    std::string file;
    for_each_folder_face([&](FcPattern* face) {
        int width = FC_WIDTH_NORMAL;
        FcPatternGetInteger(face, FC_WIDTH, 0, &width);
        FcChar8* path = nullptr;
        if (has_family(face, family.c_str()) && has_value(face, FC_WEIGHT, FC_WEIGHT_BOLD) &&
            has_value(face, FC_SLANT, FC_SLANT_ROMAN) && width == FC_WIDTH_NORMAL &&
            FcPatternGetString(face, FC_FILE, 0, &path) == FcResultMatch) {
            file = reinterpret_cast<const char*>(path);
        }
        return file.empty();
    });
    return file;
}

std::unique_ptr<Font> Font::open_bold() const {
    const std::string bold_file = face_ ? find_bold_face_in_font_folders(family_) : std::string();
    // The regular face's glyph size: the same letters, only bolder.
    std::unique_ptr<Font> font;
    if (!bold_file.empty()) {
        font = open_face(em_, bold_file, family_, glyph_em_);
        font->bold_ = font->face_ != nullptr;
    }
    if (font == nullptr || !font->bold_) {
        font = open_face(em_, file_.empty() ? last_resort_file : file_, family_, glyph_em_);
        if (font->face_ && FT_IS_SCALABLE(font->face_->face)) {
            font->embolden_ = 64;
            font->bold_ = true;
            // A glyph open may have drawn for its metrics was not widened.
            font->cache_.clear();
            font->cache_.resize(256);
        }
    }
    return font;
}

}  // namespace gdi
