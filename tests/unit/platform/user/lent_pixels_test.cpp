// A display that lends the pixels it shows (as Wayland's shared buffers):
// the layer must draw the same pictures into them as into its own, and
// never into a block the display is reading.
#include <gtest/gtest.h>

#include <list>
#include <vector>

#include "platform/posix/display/headless.h"
#include "tests/unit/platform/user/test_window.h"
#include "tests/unit/platform/user/tool_layout.h"

namespace {

constexpr uint32_t never_drawn = 0x00BADBAD;

struct Block {
    int width, height;
    std::vector<uint32_t> pixels, when_read;  // when_read: taken by the display
};

std::list<Block> blocks;  // the last one is the layer's
bool refusing = false;

uint32_t* lend(display::SurfaceId, int width, int height) {
    Block* last = blocks.empty() ? nullptr : &blocks.back();
    const bool same = last != nullptr && last->width == width && last->height == height;
    if (refusing || (same && last->when_read.empty())) {
        return refusing ? nullptr : last->pixels.data();
    }
    blocks.push_back(
        Block{width, height, same ? last->pixels : std::vector<uint32_t>(size_t(width) * height, never_drawn), {}});
    return blocks.back().pixels.data();
}

void (*headless_destroy)(display::SurfaceId) = nullptr;

void destroy(display::SurfaceId id) {
    headless_destroy(id);
    blocks.clear();  // a layer still drawing there is caught by the sanitizers
}

const display::Backend* lending_backend() {
    static display::Backend b = [] {
        display::Backend with = display::headless::backend();
        with.capabilities |= display::lends_pixels;
        with.lend_pixels = lend;
        headless_destroy = with.destroy_surface;
        with.destroy_surface = destroy;
        return with;
    }();
    return &b;
}

using LentPixels = user_test::UserTest;

// The tool's window drawn, its first box checked and drawn again, then made
// larger and drawn: each picture as presented, the display reading the
// block after each when it lends them.
std::vector<std::vector<uint32_t>> draw(bool lent) {
    std::vector<std::vector<uint32_t>> pictures;
    HWND top = user_test::make_top();
    HWND first = nullptr;
    int id = 0;
    for (const user_test::Child& c : user_test::tool_children) {
        HWND child = user_test::make_child(top, c.cls, c.text, c.style, c.x, c.y, c.width, c.height, id++);
        first = first != nullptr ? first : child;
    }
    const auto shown = [&] {
        user_test::run_script();
        std::vector<uint32_t> pixels;
        int width = 0, height = 0;
        display::headless::pixels(reinterpret_cast<display::SurfaceId>(top), &pixels, &width, &height);
        pictures.push_back(pixels);
        if (lent && !blocks.empty()) {
            EXPECT_EQ(blocks.back().pixels, pixels);
            blocks.back().when_read = pixels;
        }
    };
    shown();
    SendMessageA(first, BM_SETCHECK, BST_CHECKED, 0);
    shown();
    MoveWindow(top, 422, 492, 600, 360, TRUE);
    shown();
    for (const Block& b : blocks) {
        EXPECT_EQ(b.pixels, b.when_read) << "drawn into while read: " << b.width << " x " << b.height;
    }
    EXPECT_EQ(blocks.size(), lent ? 3u : 0u);
    DestroyWindow(top);
    return pictures;
}

TEST_F(LentPixels, TheSamePicturesAsInTheLayersOwnPixelsAndNoneDrawnWhileRead) {
    const std::vector<std::vector<uint32_t>> own = draw(false);
    ASSERT_EQ(own.size(), 3u);
    EXPECT_NE(own[0], own[1]);
    for (bool refuse : {false, true}) {
        blocks.clear();
        refusing = refuse;
        display::install(lending_backend());
        EXPECT_EQ(draw(!refuse), own) << (refuse ? "refused" : "lent");
    }
    refusing = false;
}

}  // namespace
