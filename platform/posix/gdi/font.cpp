// Faces rasterised with FreeType, or read whole from the glyph cache.
#include "platform/posix/gdi/font.h"

#include <errno.h>
#include <math.h>
#include <stdio.h>

#include "platform/posix/gdi/device_scale.h"
#include "platform/posix/gdi/face_choice.h"
#include "platform/posix/gdi/fontconfig_library.h"
#include "platform/posix/gdi/freetype_library.h"
#include "platform/posix/gdi/glyph_cache.h"
#include "platform/posix/gdi/shared.h"

namespace gdi {

namespace {

// The classic face averages about 6 pixels a letter at an 11-pixel em; the
// controls' texts are laid out for that. A wider face is drawn a pixel or two
// smaller so the texts still fit, keeping the cell of the requested em.
constexpr double classic_letter_width = 6.5 / 11;
constexpr int max_shrink = 2;
const char last_resort_file[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The classic look draws small text in whole pixels, without smoothing:
// monochrome hinting keeps stems crisp and advances whole.
constexpr FT_Int32 load_flags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO;
constexpr FT_Render_Mode render_mode = FT_RENDER_MODE_MONO;

// How glyphs are made, in the glyph cache's key: a change to any of the
// above, or to how a bitmap becomes coverage (take_bitmap) or a glyph is
// widened (rasterise), must change it, or yesterday's glyphs pass as
// today's. Bump the version for a change the other terms do not show.
constexpr uint64_t render_recipe_version = 1;
constexpr uint64_t render_recipe = render_recipe_version << 48 | static_cast<uint64_t>(load_flags) << 16 |
                                   static_cast<uint64_t>(render_mode) << 8 | max_shrink << 4 |
                                   static_cast<uint64_t>(classic_letter_width * 11 * 2);

// One FreeType library serves every face; it lives as long as the process.
FT_Library freetype() {
    FontEngine& engine = shared().fonts;
    if (!engine.started) {
        engine.started = true;
        const FreeTypeCalls* ft = freetype_calls();
        FT_Library library = nullptr;
        engine.freetype = ft != nullptr && ft->FT_Init_FreeType(&library) == 0 ? library : nullptr;
        if (engine.freetype != nullptr && !engine.freetype_version_known) {
            ft->FT_Library_Version(library, &engine.freetype_version[0], &engine.freetype_version[1],
                                   &engine.freetype_version[2]);
            engine.freetype_version_known = true;
        }
    }
    return engine.freetype;
}

// The choice of faces, kept or looked up anew; once for every font of the
// process.
const FontEngine& with_face_file() {
    FontEngine& engine = shared().fonts;
    if (!engine.face_looked_up) {
        engine.face_looked_up = true;
        FaceChoice choice;
        if (read_face_choice(&choice)) {
            for (int i = 0; i < 3; ++i) {
                engine.freetype_version[i] = choice.freetype_version[i];
            }
            engine.freetype_version_known = choice.freetype_version[0] != 0;
        } else {
            choice = look_up_faces();
            if (freetype() != nullptr) {
                for (int i = 0; i < 3; ++i) {
                    choice.freetype_version[i] = engine.freetype_version[i];
                }
                choice.depends.push_back(freetype_file());
            }
            if (fontconfig_file()[0] != '\0') {
                choice.depends.push_back(fontconfig_file());
            }
            write_face_choice(choice);
        }
        engine.face_file = choice.regular;
        engine.face_family = choice.family;
        engine.bold_file = choice.bold;
        if (engine.face_file.empty()) {
            engine.face_file = last_resort_file;
            engine.face_family = "DejaVu Sans";
        }
    }
    return engine;
}

int scaled(long font_units, int em, int units_per_em) {
    // Half away from zero, as lround, without libm.
    double exact = static_cast<double>(font_units) * em / units_per_em;
    return static_cast<int>(exact < 0 ? exact - 0.5 : exact + 0.5);
}

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
void rasterise(const FreeTypeCalls& ft, FT_Face f, unsigned char c, Glyph* g, int embolden) {
    if (ft.FT_Load_Char(f, c, load_flags) != 0) {
        return;
    }
    FT_GlyphSlot slot_ft = f->glyph;
    if (embolden > 0 && slot_ft->format == FT_GLYPH_FORMAT_OUTLINE &&
        ft.FT_Outline_EmboldenXY(&slot_ft->outline, embolden, 0) == 0) {
        slot_ft->advance.x += embolden;
    }
    g->advance = static_cast<int>((slot_ft->advance.x + 32) >> 6);
    if (ft.FT_Render_Glyph(slot_ft, render_mode) == 0) {
        take_bitmap(slot_ft->bitmap, slot_ft->bitmap_left, slot_ft->bitmap_top, g);
    }
}

// Rasterises a glyph that measure() kept, the same way, and frees it.
void rasterise_kept(const FreeTypeCalls& ft, FT_Glyph* outline, Glyph* g) {
    if (ft.FT_Glyph_To_Bitmap(outline, render_mode, nullptr, 1) == 0) {
        const FT_BitmapGlyph bitmap = reinterpret_cast<FT_BitmapGlyph>(*outline);
        take_bitmap(bitmap->bitmap, bitmap->left, bitmap->top, g);
    }
    ft.FT_Done_Glyph(*outline);
    *outline = nullptr;
}

void forget(const FreeTypeCalls& ft, FT_Glyph* outlines) {
    for (int i = 0; i < 256; ++i) {
        if (outlines[i] != nullptr) {
            ft.FT_Done_Glyph(outlines[i]);
            outlines[i] = nullptr;
        }
    }
}

// The hinted advance of c, and its loaded glyph kept in outlines[c] so that
// it is rasterised only if it is drawn: many letters never are.
int measure(const FreeTypeCalls& ft, FT_Face f, unsigned char c, FT_Glyph* outlines) {
    if (ft.FT_Load_Char(f, c, load_flags) != 0) {
        return 0;
    }
    if (ft.FT_Get_Glyph(f->glyph, &outlines[c]) != 0) {
        outlines[c] = nullptr;
    }
    return static_cast<int>((f->glyph->advance.x + 32) >> 6);
}

// The letters' advances at the face's current size, kept in `letters`
// (indexed by character) with their outlines: at the size finally chosen
// they are the glyphs drawn, so they need not be loaded again.
double average_letter_width(const FreeTypeCalls& ft, FT_Face face, std::vector<std::unique_ptr<Glyph>>* letters,
                            FT_Glyph* outlines) {
    int total = 0;
    for (int i = 0; i < 52; ++i) {
        const unsigned char c = static_cast<unsigned char>(i < 26 ? 'a' + i : 'A' + i - 26);
        auto g = std::make_unique<Glyph>();
        g->advance = measure(ft, face, c, outlines);
        total += g->advance;
        (*letters)[c] = std::move(g);
    }
    return total / 52.0;
}

// The glyph size for an em: the em, or a pixel or two less where the face
// is wider than the classic one. The letters measured at the size taken go
// into glyphs, their outlines into outlines.
int choose_glyph_em(const FreeTypeCalls& ft, FT_Face f, int em, FT_Glyph* outlines,
                    std::vector<std::unique_ptr<Glyph>>* glyphs) {
    int glyph_em = em;
    std::vector<std::unique_ptr<Glyph>> letters(256);
    while (glyph_em > em - max_shrink) {
        if (average_letter_width(ft, f, &letters, outlines) <= classic_letter_width * em) {
            *glyphs = std::move(letters);
            break;
        }
        // The outlines of a size not taken must not be drawn.
        forget(ft, outlines);
        if (ft.FT_Set_Pixel_Sizes(f, 0, glyph_em - 1) != 0) {
            break;
        }
        --glyph_em;
    }
    return glyph_em;
}

// The key of a font's glyphs. FreeType's version is the one the kept
// choice of faces names while its library file is as it was; else
// FreeType is loaded to say it.
GlyphCacheKey cache_key(const std::string& file, int em, int glyph_em, long scaled_size, int embolden) {
    GlyphCacheKey key;
    key.file = file;
    key.em = em;
    key.glyph_em = glyph_em;
    key.scaled = scaled_size;
    key.embolden = embolden;
    key.recipe = render_recipe;
    FontEngine& engine = shared().fonts;
    if (!engine.freetype_version_known) {
        freetype();
    }
    for (int i = 0; i < 3; ++i) {
        key.freetype_version[i] = engine.freetype_version[i];
    }
    return key;
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
        const FreeTypeCalls* ft = freetype_calls();
        if (ft != nullptr) {
            forget(*ft, outlines);
            if (face) {
                ft->FT_Done_Face(face);
            }
        }
    }
};

std::unique_ptr<Font> Font::open(int em_pixels) {
    const FontEngine& found = with_face_file();
    return open_file(em_pixels, found.face_file, found.face_family);
}

std::unique_ptr<Font> Font::open_file(int em_pixels, const std::string& file, const std::string& family) {
    return open_face(em_pixels, file, family, 0, 0);
}

void Font::take_metrics(const FaceMetrics& metrics) {
    glyph_em_ = metrics.glyph_em;
    ascent_ = metrics.ascent;
    descent_ = metrics.descent;
    average_width_ = metrics.average_width;
    max_width_ = metrics.max_width;
    family_ = metrics.family;
    scalable_ = metrics.scalable;
    usable_ = true;
}

std::unique_ptr<Font> Font::open_face(int em_pixels, const std::string& file, const std::string& family,
                                      int fixed_glyph_em, int embolden) {
    std::unique_ptr<Font> font(new Font());
    font->em_ = em_pixels > 0 ? em_pixels : 11;
    font->cache_.resize(256);
    font->family_ = family;
    font->file_ = file;
    const int em = font->em_;
    const GlyphCacheKey key = cache_key(file, em, fixed_glyph_em, 0, embolden);
    FaceMetrics metrics;
    if (read_glyph_cache(key, &metrics, &font->cache_)) {
        font->take_metrics(metrics);
        font->embolden_ = metrics.scalable ? embolden : 0;
        font->settle_metrics();
        return font;
    }
    const FreeTypeCalls* ft = freetype() != nullptr ? freetype_calls() : nullptr;
    auto face = std::make_unique<Face>();
    if (ft != nullptr && ft->FT_New_Face(freetype(), file.c_str(), 0, &face->face) == 0 &&
        ft->FT_Set_Pixel_Sizes(face->face, 0, em) == 0) {
        FT_Face f = face->face;
        const int units = f->units_per_EM ? f->units_per_EM : 2048;
        const TT_OS2* os2 = static_cast<const TT_OS2*>(ft->FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
        // The platform measures a cell by the face's Windows ascent and
        // descent, which also leave room for accents above capitals.
        if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
            metrics.ascent = scaled(os2->usWinAscent, em, units);
            metrics.descent = scaled(os2->usWinDescent, em, units);
            metrics.average_width = scaled(os2->xAvgCharWidth, em, units);
        } else {
            metrics.ascent = static_cast<int>((f->size->metrics.ascender + 63) >> 6);
            metrics.descent = static_cast<int>((-f->size->metrics.descender + 63) >> 6);
        }
        // A size given is drawn at as it is: nothing to measure.
        if (fixed_glyph_em > 0) {
            metrics.glyph_em =
                fixed_glyph_em == em || ft->FT_Set_Pixel_Sizes(f, 0, fixed_glyph_em) == 0 ? fixed_glyph_em : em;
        } else {
            metrics.glyph_em = choose_glyph_em(*ft, f, em, face->outlines, &font->cache_);
        }
        metrics.max_width = static_cast<int>((f->size->metrics.max_advance + 63) >> 6);
        metrics.family = f->family_name ? f->family_name : family;
        metrics.scalable = FT_IS_SCALABLE(f);
        font->take_metrics(metrics);
        font->embolden_ = metrics.scalable ? embolden : 0;
        font->face_ = std::move(face);
        font->fill_and_keep(key, metrics);
    } else {
        font->family_ = "none";
        report_no_face();
    }
    font->settle_metrics();
    return font;
}

void Font::settle_metrics() {
    if (ascent_ <= 0) {
        ascent_ = em_ - em_ / 6;
    }
    if (descent_ <= 0) {
        descent_ = em_ / 4 + 1;
    }
    if (average_width_ <= 0) {
        average_width_ = advance('x');
    }
    if (max_width_ <= 0) {
        max_width_ = advance('W');
    }
}

void Font::fill_and_keep(const GlyphCacheKey& key, const FaceMetrics& metrics) const {
    for (int c = first_cached; c <= last_cached; ++c) {
        glyph(static_cast<unsigned char>(c));
    }
    write_glyph_cache(key, metrics, cache_);
}

Font::~Font() = default;

Font::Face* Font::face() const {
    if (face_ == nullptr && usable_ && !face_tried_) {
        face_tried_ = true;
        const FreeTypeCalls* ft = freetype() != nullptr ? freetype_calls() : nullptr;
        auto face = std::make_unique<Face>();
        // A scaled size in 26.6 points at 72 DPI, which are pixels.
        if (ft != nullptr && ft->FT_New_Face(freetype(), file_.c_str(), 0, &face->face) == 0 &&
            (scaled_size_ > 0 ? ft->FT_Set_Char_Size(face->face, 0, scaled_size_, 72, 72)
                              : ft->FT_Set_Pixel_Sizes(face->face, 0, glyph_em_)) == 0) {
            face_ = std::move(face);
        }
    }
    return face_.get();
}

const Font& Font::at_scale(int quarters) const {
    if (quarters == unit_quarters || !usable_) {
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
    font->scalable_ = scalable_;
    font->usable_ = true;
    font->embolden_ = embolden_ * quarters / unit_quarters;
    // A quarter-step scale keeps a fraction of a pixel, so the letters grow
    // by the scale.
    font->scaled_size_ = static_cast<long>(glyph_em_) * 64 * quarters / unit_quarters;
    // Kept like the font at scale 1, so that a start at this scale draws
    // from the cache alone too.
    const GlyphCacheKey key = cache_key(file_, em_, glyph_em_, font->scaled_size_, font->embolden_);
    FaceMetrics metrics;
    if (!read_glyph_cache(key, &metrics, &font->cache_) && font->face() != nullptr) {
        metrics.glyph_em = glyph_em_;
        metrics.ascent = font->ascent_;
        metrics.descent = font->descent_;
        metrics.average_width = font->average_width_;
        metrics.max_width = font->max_width_;
        metrics.scalable = scalable_;
        metrics.family = family_;
        font->fill_and_keep(key, metrics);
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
            rasterise_kept(*freetype_calls(), &face_->outlines[c], slot.get());
        }
        return *slot;
    }
    slot = std::make_unique<Glyph>();
    Glyph& g = *slot;
    if (c < 0x20 || c == 0x7F) {
        return g;  // control characters take no room
    }
    // A glyph the cache does not hold opens the face, FreeType with it.
    Face* f = face();
    if (f == nullptr) {
        g.advance = c == ' ' ? em_ / 4 + 1 : em_ / 2;
        return g;
    }
    rasterise(*freetype_calls(), f->face, c, &g, embolden_);
    return g;
}

std::unique_ptr<Font> Font::open_bold() const {
    std::string bold_file;
    if (usable_) {
        const FontEngine& engine = shared().fonts;
        // The start's own face has its bold in the kept choice.
        bold_file = engine.face_looked_up && file_ == engine.face_file ? engine.bold_file
                                                                       : find_bold_face_in_font_folders(family_);
    }
    // The regular face's glyph size: the same letters, only bolder.
    std::unique_ptr<Font> font;
    if (!bold_file.empty()) {
        font = open_face(em_, bold_file, family_, glyph_em_, 0);
        font->bold_ = font->usable_;
    }
    if (font == nullptr || !font->bold_) {
        font = open_face(em_, file_.empty() ? last_resort_file : file_, family_, glyph_em_, 64);
        font->bold_ = font->embolden_ > 0;
    }
    return font;
}

}  // namespace gdi
