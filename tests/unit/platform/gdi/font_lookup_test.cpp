// The face file is found through the font folders alone, as the whole
// fontconfig configuration would find it, and a face the user installed in
// their own font folder is found too.
#include <gtest/gtest.h>
#include <stdint.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/gdi/font.h"

namespace {

const char liberation_sans[] = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
const char liberation_sans_bold[] = "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf";
const char dejavu_sans_bold[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// The columns a glyph inks.
int inked_columns(const gdi::Glyph& g) {
    int columns = 0;
    for (int x = 0; x < g.width; ++x) {
        bool inked = false;
        for (int y = 0; y < g.height; ++y) {
            inked = inked || g.coverage[static_cast<size_t>(y) * g.width + x] != 0;
        }
        columns += inked;
    }
    return columns;
}

uint32_t read32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3];
}

void put16(std::vector<uint8_t>* b, uint32_t value) {
    b->push_back(static_cast<uint8_t>(value >> 8));
    b->push_back(static_cast<uint8_t>(value));
}

void write32(std::vector<uint8_t>* b, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        (*b)[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }
}

// A copy of a TrueType face whose name table says it is of another family:
// the new table goes at the end and the table directory points to it.
bool write_renamed_face(const char* from, const std::string& to, const std::string& family) {
    std::ifstream in(from, std::ios::binary);
    std::vector<uint8_t> font((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (font.size() < 12) {
        return false;
    }
    const std::string names[] = {family, "Regular", family, family};
    const uint16_t ids[] = {1, 2, 4, 6};
    std::vector<uint8_t> table, strings;
    put16(&table, 0);
    put16(&table, 4);
    put16(&table, 6 + 12 * 4);
    for (int i = 0; i < 4; ++i) {
        put16(&table, 3);       // Windows
        put16(&table, 1);       // Unicode BMP
        put16(&table, 0x409);   // English
        put16(&table, ids[i]);  // family, subfamily, full name, PostScript name
        put16(&table, static_cast<uint32_t>(names[i].size() * 2));
        put16(&table, static_cast<uint32_t>(strings.size()));
        for (char c : names[i]) {
            put16(&strings, static_cast<uint8_t>(c));
        }
    }
    table.insert(table.end(), strings.begin(), strings.end());
    font.resize((font.size() + 3) & ~size_t{3});
    const uint32_t at = static_cast<uint32_t>(font.size());
    font.insert(font.end(), table.begin(), table.end());
    const unsigned tables = font[4] << 8 | font[5];
    for (unsigned i = 0; i < tables; ++i) {
        const size_t record = 12 + 16 * i;
        if (read32(font, record) == 0x6E616D65) {  // 'name'
            write32(&font, record + 8, at);
            write32(&font, record + 12, static_cast<uint32_t>(table.size()));
            std::ofstream out(to, std::ios::binary);
            out.write(reinterpret_cast<const char*>(font.data()), static_cast<std::streamsize>(font.size()));
            return static_cast<bool>(out);
        }
    }
    return false;
}

// Sets an environment variable for the test's time.
class ScopedEnv {
  public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        const char* old = getenv(name);
        had_ = old != nullptr;
        old_ = had_ ? old : "";
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (had_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

  private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

// A home of its own whose font folder holds Liberation Sans renamed
// "Tahoma", the first family the lookup wants; removed with it.
struct FontHome {
    std::string home;
    std::string face;
    std::unique_ptr<ScopedEnv> env[3];

    FontHome() {
        char pattern[] = "/tmp/font_home_XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            return;
        }
        home = pattern;
        if (system(("mkdir -p '" + home + "/.fonts'").c_str()) != 0 ||
            !write_renamed_face(liberation_sans, home + "/.fonts/Classic.ttf", "Tahoma")) {
            return;
        }
        face = home + "/.fonts/Classic.ttf";
        env[0] = std::make_unique<ScopedEnv>("HOME", home);
        env[1] = std::make_unique<ScopedEnv>("XDG_DATA_HOME", home + "/.local/share");
        env[2] = std::make_unique<ScopedEnv>("XDG_CACHE_HOME", home + "/.cache");
    }
    ~FontHome() {
        if (!home.empty()) {
            EXPECT_EQ(system(("rm -rf '" + home + "'").c_str()), 0);
        }
    }
};

TEST(GdiFontLookup, TheFontFoldersAloneFindTheFaceTheWholeConfigurationFinds) {
    std::string lean_family, full_family;
    const std::string lean = gdi::find_face_in_font_folders(&lean_family);
    const std::string full = gdi::find_face_in_configuration(&full_family);
    ASSERT_FALSE(full.empty());
    EXPECT_EQ(lean, full);
    EXPECT_EQ(lean_family, full_family);
    // The installed packages give the classic dialog font's metrics.
    EXPECT_EQ(lean, liberation_sans);
}

TEST(GdiFontLookup, AFaceInTheUsersFontFolderIsFound) {
    const FontHome home;
    ASSERT_FALSE(home.face.empty());
    const std::string& face = home.face;

    std::string family;
    EXPECT_EQ(gdi::find_face_in_font_folders(&family), face);
    EXPECT_EQ(family, "Tahoma");
    // And the face it names draws.
    std::unique_ptr<gdi::Font> font = gdi::Font::open_file(11, face, family);
    EXPECT_STREQ(font->family(), "Tahoma");
    EXPECT_FALSE(font->glyph('A').coverage.empty());
}

// The caption's bold: the family's bold face from the same folders, or,
// for a family without one, its face widened a pixel by FreeType; the
// letters' size is the regular font's either way.
TEST(GdiFontLookup, TheBoldOfAFamilyIsItsBoldFaceOrItsFaceWidened) {
    EXPECT_EQ(gdi::find_bold_face_in_font_folders("Liberation Sans"), liberation_sans_bold);
    EXPECT_EQ(gdi::find_bold_face_in_font_folders("DejaVu Sans"), dejavu_sans_bold);
    EXPECT_EQ(gdi::find_bold_face_in_font_folders("No Such Family"), "");
    const auto regular = gdi::Font::open_file(11, liberation_sans, "Liberation Sans");
    const auto bold = regular->open_bold();
    EXPECT_FALSE(regular->bold());
    EXPECT_TRUE(bold->bold());
    EXPECT_STREQ(bold->family(), "Liberation Sans");
    EXPECT_GT(inked_columns(bold->glyph('l')), inked_columns(regular->glyph('l')));
    EXPECT_NEAR(bold->glyph('H').height, regular->glyph('H').height, 1);

    const FontHome home;
    ASSERT_FALSE(home.face.empty());
    const std::string& face = home.face;
    EXPECT_EQ(gdi::find_bold_face_in_font_folders("Tahoma"), "");
    const auto lone = gdi::Font::open_file(11, face, "Tahoma");
    const auto widened = lone->open_bold();
    EXPECT_TRUE(widened->bold());
    EXPECT_STREQ(widened->family(), "Tahoma");
    EXPECT_EQ(inked_columns(widened->glyph('l')), inked_columns(lone->glyph('l')) + 1);
    EXPECT_EQ(widened->advance('l'), lone->advance('l') + 1);
    EXPECT_EQ(widened->glyph('H').height, lone->glyph('H').height);
}

}  // namespace
