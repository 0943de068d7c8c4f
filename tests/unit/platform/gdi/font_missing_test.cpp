// Without any usable face the layer says so once, on standard error, and
// still measures text so that everything but the text is drawn.
#include <errno.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <unistd.h>

#include <string>

#include "platform/posix/gdi/font.h"

namespace {

// What the calls wrote to standard error.
template <typename Calls>
std::string standard_error_of(Calls calls) {
    fflush(stderr);
    FILE* capture = tmpfile();
    int saved = dup(STDERR_FILENO);
    dup2(fileno(capture), STDERR_FILENO);
    calls();
    fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::string text;
    rewind(capture);
    for (int c; (c = fgetc(capture)) != EOF;) {
        text += static_cast<char>(c);
    }
    fclose(capture);
    return text;
}

TEST(GdiFontMissing, SaysSoOnceOnOneLineAndStillMeasuresText) {
    std::unique_ptr<gdi::Font> first, second;
    std::string said = standard_error_of([&] {
        first = gdi::Font::open_file(11, "/nonexistent/face.ttf", "Nothing");
        second = gdi::Font::open_file(13, "/nonexistent/other.ttf", "Nothing");
    });
    EXPECT_EQ(said, std::string(program_invocation_short_name) + ": no usable font face found; text is not drawn\n");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->family(), "none");
    EXPECT_GT(first->height(), 0);
    EXPECT_GT(first->advance('A'), 0);
    EXPECT_GT(first->advance(' '), 0);
    EXPECT_TRUE(first->glyph('A').coverage.empty());
    EXPECT_GT(second->average_width(), 0);
}

TEST(GdiFontMissing, AUsableFaceSaysNothing) {
    std::unique_ptr<gdi::Font> font;
    std::string said = standard_error_of([&] { font = gdi::Font::open(11); });
    EXPECT_EQ(said, "");
    EXPECT_STRNE(font->family(), "none");
    EXPECT_FALSE(font->glyph('A').coverage.empty());
}

}  // namespace
