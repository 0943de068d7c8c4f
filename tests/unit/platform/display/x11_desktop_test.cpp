// The X11 backend as a desktop sees it: the scale a high-DPI desktop asks
// for, the window's identity and the title's encoding.
#include <gtest/gtest.h>

#include "tests/unit/platform/display/x11_server.h"

namespace {
constexpr display::InputKind no_input = display::InputKind::None;
}  // namespace

// After GoogleTest: Xlib's macros would hide its names.
#include "platform/posix/display/x11/connection.h"

#include "platform/posix/display/cp1252.h"

#include <string.h>
#include <unistd.h>

#include <chrono>
#include <vector>

namespace {

using display::Input;
using display::InputKind;

TEST(X11DesktopScale, ComesFromGdkScaleElseFromXftDpiToTheStepAbove) {
    using display::x11::desktop_quarters;
    EXPECT_EQ(desktop_quarters(nullptr, nullptr), 4);
    EXPECT_EQ(desktop_quarters(nullptr, ""), 4);
    EXPECT_EQ(desktop_quarters(nullptr, "Xft.dpi:\t96\n"), 4);
    EXPECT_EQ(desktop_quarters(nullptr, "Xft.dpi:\t120\n"), 5);
    EXPECT_EQ(desktop_quarters(nullptr, "Xft.dpi:\t144\n"), 6);
    EXPECT_EQ(desktop_quarters(nullptr, "Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n"), 8);
    EXPECT_EQ(desktop_quarters(nullptr, "Xft.dpi: 288"), 12);
    EXPECT_EQ(desktop_quarters(nullptr, "Xft.dpi:\t191.5\n"), 8);
    EXPECT_EQ(desktop_quarters(nullptr, "MyXft.dpi:\t192\n*dpi:\t192\n"), 4);
    EXPECT_EQ(desktop_quarters(nullptr, "Xft.dpi:\tlarge\n"), 4);
    EXPECT_EQ(desktop_quarters(nullptr, "Xft.dpi:\t-192\n"), 4);
    EXPECT_EQ(desktop_quarters(nullptr, "Xft.dpi:\t1e9\n"), 4);
    // GDK_SCALE wins when it is a whole number.
    EXPECT_EQ(desktop_quarters("3", "Xft.dpi:\t192\n"), 12);
    EXPECT_EQ(desktop_quarters("1", "Xft.dpi:\t192\n"), 4);
    EXPECT_EQ(desktop_quarters("", "Xft.dpi:\t192\n"), 8);
    EXPECT_EQ(desktop_quarters("two", "Xft.dpi:\t192\n"), 8);
    EXPECT_EQ(desktop_quarters("0", nullptr), 4);
    EXPECT_EQ(desktop_quarters("2x", nullptr), 4);
    EXPECT_EQ(desktop_quarters("100", nullptr), 16);
}

TEST(X11DesktopTitles, Windows1252BecomesUtf8) {
    using display::utf8_of_cp1252;
    EXPECT_EQ(utf8_of_cp1252(""), "");
    EXPECT_EQ(utf8_of_cp1252("Plain"), "Plain");
    EXPECT_EQ(utf8_of_cp1252("Caf\xE9 \xFF"), "Caf\xC3\xA9 \xC3\xBF");
    EXPECT_EQ(utf8_of_cp1252("\x80\x99\x9F"), "\xE2\x82\xAC\xE2\x84\xA2\xC5\xB8");
    EXPECT_EQ(utf8_of_cp1252("\x81\x8D"), "\xC2\x81\xC2\x8D");
}

TEST(X11DesktopIcon, IsAWindowWithACaptionOnAClearGround) {
    for (int size : {16, 32, 48}) {
        std::vector<uint32_t> pixels(size * size);
        display::draw_default_icon(size, pixels.data());
        auto at = [&](int x, int y) { return pixels[y * size + x]; };
        EXPECT_EQ(at(0, 0) >> 24, 0u) << size;                       // a clear corner
        EXPECT_EQ(at(size / 2, size / 8), 0xFF000000u) << size;      // the frame's top
        EXPECT_EQ(at(size / 2, size / 4), 0xFF000080u) << size;      // the caption
        EXPECT_EQ(at(size / 2, size * 3 / 4), 0xFFFFFFFFu) << size;  // the body
    }
}

class X11Desktop : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!x11_test::have_program("Xvfb")) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
        display::x11::close();
        ASSERT_TRUE(server_.start());
        view_ = XOpenDisplay(server_.name.c_str());
        ASSERT_NE(view_, nullptr);
    }

    void TearDown() override {
        display::x11::close();
        if (view_ != nullptr) {
            XCloseDisplay(view_);
        }
        server_.stop();
        unsetenv("GDK_SCALE");
    }

    // As the server holds it; unsynced, without first sending what the
    // backend keeps back.
    std::vector<unsigned long> property(Window window, const char* name, Atom* type_out = nullptr, bool synced = true) {
        if (synced) {
            display::x11::sync();
        }
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        std::vector<unsigned long> values;
        if (XGetWindowProperty(view_, window, XInternAtom(view_, name, False), 0, 1 << 20, False, AnyPropertyType,
                               &type, &format, &count, &after, &data) != Success ||
            data == nullptr) {
            return values;
        }
        for (unsigned long i = 0; i < count; i++) {
            values.push_back(format == 32   ? reinterpret_cast<unsigned long*>(data)[i]
                             : format == 16 ? reinterpret_cast<unsigned short*>(data)[i]
                                            : data[i]);
        }
        if (type_out != nullptr) {
            *type_out = type;
        }
        XFree(data);
        return values;
    }

    std::string text_property(Window window, const char* name) {
        std::string text;
        for (unsigned long byte : property(window, name)) {
            text += static_cast<char>(byte);
        }
        return text;
    }

    Input wait_for(display::SurfaceId id, InputKind kind) {
        Input input;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline && display::x11::next_input_within(&input, 200)) {
            if (input.kind == kind && input.surface == id) {
                return input;
            }
        }
        return Input();
    }

    x11_test::Server server_;
    Display* view_ = nullptr;
};

// The window's own icon, and how often the backend took it.
const display::IconPicture* given_icon = nullptr;
int icon_asked = 0;
const display::IconSource icon_source = {[](display::SurfaceId, const display::IconPicture** pictures) {
    ++icon_asked;
    *pictures = given_icon;
    return 2;
}};

TEST_F(X11Desktop, AWindowNamesItsProgramProcessMachineAndIcon) {
    const display::Backend* backend = x11_test::open_backend(server_.name);
    ASSERT_NE(backend, nullptr);
    ASSERT_TRUE(backend->create_surface(1, "\x80 Caf\xE9", 10, 10, 40, 30, false));
    Window window = display::x11::window_of(1);
    display::x11::sync();

    XClassHint hint;
    ASSERT_TRUE(XGetClassHint(view_, window, &hint));
    EXPECT_STREQ(hint.res_name, "sorvane");
    EXPECT_STREQ(hint.res_class, display::application_id);
    XFree(hint.res_name);
    XFree(hint.res_class);

    EXPECT_EQ(property(window, "_NET_WM_PID"), std::vector<unsigned long>{static_cast<unsigned long>(getpid())});
    char host[256] = "";
    gethostname(host, sizeof host - 1);
    EXPECT_EQ(text_property(window, "WM_CLIENT_MACHINE"), host);
    EXPECT_EQ(text_property(window, "_NET_WM_NAME"), "\xE2\x82\xAC Caf\xC3\xA9");
    EXPECT_EQ(text_property(window, "WM_NAME"), "? Caf\xE9");

    // No icon until the window is mapped, then the default's three, each
    // its width and height and then its pixels.
    EXPECT_TRUE(property(window, "_NET_WM_ICON").empty());
    backend->show_surface(1, true);
    display::x11::sync();
    std::vector<unsigned long> icon = property(window, "_NET_WM_ICON");
    std::vector<unsigned long> sizes;
    for (size_t at = 0; at + 2 <= icon.size(); at += 2 + icon[at] * icon[at + 1]) {
        EXPECT_EQ(icon[at], icon[at + 1]);
        sizes.push_back(icon[at]);
    }
    EXPECT_EQ(sizes, (std::vector<unsigned long>{16, 32, 48}));
    EXPECT_EQ(icon.size(), 6 + 16 * 16 + 32 * 32 + 48 * 48u);

    // The window's own icon in its place, every picture as it was given.
    std::vector<uint32_t> small(16 * 16, 0xFF000080u), large(24 * 24, 0x00000000u);
    large[24 * 23 + 23] = 0xFF800000u;
    const display::IconPicture pictures[] = {{16, small.data()}, {24, large.data()}};
    given_icon = pictures;
    backend->set_icon(1, &icon_source);
    display::x11::sync();
    icon = property(window, "_NET_WM_ICON");
    for (unsigned long& value : icon) {
        value &= 0xFFFFFFFFu;  // Xlib hands format 32 back sign-extended
    }
    std::vector<unsigned long> expected;
    for (const display::IconPicture& picture : pictures) {
        expected.push_back(static_cast<unsigned long>(picture.side));
        expected.push_back(static_cast<unsigned long>(picture.side));
        expected.insert(expected.end(), picture.pixels, picture.pixels + picture.side * picture.side);
    }
    EXPECT_EQ(icon, expected);

    // A window given its icon before it is mapped keeps it: no default on top.
    ASSERT_TRUE(backend->create_surface(2, "own icon", 10, 10, 40, 30, false));
    icon_asked = 0;
    backend->set_icon(2, &icon_source);
    backend->show_surface(2, true);
    // Nothing of it is taken or goes out before the program's first frame does.
    EXPECT_TRUE(property(display::x11::window_of(2), "_NET_WM_ICON", nullptr, false).empty());
    EXPECT_EQ(icon_asked, 0);
    display::x11::sync();
    icon = property(display::x11::window_of(2), "_NET_WM_ICON");
    for (unsigned long& value : icon) {
        value &= 0xFFFFFFFFu;
    }
    EXPECT_EQ(icon, expected);
    backend->destroy_surface(2);
    backend->destroy_surface(1);
}

// The window layer draws at the desktop's scale; the backend reports it and
// then deals in server pixels alone: no image is scaled, no point divided.
TEST_F(X11Desktop, AScaledDesktopIsReportedAndItsPixelsPresentedAsTheyAre) {
    setenv("GDK_SCALE", "2", 1);
    const display::Backend* backend = x11_test::open_backend(server_.name);
    ASSERT_NE(backend, nullptr);
    ASSERT_NE(backend->device_quarters, nullptr);
    EXPECT_EQ(backend->device_quarters(0), 8);
    int width = 0, height = 0;
    backend->screen_size(&width, &height);
    EXPECT_EQ(width, 1280);
    EXPECT_EQ(height, 1024);

    ASSERT_TRUE(backend->create_surface(2, "", 40, 60, 100, 80, false));
    Window window = display::x11::window_of(2);
    backend->show_surface(2, true);
    ASSERT_EQ(wait_for(2, display::x11::expose_input).kind, display::x11::expose_input);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(view_, window, &attributes));
    EXPECT_EQ(attributes.width, 100);
    EXPECT_EQ(attributes.height, 80);
    Window child;
    int x = 0, y = 0;
    XTranslateCoordinates(view_, window, DefaultRootWindow(view_), 0, 0, &x, &y, &child);
    EXPECT_EQ(x, 40);
    EXPECT_EQ(y, 60);
    XSizeHints hints;
    long supplied;
    ASSERT_TRUE(XGetWMNormalHints(view_, window, &hints, &supplied));
    EXPECT_EQ(hints.min_width, 100);
    EXPECT_EQ(hints.max_height, 80);

    std::vector<uint32_t> pixels(100 * 80);
    for (int i = 0; i < 100 * 80; i++) {
        pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;
    }
    backend->present(2, {pixels.data(), 100, 80, 100}, 0, 0, 100, 80);
    display::x11::sync();
    XImage* image = XGetImage(view_, window, 0, 0, 100, 80, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    int wrong = 0;
    for (int row = 0; row < 80; row++) {
        for (int column = 0; column < 100; column++) {
            wrong += (XGetPixel(image, column, row) & 0xFFFFFF) != pixels[row * 100 + column];
        }
    }
    XDestroyImage(image);
    EXPECT_EQ(wrong, 0);

    std::string command =
        "DISPLAY=" + server_.name + " xdotool mousemove --window " + std::to_string(window) + " 31 41 click 1";
    ASSERT_EQ(system(command.c_str()), 0);
    Input down = wait_for(2, InputKind::ButtonDown);
    EXPECT_EQ(down.x, 31);
    EXPECT_EQ(down.y, 41);

    XClearArea(view_, window, 3, 5, 2, 2, True);
    XFlush(view_);
    Input exposed = wait_for(2, display::x11::expose_input);
    EXPECT_EQ(exposed.x, 3);
    EXPECT_EQ(exposed.y, 5);
    EXPECT_EQ(exposed.width, 2);
    EXPECT_EQ(exposed.height, 2);
    backend->destroy_surface(2);
}

TEST_F(X11Desktop, AnOwnedSurfaceIsADialogAndModalWhileAsked) {
    const display::Backend* backend = x11_test::open_backend(server_.name);
    ASSERT_NE(backend, nullptr);
    ASSERT_TRUE(backend->create_surface(3, "owner", 10, 10, 40, 30, false));
    ASSERT_TRUE(backend->create_surface(4, "box", 20, 20, 20, 10, false));
    Window owner = display::x11::window_of(3), box = display::x11::window_of(4);
    display::x11::set_owner(4, 3);
    display::x11::set_owner(4, 99);  // no such surface: nothing changes
    display::x11::set_modal(4, true);
    display::x11::sync();
    Window transient_for = 0;
    ASSERT_TRUE(XGetTransientForHint(view_, box, &transient_for));
    EXPECT_EQ(transient_for, owner);
    EXPECT_EQ(property(box, "_NET_WM_WINDOW_TYPE"),
              std::vector<unsigned long>{XInternAtom(view_, "_NET_WM_WINDOW_TYPE_DIALOG", False)});
    std::vector<unsigned long> modal = {XInternAtom(view_, "_NET_WM_STATE_MODAL", False),
                                        XInternAtom(view_, "_NET_WM_STATE_SKIP_TASKBAR", False)};
    EXPECT_EQ(property(box, "_NET_WM_STATE"), modal);
    EXPECT_TRUE(property(owner, "_NET_WM_STATE").empty());
    EXPECT_FALSE(XGetTransientForHint(view_, owner, &transient_for));
    display::x11::set_modal(4, false);
    EXPECT_TRUE(property(box, "_NET_WM_STATE").empty());
    backend->destroy_surface(4);
    backend->destroy_surface(3);
}

TEST_F(X11Desktop, AWindowMadeLargerShowsTheBackgroundBeyondTheClientArea) {
    const display::Backend* backend = x11_test::open_backend(server_.name);
    ASSERT_NE(backend, nullptr);
    ASSERT_TRUE(backend->create_surface(5, "", 10, 10, 40, 30, true));
    display::x11::set_background(5, 0xD4D0C8);
    Window window = display::x11::window_of(5);
    backend->show_surface(5, true);
    ASSERT_EQ(wait_for(5, display::x11::expose_input).kind, display::x11::expose_input);
    std::vector<uint32_t> white(40 * 30, 0xFFFFFF);
    backend->present(5, {white.data(), 40, 30, 40}, 0, 0, 40, 30);

    // As a tiling window manager would: the client area stays 40 x 30.
    XResizeWindow(view_, window, 70, 50);
    XFlush(view_);
    Input exposed;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    display::x11::sync();
    while (std::chrono::steady_clock::now() < deadline && display::x11::next_input_within(&exposed, 100)) {
        if (exposed.kind == no_input) {
            break;
        }
        // Only the client area's part of an exposure reaches the window layer.
        if (exposed.kind == display::x11::expose_input) {
            EXPECT_LE(exposed.x + exposed.width, 40);
            EXPECT_LE(exposed.y + exposed.height, 30);
        }
    }
    display::x11::sync();
    XImage* image = XGetImage(view_, window, 0, 0, 70, 50, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    int wrong = 0;
    for (int y = 0; y < 50; y++) {
        for (int x = 0; x < 70; x++) {
            unsigned long want = x < 40 && y < 30 ? 0xFFFFFF : 0xD4D0C8;
            wrong += (XGetPixel(image, x, y) & 0xFFFFFF) != want;
        }
    }
    XDestroyImage(image);
    EXPECT_EQ(wrong, 0);
    backend->destroy_surface(5);
}

TEST_F(X11Desktop, AMoveByAnotherClientIsReportedOnceInRootCoordinates) {
    const display::Backend* backend = x11_test::open_backend(server_.name);
    ASSERT_NE(backend, nullptr);
    ASSERT_TRUE(backend->create_surface(6, "", 10, 20, 40, 30, false));
    Window window = display::x11::window_of(6);
    backend->show_surface(6, true);
    ASSERT_EQ(wait_for(6, display::x11::expose_input).kind, display::x11::expose_input);

    // The layer's own move comes back as no news.
    backend->move_surface(6, 30, 40, 40, 30);
    XMoveWindow(view_, window, 200, 150);
    XFlush(view_);
    Input moved = wait_for(6, InputKind::Moved);
    EXPECT_EQ(moved.x, 200);  // not 30, 40 first
    EXPECT_EQ(moved.y, 150);

    // A window manager's synthetic notice is in root coordinates whatever
    // the parent; the same place twice is told once.
    XEvent notice = {};
    notice.xconfigure.type = ConfigureNotify;
    notice.xconfigure.event = window;
    notice.xconfigure.window = window;
    notice.xconfigure.x = 321;
    notice.xconfigure.y = 123;
    notice.xconfigure.width = 40;
    notice.xconfigure.height = 30;
    XSendEvent(view_, window, False, StructureNotifyMask, &notice);
    XSendEvent(view_, window, False, StructureNotifyMask, &notice);
    XFlush(view_);
    std::vector<Input> moves;
    Input input;
    display::x11::sync();
    while (display::x11::next_input_within(&input, 200) && input.kind != no_input) {
        if (input.kind == InputKind::Moved) {
            moves.push_back(input);
        }
    }
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].x, 321);
    EXPECT_EQ(moves[0].y, 123);
    backend->destroy_surface(6);
}

}  // namespace
