// A display that lends the pixels it shows (as Wayland's shared buffers):
// the layer must draw the same picture into them as into its own, and never
// into a block the display is reading.
#include <gtest/gtest.h>

#include <list>
#include <vector>

#include "platform/posix/display/headless.h"
#include "tests/unit/platform/user/test_window.h"
#include "tests/unit/platform/user/tool_layout.h"

namespace {

constexpr uint32_t never_drawn = 0x00BADBAD;

// The display's side: the blocks it lent, the last of them the layer's, and
// what each held when the display took it to show.
struct Block {
    int width, height;
    std::vector<uint32_t> pixels;
    bool read = false;
    std::vector<uint32_t> when_read;
};

struct Lender {
    std::list<Block> blocks;
    Block* lent = nullptr;
    bool refuse = false;
};

Lender& lender() {
    static Lender l;
    return l;
}

uint32_t* lend(display::SurfaceId, int width, int height) {
    Lender& l = lender();
    if (l.refuse) {
        return nullptr;
    }
    const bool same = l.lent != nullptr && l.lent->width == width && l.lent->height == height;
    if (same && !l.lent->read) {
        return l.lent->pixels.data();
    }
    std::vector<uint32_t> start = same ? l.lent->pixels : std::vector<uint32_t>(size_t(width) * height, never_drawn);
    l.blocks.push_back(Block{width, height, std::move(start), false, {}});
    l.lent = &l.blocks.back();
    return l.lent->pixels.data();
}

// What a commit does: the display reads the block from now on.
void display_reads_lent() {
    Block* b = lender().lent;
    ASSERT_NE(b, nullptr);
    b->read = true;
    b->when_read = b->pixels;
}

void (*headless_destroy)(display::SurfaceId) = nullptr;

void destroy(display::SurfaceId id) {
    headless_destroy(id);
    lender() = Lender{};  // freed: a layer still drawing there is caught by the sanitizers
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

enum class Pixels { Own, Lent, Refused };

struct Picture {
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
};

Picture shown(HWND top) {
    Picture p;
    display::headless::pixels(reinterpret_cast<display::SurfaceId>(top), &p.pixels, &p.width, &p.height);
    return p;
}

class LentPixels : public user_test::UserTest {
  protected:
    // The tool's window drawn, shown, its first box checked and drawn
    // again, then made larger and drawn: each picture as presented.
    std::vector<Picture> draw(Pixels kind) {
        lender() = Lender{};
        lender().refuse = kind == Pixels::Refused;
        if (kind != Pixels::Own) {
            display::install(lending_backend());
        }
        std::vector<Picture> pictures;
        HWND top = user_test::make_top();
        HWND first = nullptr;
        int id = 0;
        for (const user_test::Child& c : user_test::tool_children) {
            HWND child = user_test::make_child(top, c.cls, c.text, c.style, c.x, c.y, c.width, c.height, id++);
            first = first != nullptr ? first : child;
        }
        user_test::run_script();
        pictures.push_back(shown(top));
        if (kind == Pixels::Lent) {
            display_reads_lent();
        }
        SendMessageA(first, BM_SETCHECK, BST_CHECKED, 0);
        user_test::run_script();
        pictures.push_back(shown(top));
        if (kind == Pixels::Lent) {
            display_reads_lent();
        }
        MoveWindow(top, 422, 492, 600, 360, TRUE);
        user_test::run_script();
        pictures.push_back(shown(top));
        if (kind == Pixels::Lent) {
            EXPECT_NE(lender().lent, nullptr);
            // Every pixel of the larger block drawn, and each block the
            // display read left as it was then.
            EXPECT_TRUE(lender().lent != nullptr && lender().lent->pixels == pictures.back().pixels);
            for (const Block& b : lender().blocks) {
                EXPECT_TRUE(!b.read || b.pixels == b.when_read) << b.width << " x " << b.height;
            }
            EXPECT_EQ(lender().blocks.size(), 3u);  // drawn once each at first, after the read, larger
        }
        DestroyWindow(top);
        return pictures;
    }
};

TEST_F(LentPixels, TheSamePicturesAsInTheLayersOwnPixelsAndNoneDrawnWhileRead) {
    const std::vector<Picture> own = draw(Pixels::Own);
    ASSERT_EQ(own.size(), 3u);
    EXPECT_NE(own[0].pixels, own[1].pixels);
    EXPECT_EQ(own[2].width, 600 - 6);
    for (Pixels kind : {Pixels::Lent, Pixels::Refused}) {
        const std::vector<Picture> other = draw(kind);
        ASSERT_EQ(other.size(), own.size());
        for (size_t i = 0; i < own.size(); i++) {
            EXPECT_EQ(other[i].pixels, own[i].pixels)
                << "picture " << i << (kind == Pixels::Lent ? ", lent" : ", refused");
            for (uint32_t p : other[i].pixels) {
                ASSERT_NE(p, never_drawn);
            }
        }
    }
}

}  // namespace
