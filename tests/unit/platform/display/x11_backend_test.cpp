// The X11 backend against a private Xvfb, driven with xdotool as a player
// would drive the tool.
#include <gtest/gtest.h>

#include "platform/posix/display/x11/x11.h"

// GoogleTest and these names come before Xlib, whose macros would hide them.
namespace {
constexpr display::InputKind no_input = display::InputKind::None;
constexpr display::InputKind expose_input = display::InputKind::Expose;
constexpr display::InputKind focus_in_input = display::InputKind::FocusIn;
constexpr display::InputKind focus_out_input = display::InputKind::FocusOut;
}  // namespace

#include "platform/posix/display/x11/connection.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "platform/posix/win32_user.h"
#include "tests/unit/platform/display/x11_server.h"

namespace {

using display::Input;
using display::InputKind;
using display::SurfaceId;
using x11_test::have_program;
using x11_test::open_backend;
using x11_test::Server;

const int wait_ms = 5000;
const int marker_x = 31337;  // x of the synthetic Expose that ends a batch

class X11Backend : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!have_program("Xvfb") || !server_.start()) {
            return;
        }
        backend_ = open_backend(server_.name);
        view_ = XOpenDisplay(server_.name.c_str());
    }

    static void TearDownTestSuite() {
        if (view_ != nullptr) {
            XCloseDisplay(view_);
            view_ = nullptr;
        }
        display::x11::close();
        backend_ = nullptr;
        server_.stop();
    }

    void SetUp() override {
        if (!have_program("Xvfb")) {
            GTEST_SKIP() << "Xvfb is not installed";
        }
        ASSERT_NE(server_.pid, -1) << "Xvfb did not start";
        ASSERT_NE(backend_, nullptr);
        ASSERT_NE(view_, nullptr);
    }

    void TearDown() override {
        for (SurfaceId id : made_) {
            backend_->destroy_surface(id);
        }
    }

    // A shown surface whose first Expose has been taken.
    Window shown_surface(SurfaceId id, int x, int y, int width, int height, bool resizable = false) {
        EXPECT_TRUE(backend_->create_surface(id, "test", x, y, width, height, resizable));
        made_.push_back(id);
        backend_->show_surface(id, true);
        EXPECT_TRUE(wait_for(id, expose_input).kind == expose_input);
        return display::x11::window_of(id);
    }

    // The next input of that kind for the surface, skipping others; kind
    // None after the wait.
    Input wait_for(SurfaceId id, InputKind kind) {
        Input input;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
        while (std::chrono::steady_clock::now() < deadline) {
            if (!display::x11::next_input_within(&input, 200)) {
                break;
            }
            if (input.kind == kind && input.surface == id) {
                return input;
            }
        }
        return Input();
    }

    // Everything that reached the surface until a marker event sent after
    // the action: the server delivers in order, so nothing is left behind.
    std::vector<Input> inputs_until_marker(SurfaceId id) {
        XEvent marker = {};
        marker.xexpose.type = Expose;
        marker.xexpose.window = display::x11::window_of(id);
        marker.xexpose.x = marker_x;
        marker.xexpose.width = 1;
        marker.xexpose.height = 1;
        XSendEvent(view_, marker.xexpose.window, False, ExposureMask, &marker);
        XSync(view_, False);
        std::vector<Input> inputs;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
        Input input;
        std::string seen;
        while (std::chrono::steady_clock::now() < deadline && display::x11::next_input_within(&input, 200)) {
            if (input.kind == expose_input && input.x == marker_x) {
                return inputs;
            }
            if (input.kind != no_input && input.surface == id) {
                inputs.push_back(input);
            }
            if (input.kind != no_input) {
                seen += " " + std::to_string(static_cast<int>(input.kind)) + "@" + std::to_string(input.surface) + ":" +
                        std::to_string(input.x);
            }
        }
        ADD_FAILURE() << "the marker never arrived; seen:" << seen;
        return inputs;
    }

    // The surface's key inputs caused by an xdotool command.
    std::vector<Input> keys_from(SurfaceId id, const std::string& arguments) {
        xdotool(arguments);
        std::vector<Input> keys;
        for (const Input& input : inputs_until_marker(id)) {
            if (input.kind == InputKind::KeyDown || input.kind == InputKind::KeyUp) {
                keys.push_back(input);
            }
        }
        return keys;
    }

    void xdotool(const std::string& arguments) {
        std::string command = "DISPLAY=" + server_.name + " xdotool " + arguments;
        ASSERT_EQ(system(command.c_str()), 0) << command;
    }

    uint32_t pixel_at(Window window, int x, int y) {
        display::x11::sync();
        XImage* image = XGetImage(view_, window, x, y, 1, 1, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return 0xFFFFFFFF;
        }
        uint32_t pixel = static_cast<uint32_t>(XGetPixel(image, 0, 0));
        XDestroyImage(image);
        return pixel & 0xFFFFFF;
    }

    // Counts the pixels of the window that differ from what `expected` says.
    template <typename Expected>
    int mismatches(Window window, int width, int height, Expected expected) {
        display::x11::sync();
        XImage* image = XGetImage(view_, window, 0, 0, width, height, AllPlanes, ZPixmap);
        if (image == nullptr) {
            return width * height;
        }
        int wrong = 0;
        for (int y = 0; y < height; y++) {
            for (int x = 0; x < width; x++) {
                wrong += (XGetPixel(image, x, y) & 0xFFFFFF) != expected(x, y);
            }
        }
        XDestroyImage(image);
        return wrong;
    }

    std::string property_bytes(Window window, const char* name) {
        display::x11::sync();
        Atom atom = XInternAtom(view_, name, False);
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(view_, window, atom, 0, 1024, False, AnyPropertyType, &type, &format, &count, &after,
                               &data) != Success ||
            data == nullptr) {
            return "";
        }
        std::string bytes(reinterpret_cast<char*>(data), count);
        XFree(data);
        return bytes;
    }

    static Server server_;
    static const display::Backend* backend_;
    static Display* view_;  // the test's own connection, to look and to send
    std::vector<SurfaceId> made_;
};

Server X11Backend::server_;
const display::Backend* X11Backend::backend_ = nullptr;
Display* X11Backend::view_ = nullptr;

uint32_t pattern(int x, int y) {
    return static_cast<uint32_t>((x * 5 & 0xFF) << 16 | (y * 3 & 0xFF) << 8 | ((x ^ y) & 0xFF));
}

TEST_F(X11Backend, OpensMapsAndPresentsAKnownPattern) {
    // Measured from a fresh connection; the time is reported, not asserted.
    display::x11::close();
    auto start = std::chrono::steady_clock::now();
    backend_ = open_backend(server_.name);
    ASSERT_NE(backend_, nullptr);
    Window window = shown_surface(10, 40, 50, 240, 160);
    std::vector<uint32_t> pixels(240 * 160);
    for (int y = 0; y < 160; y++) {
        for (int x = 0; x < 240; x++) {
            pixels[y * 240 + x] = pattern(x, y);
        }
    }
    backend_->present(10, {pixels.data(), 240, 160, 240}, 0, 0, 240, 160);
    EXPECT_EQ(pixel_at(window, 239, 159), pattern(239, 159));
    auto elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    printf("open_x11 to a mapped, presented surface: %.1f ms\n", elapsed);
    EXPECT_EQ(mismatches(window, 240, 160, pattern), 0);
}

TEST_F(X11Backend, PresentsOnlyTheDirtyRectangleClippedToTheSurface) {
    Window window = shown_surface(11, 60, 60, 100, 80);
    // A frame wider than the window, with a stride wider than the frame.
    const int stride = 130, width = 120, height = 90;
    std::vector<uint32_t> grey(stride * height, 0x808080);
    backend_->present(11, {grey.data(), width, height, stride}, -50, -50, 1000, 1000);
    std::vector<uint32_t> mixed(stride * height);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < stride; x++) {
            mixed[y * stride + x] = pattern(x, y);
        }
    }
    backend_->present(11, {mixed.data(), width, height, stride}, 10, 20, 30, 40);
    EXPECT_EQ(mismatches(window, 100, 80,
                         [](int x, int y) {
                             bool dirty = x >= 10 && x < 40 && y >= 20 && y < 60;
                             return dirty ? pattern(x, y) : 0x808080u;
                         }),
              0);
    // Nothing of a rectangle outside the window is drawn, and nothing breaks.
    backend_->present(11, {mixed.data(), width, height, stride}, 100, 0, 20, 80);
    backend_->present(11, {mixed.data(), width, height, stride}, 0, 0, 0, 0);
    EXPECT_EQ(pixel_at(window, 99, 0), 0x808080u);
}

TEST_F(X11Backend, GathersPresentedAreasUntilTheProgramWaitsForInput) {
    Window window = shown_surface(13, 60, 60, 100, 80);
    std::vector<uint32_t> frame(100 * 80, 0x808080);
    backend_->present(13, {frame.data(), 100, 80, 100}, 0, 0, 100, 80);
    display::x11::sync();
    // Ten squares apart, drawn and presented one at a time, as controls are:
    // more areas than are kept apart, so some are merged.
    auto in_square = [](int x, int y) { return x % 10 < 6 && y % 40 < 6 && (x / 10) % 2 == (y / 40); };
    for (int i = 0; i < 10; i++) {
        for (int y = (i % 2) * 40; y < (i % 2) * 40 + 6; y++) {
            for (int x = i * 10; x < i * 10 + 6; x++) {
                frame[y * 100 + x] = pattern(x, y);
            }
        }
        backend_->present(13, {frame.data(), 100, 80, 100}, i * 10, (i % 2) * 40, 6, 6);
    }
    XSync(view_, False);
    XImage* before = XGetImage(view_, window, 0, 0, 1, 1, AllPlanes, ZPixmap);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(XGetPixel(before, 0, 0) & 0xFFFFFF, 0x808080u);  // not sent yet
    XDestroyImage(before);

    Input input;
    ASSERT_TRUE(display::x11::next_input_within(&input, 0));
    EXPECT_EQ(mismatches(window, 100, 80, [&](int x, int y) { return in_square(x, y) ? pattern(x, y) : 0x808080u; }),
              0);
}

// As the window layer does, an Expose is answered by presenting its area.
TEST_F(X11Backend, AnExposureIsSentAgainOnlyWhenItCameAfterTheImage) {
    ASSERT_TRUE(backend_->create_surface(14, "test", 30, 30, 120, 90, false));
    made_.push_back(14);
    // The window must be on the server before the other client sends to it.
    display::x11::sync();
    Window window = display::x11::window_of(14);
    std::vector<uint32_t> pixels(120 * 90);
    for (int i = 0; i < 120 * 90; i++) {
        pixels[i] = pattern(i % 120, i / 120);
    }
    const display::Frame frame{pixels.data(), 120, 90, 120};
    auto answer_exposures = [&](int phase) {
        SCOPED_TRACE(phase);
        for (const Input& input : inputs_until_marker(14)) {
            if (input.kind == expose_input) {
                backend_->present(14, frame, input.x, input.y, input.width, input.height);
            }
        }
        display::x11::sync();
    };
    // A start: shown, painted and put before the map's Expose is read.
    const unsigned long before = display::x11::images_put();
    backend_->show_surface(14, true);
    backend_->present(14, frame, 0, 0, 120, 90);
    answer_exposures(1);
    EXPECT_EQ(display::x11::images_put() - before, 1u);
    EXPECT_EQ(mismatches(window, 120, 90, pattern), 0);

    // Another client's window over part of it, gone again: that part only.
    XSetWindowAttributes attributes;
    attributes.override_redirect = True;
    attributes.background_pixel = 0;
    Window cover = XCreateWindow(view_, DefaultRootWindow(view_), 60, 50, 40, 30, 0, CopyFromParent, InputOutput,
                                 CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(view_, cover);
    XSync(view_, False);
    XDestroyWindow(view_, cover);
    XSync(view_, False);
    answer_exposures(2);
    EXPECT_EQ(display::x11::images_put() - before, 2u);
    EXPECT_EQ(mismatches(window, 120, 90, pattern), 0);
}

TEST_F(X11Backend, PlacesTheClientAreaAndKeepsTitlesAndSizeHints) {
    ASSERT_TRUE(backend_->create_surface(12, "Caf\xE9 list", 200, 150, 300, 200, false));
    made_.push_back(12);
    EXPECT_FALSE(backend_->create_surface(12, "again", 0, 0, 10, 10, false));
    Window window = display::x11::window_of(12);
    ASSERT_NE(window, 0u);
    display::x11::sync();

    char* name = nullptr;
    ASSERT_TRUE(XFetchName(view_, window, &name));
    EXPECT_STREQ(name, "Caf\xE9 list");
    XFree(name);
    EXPECT_EQ(property_bytes(window, "_NET_WM_NAME"), "Caf\xC3\xA9 list");

    XSizeHints hints;
    long supplied;
    ASSERT_TRUE(XGetWMNormalHints(view_, window, &hints, &supplied));
    // Placed by the program, not the user: a window manager may move it.
    EXPECT_EQ(hints.flags & (PMinSize | PMaxSize | PPosition | PSize | PWinGravity),
              PMinSize | PMaxSize | PPosition | PSize | PWinGravity);
    EXPECT_EQ(hints.flags & (USPosition | USSize), 0);
    EXPECT_EQ(hints.win_gravity, StaticGravity);
    EXPECT_EQ(hints.min_width, 300);
    EXPECT_EQ(hints.max_width, 300);
    EXPECT_EQ(hints.min_height, 200);
    EXPECT_EQ(hints.max_height, 200);

    backend_->show_surface(12, true);
    ASSERT_EQ(wait_for(12, expose_input).kind, expose_input);
    Window root = DefaultRootWindow(view_), child;
    int x = 0, y = 0;
    XTranslateCoordinates(view_, window, root, 0, 0, &x, &y, &child);
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 150);

    backend_->set_title(12, "Other");
    backend_->move_surface(12, 50, 60, 320, 210);
    display::x11::sync();
    ASSERT_TRUE(XFetchName(view_, window, &name));
    EXPECT_STREQ(name, "Other");
    XFree(name);
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(view_, window, &attributes));
    EXPECT_EQ(attributes.width, 320);
    EXPECT_EQ(attributes.height, 210);
    XTranslateCoordinates(view_, window, root, 0, 0, &x, &y, &child);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(y, 60);
    ASSERT_TRUE(XGetWMNormalHints(view_, window, &hints, &supplied));
    EXPECT_EQ(hints.max_width, 320);
    EXPECT_EQ(hints.max_height, 210);

    backend_->show_surface(12, false);
    display::x11::sync();
    ASSERT_TRUE(XGetWindowAttributes(view_, window, &attributes));
    EXPECT_EQ(attributes.map_state, IsUnmapped);

    // A resizable surface is not held to one size.
    ASSERT_TRUE(backend_->create_surface(13, "", 0, 0, 50, 40, true));
    made_.push_back(13);
    display::x11::sync();
    ASSERT_TRUE(XGetWMNormalHints(view_, display::x11::window_of(13), &hints, &supplied));
    EXPECT_EQ(hints.flags & (PMinSize | PMaxSize), 0);

    int screen_width = 0, screen_height = 0;
    backend_->screen_size(&screen_width, &screen_height);
    EXPECT_EQ(screen_width, 1280);
    EXPECT_EQ(screen_height, 1024);
}

TEST_F(X11Backend, MouseInputComesInClientCoordinatesWithServerTimes) {
    Window window = shown_surface(14, 100, 100, 200, 150);
    xdotool("mousemove --window " + std::to_string(window) + " 30 40");
    std::vector<Input> moved = inputs_until_marker(14);
    ASSERT_FALSE(moved.empty());
    EXPECT_EQ(moved.back().kind, InputKind::MouseMove);
    EXPECT_EQ(moved.back().x, 30);
    EXPECT_EQ(moved.back().y, 40);

    xdotool("click 1 click 3");
    std::vector<Input> clicks = inputs_until_marker(14);
    ASSERT_EQ(clicks.size(), 4u);
    const InputKind kinds[] = {InputKind::ButtonDown, InputKind::ButtonUp, InputKind::ButtonDown, InputKind::ButtonUp};
    const int buttons[] = {display::ButtonLeft, display::ButtonLeft, display::ButtonRight, display::ButtonRight};
    for (size_t i = 0; i < clicks.size(); i++) {
        EXPECT_EQ(clicks[i].kind, kinds[i]) << i;
        EXPECT_EQ(clicks[i].button, buttons[i]) << i;
        EXPECT_EQ(clicks[i].x, 30) << i;
        EXPECT_EQ(clicks[i].y, 40) << i;
        EXPECT_GE(clicks[i].time, moved.back().time) << i;
    }
}

// Gives the keysym the last key code that has none, and returns that code.
int bind_spare_key(Display* view, KeySym keysym) {
    int first = 0, last = 0, per_code = 0;
    XDisplayKeycodes(view, &first, &last);
    KeySym* map = XGetKeyboardMapping(view, first, last - first + 1, &per_code);
    int bound = 0;
    for (int code = last; code >= first && bound == 0; code--) {
        bool spare = true;
        for (int i = 0; i < per_code; i++) {
            spare = spare && map[(code - first) * per_code + i] == NoSymbol;
        }
        if (spare) {
            XChangeKeyboardMapping(view, code, 1, &keysym, 1);
            bound = code;
        }
    }
    XFree(map);
    XSync(view, False);
    return bound;
}

void send_key(Display* view, Window window, int type, int keycode) {
    XEvent event = {};
    event.xkey.type = type;
    event.xkey.window = window;
    event.xkey.root = DefaultRootWindow(view);
    event.xkey.keycode = static_cast<unsigned>(keycode);
    event.xkey.same_screen = True;
    XSendEvent(view, window, False, KeyPressMask | KeyReleaseMask, &event);
}

struct Key {
    InputKind kind;
    int vk;
    char text;
};

void expect_keys(const std::vector<Input>& got, const std::vector<Key>& want, const std::string& what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (size_t i = 0; i < want.size(); i++) {
        EXPECT_EQ(got[i].kind, want[i].kind) << what << " #" << i;
        EXPECT_EQ(got[i].vk, want[i].vk) << what << " #" << i;
        EXPECT_EQ(got[i].text, want[i].text) << what << " #" << i;
    }
}

TEST_F(X11Backend, KeysComeAsVirtualKeysWithTheCharactersTheyType) {
    shown_surface(15, 100, 100, 200, 150);
    backend_->activate_surface(15);
    ASSERT_EQ(wait_for(15, focus_in_input).kind, focus_in_input);
    const InputKind down = InputKind::KeyDown, up = InputKind::KeyUp;
    // Asked at the first wait: a held key then repeats as presses alone.
    Bool detectable = False;
    EXPECT_TRUE(XkbGetDetectableAutoRepeat(display::x11::connection().display, &detectable) && detectable);

    // xdotool lets keys go in the order it pressed them.
    expect_keys(keys_from(15, "key Tab"), {{down, VK_TAB, '\t'}, {up, VK_TAB, 0}}, "Tab");
    expect_keys(keys_from(15, "key shift+Tab"),
                {{down, VK_SHIFT, 0}, {down, VK_TAB, '\t'}, {up, VK_SHIFT, 0}, {up, VK_TAB, 0}}, "shift+Tab");
    expect_keys(keys_from(15, "key alt+F4"), {{down, VK_MENU, 0}, {down, VK_F4, 0}, {up, VK_MENU, 0}, {up, VK_F4, 0}},
                "alt+F4");
    expect_keys(keys_from(15, "key ctrl+a"), {{down, VK_CONTROL, 0}, {down, 'A', 1}, {up, VK_CONTROL, 0}, {up, 'A', 0}},
                "ctrl+a");
    expect_keys(keys_from(15, "key shift+a"), {{down, VK_SHIFT, 0}, {down, 'A', 'A'}, {up, VK_SHIFT, 0}, {up, 'A', 0}},
                "shift+a");

    struct Single {
        const char* name;
        int vk;
        char text;
    };
    const Single singles[] = {
        {"a", 'A', 'a'},           {"z", 'Z', 'z'},          {"5", '5', '5'},           {"Return", VK_RETURN, '\r'},
        {"Escape", VK_ESCAPE, 27}, {"space", VK_SPACE, ' '}, {"BackSpace", VK_BACK, 8}, {"Left", VK_LEFT, 0},
        {"Up", VK_UP, 0},          {"Right", VK_RIGHT, 0},   {"Down", VK_DOWN, 0},      {"F1", VK_F1, 0},
        {"F12", VK_F12, 0},        {"Delete", VK_DELETE, 0},
    };
    for (const Single& key : singles) {
        std::vector<Key> want = {{down, key.vk, key.text}};
        if (key.vk != 0) {
            want.push_back({up, key.vk, 0});
        }
        expect_keys(keys_from(15, std::string("key ") + key.name), want, key.name);
    }

    // A Latin-1 letter on a key of its own types its character; it has no
    // virtual key, so only its press counts.
    int code = bind_spare_key(view_, XK_eacute);
    ASSERT_NE(code, 0);
    send_key(view_, display::x11::window_of(15), KeyPress, code);
    send_key(view_, display::x11::window_of(15), KeyRelease, code);
    expect_keys(keys_from(15, "sleep 0"), {{down, 0, '\xE9'}}, "eacute");
}

TEST_F(X11Backend, ActivationMovesTheKeyboardBetweenSurfaces) {
    shown_surface(16, 10, 10, 50, 50);
    shown_surface(17, 100, 10, 50, 50);
    backend_->activate_surface(16);
    ASSERT_EQ(wait_for(16, focus_in_input).kind, focus_in_input);
    backend_->activate_surface(17);
    EXPECT_EQ(wait_for(16, focus_out_input).kind, focus_out_input);
    EXPECT_EQ(wait_for(17, focus_in_input).kind, focus_in_input);
    Window focus;
    int revert;
    XGetInputFocus(view_, &focus, &revert);
    EXPECT_EQ(focus, display::x11::window_of(17));
    // A hidden surface is only asked for; nothing fails.
    ASSERT_TRUE(backend_->create_surface(18, "", 0, 0, 20, 20, false));
    made_.push_back(18);
    backend_->activate_surface(18);
    display::x11::sync();
    XGetInputFocus(view_, &focus, &revert);
    EXPECT_EQ(focus, display::x11::window_of(17));
}

void send_protocol(Display* view, Window window, const char* protocol) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(view, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(view, protocol, False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(view, window, False, NoEventMask, &event);
    XFlush(view);
}

TEST_F(X11Backend, TheCloseBoxBecomesACloseRequest) {
    Window window = shown_surface(19, 10, 10, 50, 50);
    char* name = nullptr;
    Atom* protocols = nullptr;
    int count = 0;
    ASSERT_TRUE(XGetWMProtocols(view_, window, &protocols, &count));
    ASSERT_EQ(count, 1);
    EXPECT_STREQ(name = XGetAtomName(view_, protocols[0]), "WM_DELETE_WINDOW");
    XFree(name);
    XFree(protocols);

    send_protocol(view_, window, "WM_TAKE_FOCUS");
    EXPECT_TRUE(inputs_until_marker(19).empty());
    send_protocol(view_, window, "WM_DELETE_WINDOW");
    std::vector<Input> inputs = inputs_until_marker(19);
    ASSERT_EQ(inputs.size(), 1u);
    EXPECT_EQ(inputs[0].kind, InputKind::CloseRequest);
    EXPECT_EQ(inputs[0].surface, 19u);
}

TEST_F(X11Backend, ADestroyedSurfaceIsQuietlyForgotten) {
    Window stale = shown_surface(20, 10, 10, 50, 50);
    shown_surface(21, 100, 10, 50, 50);
    // Input already on its way when the surface goes is dropped.
    send_protocol(view_, stale, "WM_DELETE_WINDOW");
    XSync(view_, False);
    backend_->destroy_surface(20);
    made_.erase(made_.begin());
    EXPECT_EQ(display::x11::window_of(20), 0u);

    // Every hook on the dead surface does nothing, and requests racing with
    // the destruction cost no more than an ignored error.
    uint32_t pixel = 0;
    backend_->present(20, {&pixel, 1, 1, 1}, 0, 0, 1, 1);
    backend_->move_surface(20, 0, 0, 10, 10);
    backend_->set_title(20, "gone");
    backend_->show_surface(20, true);
    backend_->activate_surface(20);
    backend_->destroy_surface(20);
    send_protocol(view_, stale, "WM_DELETE_WINDOW");
    XSync(view_, False);

    std::vector<Input> rest = inputs_until_marker(21);
    EXPECT_TRUE(rest.empty());
    EXPECT_TRUE(backend_->create_surface(20, "again", 0, 0, 10, 10, false));
    made_.push_back(20);
}

// A server that goes away ends input; it does not end the program.
TEST(X11BackendLoss, ALostServerEndsInputAndNothingElse) {
    if (!have_program("Xvfb")) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    display::x11::close();
    Server server;
    ASSERT_TRUE(server.start());
    const display::Backend* backend = open_backend(server.name);
    ASSERT_NE(backend, nullptr);
    ASSERT_TRUE(backend->create_surface(1, "", 0, 0, 10, 10, false));
    backend->show_surface(1, true);
    EXPECT_TRUE(display::complete(*backend));
    EXPECT_STREQ(backend->failure(), "");
    server.stop();

    // What was already on its way may come first; then the end, not a wait.
    Input input;
    int taken = 0;
    while (display::x11::next_input_within(&input, wait_ms) && taken < 100) {
        ASSERT_NE(input.kind, no_input);
        taken++;
    }
    EXPECT_LT(taken, 100);
    EXPECT_FALSE(backend->next_input(&input));
    // Said on standard error as the reason the display was lost.
    EXPECT_NE(std::string(backend->failure()).find("X server"), std::string::npos) << backend->failure();
    uint32_t pixel = 0;
    backend->present(1, {&pixel, 1, 1, 1}, 0, 0, 1, 1);
    backend->set_title(1, "x");
    EXPECT_FALSE(backend->create_surface(2, "", 0, 0, 10, 10, false));
    // Xvfb hands a freed number to the next server, and tests beside this one
    // start theirs: the name is dead only while its socket is gone.
    const std::string socket = "/tmp/.X11-unix/X" + server.name.substr(1);
    if (access(socket.c_str(), F_OK) != 0) {
        EXPECT_EQ(open_backend(server.name), nullptr);
    }
    EXPECT_EQ(open_backend(""), nullptr);
    display::x11::close();
}

}  // namespace
