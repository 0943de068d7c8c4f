// Why a display could not be used or was lost, as the player reads it on
// standard error: the words for each cause, and the Wayland backend against
// a compositor of the test's own that lacks a global, refuses a request or
// hangs up.
#include <errno.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>
#include <wayland-server.h>

#include <atomic>
#include <string>
#include <thread>

#include "platform/posix/display/headless.h"
#include "platform/posix/display/wayland/connection.h"
#include "platform/posix/display/wayland/wayland.h"
#include "platform/posix/display/x11/connection.h"

namespace {

TEST(DisplayFailure, EachCauseInWords) {
    using display::wayland::connection_failure;
    using display::x11::lost_reason;
    using display::x11::x_error_reason;
    const struct {
        std::string got, want;
    } table[] = {
        {connection_failure(EPROTO, "xdg_wm_base", 3, 2), "protocol error 2 on xdg_wm_base@3"},
        {connection_failure(EPROTO, nullptr, 0, 1), "protocol error 1 on an object@0"},
        {connection_failure(EPIPE, nullptr, 0, 0), "the compositor closed the connection"},
        {connection_failure(0, nullptr, 0, 0), "the compositor closed the connection"},
        {connection_failure(ECONNRESET, nullptr, 0, 0),
         "the connection to the compositor broke (Connection reset by peer)"},
        {lost_reason(EPIPE, ""), "the X server closed the connection"},
        {lost_reason(ECONNRESET, ""), "the connection to the X server broke (Connection reset by peer)"},
        {lost_reason(0, x_error_reason("BadAlloc", 53)),
         "the X server closed the connection; the last X error: BadAlloc (request 53)"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(row.got, row.want);
    }
}

// libX11 is taken whole or not at all, and the reason names the library and
// what it lacked; the library itself fills every call.
TEST(X11Failure, ALibX11MissingOrLackingACallSaysSo) {
    using display::x11::load_xlib_calls;
    display::x11::XlibCalls calls{};
    std::string why;
    EXPECT_FALSE(load_xlib_calls("libsorvane-no-X11.so.6", &calls, &why));
    EXPECT_EQ(
        why.rfind("libsorvane-no-X11.so.6 cannot be loaded (libsorvane-no-X11.so.6: cannot open shared object", 0), 0u)
        << why;
    EXPECT_FALSE(load_xlib_calls("libc.so.6", &calls, &why));
    EXPECT_EQ(why, "libc.so.6 lacks XOpenDisplay");
    ASSERT_TRUE(load_xlib_calls("libX11.so.6", &calls, &why));
    EXPECT_EQ(calls.XOpenDisplay, &XOpenDisplay);
    EXPECT_EQ(calls.XkbSetDetectableAutoRepeat, &XkbSetDetectableAutoRepeat);
}

// The X11 and Wayland tables are held to it where their tests open them.
TEST(DisplayTables, EveryHookSetAndEachOptionalOneWithItsCapability) {
    const display::Backend& headless = display::headless::backend();
    EXPECT_TRUE(display::complete(headless));
    display::Backend lacking = headless;
    lacking.set_modal = nullptr;
    EXPECT_FALSE(display::complete(lacking));
    display::Backend unclaimed = headless;
    unclaimed.capabilities &= ~display::shows_background;
    EXPECT_FALSE(display::complete(unclaimed));
}

// What the compositor does to its one client.
enum class Misbehaviour { LacksXdgShell, RefusesTheCompositor, HangsUpLater, ErrsLater };

// A compositor on one end of a socket pair, its loop on a thread of its own;
// the backend connects to the other end through WAYLAND_SOCKET.
struct Compositor {
    Misbehaviour how;
    wl_display* display = wl_display_create();
    wl_client* client = nullptr;
    wl_resource* wm_base = nullptr;
    std::atomic<bool> stop{false}, act{false};
    std::thread loop;

    explicit Compositor(Misbehaviour how) : how(how) {
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
            return;
        }
        client = wl_client_create(display, fds[0]);
        setenv("WAYLAND_SOCKET", std::to_string(fds[1]).c_str(), 1);
        wl_global_create(display, &wl_compositor_interface, 4, this, bind_compositor);
        wl_display_init_shm(display);
        if (how != Misbehaviour::LacksXdgShell) {
            wl_global_create(display, &xdg_wm_base_interface, 1, this, bind_wm_base);
        }
        loop = std::thread([this] { serve(); });
    }
    ~Compositor() {
        stop = true;
        loop.join();
        wl_display_destroy_clients(display);
        wl_display_destroy(display);
        unsetenv("WAYLAND_SOCKET");
    }

    static void bind_compositor(wl_client* client, void* data, uint32_t version, uint32_t id) {
        wl_resource* resource = wl_resource_create(client, &wl_compositor_interface, version, id);
        if (static_cast<Compositor*>(data)->how == Misbehaviour::RefusesTheCompositor) {
            wl_resource_post_error(resource, 7, "not for you");
        }
    }
    static void bind_wm_base(wl_client* client, void* data, uint32_t version, uint32_t id) {
        static_cast<Compositor*>(data)->wm_base = wl_resource_create(client, &xdg_wm_base_interface, version, id);
    }

    // Hang-ups and late errors wait for the test's word, so that the
    // backend first connects.
    void serve() {
        wl_event_loop* events = wl_display_get_event_loop(display);
        while (!stop) {
            wl_event_loop_dispatch(events, 10);
            if (act.exchange(false) && client != nullptr) {
                if (how == Misbehaviour::HangsUpLater) {
                    wl_client_destroy(client);
                    client = nullptr;
                } else if (wm_base != nullptr) {
                    wl_resource_post_error(wm_base, XDG_WM_BASE_ERROR_ROLE, "no");
                }
            }
            wl_display_flush_clients(display);
        }
    }
};

std::string open_reason(Misbehaviour how) {
    Compositor compositor(how);
    char reason[256] = "";
    const display::Backend* backend = display::open_wayland(reason, sizeof reason);
    EXPECT_EQ(backend, nullptr);
    display::wayland::close();
    return reason;
}

TEST(WaylandFailure, AConnectSaysWhatTheCompositorLacksOrRefused) {
    EXPECT_EQ(open_reason(Misbehaviour::LacksXdgShell), "the compositor offers no xdg_wm_base");
    EXPECT_EQ(open_reason(Misbehaviour::RefusesTheCompositor).rfind("protocol error 7 on wl_compositor@", 0), 0u);
}

std::string lost_reason(Misbehaviour how) {
    Compositor compositor(how);
    const display::Backend* backend = display::open_wayland();
    if (backend == nullptr) {
        ADD_FAILURE() << "the compositor was refused";
        return "";
    }
    EXPECT_TRUE(display::complete(*backend));
    EXPECT_STREQ(backend->failure(), "");
    compositor.act = true;
    display::Input input;
    bool serving = true;
    for (int wait = 0; wait < 20 && serving; wait++) {
        serving = display::wayland::next_input_within(&input, 500);
    }
    EXPECT_FALSE(serving);
    std::string why = backend->failure();
    display::wayland::close();
    return why;
}

TEST(WaylandFailure, ALostCompositorSaysHow) {
    EXPECT_EQ(lost_reason(Misbehaviour::HangsUpLater), "the compositor closed the connection");
    EXPECT_EQ(lost_reason(Misbehaviour::ErrsLater).rfind("protocol error 0 on xdg_wm_base@", 0), 0u);
}

}  // namespace
