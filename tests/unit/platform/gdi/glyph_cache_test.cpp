// Glyphs kept between runs: a font read from the cache is the font made
// without one, and a damaged or outdated cache is made anew, never used.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/posix/gdi/font.h"

namespace {

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Which file a name holds: a cache made anew is renamed over the old one.
ino_t inode(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

void expect_same(const gdi::Font& a, const gdi::Font& b) {
    EXPECT_EQ(a.ascent(), b.ascent());
    EXPECT_EQ(a.descent(), b.descent());
    EXPECT_EQ(a.average_width(), b.average_width());
    EXPECT_EQ(a.max_width(), b.max_width());
    EXPECT_STREQ(a.family(), b.family());
    for (int c = 0; c < 256; ++c) {
        const gdi::Glyph& x = a.glyph(static_cast<unsigned char>(c));
        const gdi::Glyph& y = b.glyph(static_cast<unsigned char>(c));
        ASSERT_EQ(x.advance, y.advance) << c;
        ASSERT_EQ(x.left, y.left) << c;
        ASSERT_EQ(x.top, y.top) << c;
        ASSERT_EQ(x.width, y.width) << c;
        ASSERT_EQ(x.height, y.height) << c;
        ASSERT_EQ(x.coverage, y.coverage) << c;
    }
}

struct GlyphCache : ::testing::Test {
    std::string folder, face, family, saved;
    bool had_saved = false;

    void SetUp() override {
        char name[] = "/tmp/sorvane-glyph-cache-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
        if (const char* old = getenv("XDG_CACHE_HOME")) {
            saved = old;
            had_saved = true;
        }
        setenv("XDG_CACHE_HOME", folder.c_str(), 1);
        // A copy of the face, whose time the test may change.
        std::string found = gdi::find_face_in_font_folders(&family);
        ASSERT_FALSE(found.empty());
        face = folder + "/face.ttf";
        std::ofstream(face, std::ios::binary) << contents(found);
    }
    void TearDown() override {
        if (had_saved) {
            setenv("XDG_CACHE_HOME", saved.c_str(), 1);
        } else {
            unsetenv("XDG_CACHE_HOME");
        }
        ASSERT_EQ(system(("rm -rf " + folder).c_str()), 0);
    }
    // The one glyph file there is, or empty.
    std::string cache_file() {
        std::string listed;
        FILE* ls = popen(("cd " + folder + "/sorvane && ls glyphs-* 2>/dev/null").c_str(), "r");
        for (int c; ls != nullptr && (c = fgetc(ls)) != EOF;) {
            listed += c == '\n' ? '\0' : static_cast<char>(c);
        }
        if (ls != nullptr) {
            pclose(ls);
        }
        return listed.empty() ? std::string() : folder + "/sorvane/" + listed.c_str();
    }
};

TEST_F(GlyphCache, AFontFromTheCacheIsTheFontMadeWithout) {
    auto made = gdi::Font::open_file(11, face, family);
    const std::string file = cache_file();
    ASSERT_FALSE(file.empty());
    const std::string written = contents(file);
    const ino_t first = inode(file);
    auto read = gdi::Font::open_file(11, face, family);
    expect_same(*made, *read);
    // Read, not made and written again.
    EXPECT_EQ(inode(file), first);
    EXPECT_EQ(contents(file), written);
}

TEST_F(GlyphCache, ADamagedOrOutdatedCacheIsMadeAnew) {
    auto made = gdi::Font::open_file(11, face, family);
    const std::string file = cache_file();
    const std::string written = contents(file);
    ASSERT_GT(written.size(), 200u);
    const struct {
        const char* what;
        std::string bytes;
    } damaged[] = {
        {"cut short", written.substr(0, written.size() / 2)},
        {"a byte changed", written.substr(0, 150) + static_cast<char>(written[150] ^ 1) + written.substr(151)},
        {"empty", ""},
    };
    for (const auto& d : damaged) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << d.bytes;
        auto again = gdi::Font::open_file(11, face, family);
        expect_same(*made, *again);
        EXPECT_EQ(contents(file), written) << d.what;
    }
    // The face file changed since: its time is part of what the cache serves.
    struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, face.c_str(), times, 0), 0);
    auto newer = gdi::Font::open_file(11, face, family);
    expect_same(*made, *newer);
    EXPECT_NE(contents(file), written);
    EXPECT_EQ(cache_file(), file);
}

}  // namespace
