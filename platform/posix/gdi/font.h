// Text faces rasterised with FreeType: metrics in the shape GDI reports them,
// and a cache of monochrome glyphs (coverage 0 or 255) for the 8-bit character
// set. A font the glyph cache holds opens without FreeType, which is loaded
// only for a glyph the cache does not hold.
#pragma once

#include <stdint.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace gdi {

struct FaceMetrics;
struct GlyphCacheKey;

struct Glyph {
    int left = 0;  // from the pen position to the first column
    int top = 0;   // from the baseline up to the first row
    int width = 0;
    int height = 0;
    int advance = 0;                // pen movement in whole pixels
    std::vector<uint8_t> coverage;  // width * height, 0 to 255
};

class Font {
  public:
    // A face of the classic user-interface family with an em of em_pixels;
    // never null. Without any usable face the font still measures text, with
    // blank glyphs of a plausible width.
    // The first time no face can be had, says so on standard error.
    static std::unique_ptr<Font> open(int em_pixels);
    // The same from a font file of the caller's choosing.
    static std::unique_ptr<Font> open_file(int em_pixels, const std::string& file, const std::string& family);
    ~Font();

    int height() const { return ascent_ + descent_; }
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int internal_leading() const { return height() - em_; }
    int average_width() const { return average_width_; }
    int max_width() const { return max_width_; }
    // The family actually used, for diagnostics.
    const char* family() const { return family_.c_str(); }

    const Glyph& glyph(unsigned char c) const;
    // Measured without rasterising where the glyph is not drawn yet.
    int advance(unsigned char c) const;

    // The same face rasterised for a device scale (quarters, see
    // device_scale.h): the glyph size this font chose, times the scale,
    // with the same monochrome rendering. Only its glyphs are for use;
    // text is laid out with this font's metrics. Itself at scale 1.
    const Font& at_scale(int quarters) const;

    // This font in bold, at its glyph size: the family's bold face from
    // the same font folders; without one this face widened a pixel by
    // FreeType; where neither can be had this face as it is, bold() false.
    std::unique_ptr<Font> open_bold() const;
    bool bold() const { return bold_; }

  private:
    Font() = default;
    // open_file's work; with fixed_glyph_em > 0 the glyphs are drawn at that
    // size and nothing is measured; embolden (26.6) widens them where the
    // face is scalable.
    static std::unique_ptr<Font> open_face(int em_pixels, const std::string& file, const std::string& family,
                                           int fixed_glyph_em, int embolden);
    struct Face;
    void take_metrics(const FaceMetrics& metrics);
    void settle_metrics();
    // Rasterises every cached character and writes them to the glyph cache.
    void fill_and_keep(const GlyphCacheKey& key, const FaceMetrics& metrics) const;
    // The FreeType face, opened on first need; null when it cannot be.
    Face* face() const;

    mutable std::unique_ptr<Face> face_;
    mutable bool face_tried_ = false;
    bool usable_ = false;  // the face gave (or the cache holds) its glyphs
    bool scalable_ = false;
    long scaled_size_ = 0;  // 26.6 pixels for a device scale, else 0
    std::string family_;
    std::string file_;
    int em_ = 11;
    int glyph_em_ = 11;  // the pixel size the glyphs are drawn at
    int ascent_ = 0;
    int descent_ = 0;
    int average_width_ = 0;
    int max_width_ = 0;
    bool bold_ = false;
    int embolden_ = 0;  // FreeType's widening, 26.6 device pixels; 0: none
    mutable std::vector<std::unique_ptr<Glyph>> cache_;
    mutable std::vector<std::pair<int, std::unique_ptr<Font>>> scaled_;
};

// How the face file is found, apart for tests: through the system's and the
// user's font folders alone, and through fontconfig's whole configuration.
// The file of the first wanted family there, and that family; empty when
// none is found.
std::string find_face_in_font_folders(std::string* family);
std::string find_face_in_configuration(std::string* family);
// The file of the family's bold upright face in those folders; empty when
// there is none.
std::string find_bold_face_in_font_folders(const std::string& family);

}  // namespace gdi
