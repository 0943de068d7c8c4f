// The font cache's folder: files written whole through an exclusive aside
// file, marked used when read, aged out after a month of disuse, the folder
// tagged for backup tools; and the kept choice of faces, used only while
// everything it rests on is as it was.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/posix/gdi/cache_folder.h"
#include "platform/posix/gdi/face_choice.h"
#include "platform/posix/gdi/glyph_cache.h"

namespace {

const long long day = 24 * 60 * 60;

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

long long modified(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? info.st_mtime : -1;
}

void put(const std::string& path, const std::string& bytes, long long age_seconds) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    const time_t then = time(nullptr) - age_seconds;
    const struct timespec times[2] = {{then, 0}, {then, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct CacheFolder : ::testing::Test {
    std::string home, folder, saved;
    bool had_saved = false;

    void SetUp() override {
        char name[] = "/tmp/sorvane-cache-folder-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        home = name;
        if (const char* old = getenv("XDG_CACHE_HOME")) {
            saved = old;
            had_saved = true;
        }
        setenv("XDG_CACHE_HOME", home.c_str(), 1);
        folder = gdi::cache_folder();
        ASSERT_EQ(folder, home + "/sorvane");
        ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    }
    void TearDown() override {
        if (had_saved) {
            setenv("XDG_CACHE_HOME", saved.c_str(), 1);
        } else {
            unsetenv("XDG_CACHE_HOME");
        }
        ASSERT_EQ(system(("rm -rf " + home).c_str()), 0);
    }
    std::string at(const std::string& name) const { return folder + "/" + name; }
};

TEST_F(CacheFolder, AWriteAgesOutWhatWasNotUsedForAMonthAndTagsTheFolder) {
    const std::string aside_of_now = "glyphs-b.bin.99999.aside";
    const struct {
        const char* name;
        long long age;
        bool kept;
    } files[] = {
        {"glyphs-x86_64-old.bin", 31 * day, false},
        {"faces-x86_64-old.bin", 40 * day, false},
        {"glyphs-x86_64-used.bin", 29 * day, true},
        {"glyphs-a.bin.12345.aside", 2 * 60 * 60, false},  // a crash's
        {aside_of_now.c_str(), 0, true},                   // another writer's, now
        {"not-ours.bin", 400 * day, true},
    };
    for (const auto& f : files) {
        put(at(f.name), "x", f.age);
    }
    ASSERT_TRUE(gdi::write_cache_file(at("glyphs-new.bin"), "new"));
    for (const auto& f : files) {
        EXPECT_EQ(exists(at(f.name)), f.kept) << f.name;
    }
    EXPECT_EQ(contents(at("glyphs-new.bin")), "new");
    EXPECT_EQ(contents(at("CACHEDIR.TAG")).rfind("Signature: 8a477f597d28d172789f06886806bc55", 0), 0u);
}

TEST_F(CacheFolder, AFileReadIsMarkedUsedAtMostOnceADay) {
    put(at("glyphs-month.bin"), "kept", 29 * day);
    put(at("glyphs-hour.bin"), "kept", 60 * 60);
    const long long hour_before = modified(at("glyphs-hour.bin"));
    std::string read;
    ASSERT_TRUE(gdi::read_cache_file(at("glyphs-month.bin"), 100, &read));
    EXPECT_EQ(read, "kept");
    EXPECT_GT(modified(at("glyphs-month.bin")), time(nullptr) - day);
    ASSERT_TRUE(gdi::read_cache_file(at("glyphs-hour.bin"), 100, &read));
    EXPECT_EQ(modified(at("glyphs-hour.bin")), hour_before);
    // Too long, or not there: not read.
    EXPECT_FALSE(gdi::read_cache_file(at("glyphs-hour.bin"), 3, &read));
    EXPECT_FALSE(gdi::read_cache_file(at("glyphs-none.bin"), 100, &read));
}

TEST_F(CacheFolder, TheAsideFileIsExclusiveAndACrashsIsCleared) {
    const std::string target = at("glyphs-t.bin");
    const std::string aside = target + "." + std::to_string(getpid()) + ".aside";
    // Being written by someone else right now: left to them.
    put(aside, "theirs", 0);
    EXPECT_FALSE(gdi::write_cache_file(target, "mine"));
    EXPECT_FALSE(exists(target));
    EXPECT_EQ(contents(aside), "theirs");
    // Left by a crash an hour and more ago: removed, and the file written.
    put(aside, "crashed", 2 * 60 * 60);
    EXPECT_TRUE(gdi::write_cache_file(target, "mine"));
    EXPECT_EQ(contents(target), "mine");
    EXPECT_FALSE(exists(aside));
}

// The name holds the architecture; the key holds the render recipe, so
// glyphs made another way are not read.
TEST_F(CacheFolder, GlyphsMadeByAnotherRecipeOrForAnotherVariantAreNotRead) {
    put(at("face.ttf"), "only its identity is read", 0);
    gdi::GlyphCacheKey key;
    key.file = at("face.ttf");
    key.em = 11;
    key.recipe = 1;
    const std::string path = gdi::glyph_cache_path(key);
    EXPECT_NE(path.find(std::string("/glyphs-") + gdi::cache_architecture + "-"), std::string::npos);
    gdi::FaceMetrics metrics;
    metrics.glyph_em = 11;
    metrics.family = "Face";
    std::vector<std::unique_ptr<gdi::Glyph>> glyphs(256);
    gdi::write_glyph_cache(key, metrics, glyphs);
    gdi::FaceMetrics read;
    ASSERT_TRUE(gdi::read_glyph_cache(key, &read, &glyphs));
    EXPECT_EQ(read.family, "Face");
    gdi::GlyphCacheKey other = key;
    other.recipe = 2;
    EXPECT_EQ(gdi::glyph_cache_path(other), path);
    EXPECT_FALSE(gdi::read_glyph_cache(other, &read, &glyphs));
    for (auto change :
         {+[](gdi::GlyphCacheKey* k) { k->embolden = 64; }, +[](gdi::GlyphCacheKey* k) { k->scaled = 1408; },
          +[](gdi::GlyphCacheKey* k) { k->glyph_em = 10; }}) {
        other = key;
        change(&other);
        EXPECT_NE(gdi::glyph_cache_path(other), path);
        EXPECT_FALSE(gdi::read_glyph_cache(other, &read, &glyphs));
    }
}

TEST_F(CacheFolder, TheChoiceOfFacesHoldsOnlyWhileWhatItRestsOnIsAsItWas) {
    const std::string fonts = home + "/fonts";
    ASSERT_EQ(mkdir(fonts.c_str(), 0700), 0);
    put(fonts + "/face.ttf", "face", 60);
    gdi::FaceChoice choice;
    choice.regular = fonts + "/face.ttf";
    choice.family = "Face";
    choice.freetype_version[0] = 2;
    choice.depends = {fonts, fonts + "/face.ttf", home + "/absent-fonts"};
    const struct {
        const char* what;
        void (*change)(const std::string& home);
    } changes[] = {
        {"a face installed", [](const std::string& h) { put(h + "/fonts/new.ttf", "new", 0); }},
        {"the face changed", [](const std::string& h) { put(h + "/fonts/face.ttf", "other", 0); }},
        {"an absent folder made", [](const std::string& h) { mkdir((h + "/absent-fonts").c_str(), 0700); }},
        {"a configuration named", [](const std::string& h) { setenv("FONTCONFIG_FILE", (h + "/f.conf").c_str(), 1); }},
    };
    for (const auto& c : changes) {
        gdi::write_face_choice(choice);
        gdi::FaceChoice read;
        ASSERT_TRUE(gdi::read_face_choice(&read)) << c.what;
        EXPECT_EQ(read.regular, choice.regular);
        EXPECT_EQ(read.family, "Face");
        EXPECT_EQ(read.depends, choice.depends);
        EXPECT_EQ(read.freetype_version[0], 2);
        // Times are kept to the nanosecond, but a change within the
        // filesystem's step would go unseen: the change is made a step on.
        struct timespec pause = {0, 20 * 1000 * 1000};
        nanosleep(&pause, nullptr);
        c.change(home);
        EXPECT_FALSE(gdi::read_face_choice(&read)) << c.what;
    }
    unsetenv("FONTCONFIG_FILE");
}

}  // namespace
