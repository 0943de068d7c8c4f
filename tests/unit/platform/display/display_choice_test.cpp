// Which display backends a program tries: the player's explicit choice
// wins, otherwise a Wayland socket puts Wayland first with X11 behind it.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/posix/display/choice.h"

namespace {

using display::BackendKind;

std::vector<BackendKind> tried(const char* requested, bool socket) {
    BackendKind out[2];
    int count = display::backends_to_try(requested, socket, out);
    return std::vector<BackendKind>(out, out + count);
}

TEST(DisplayChoice, AnExplicitChoiceIsTheOnlyOneTriedOtherwiseWaylandBeforeX11) {
    const std::vector<BackendKind> x11{BackendKind::X11}, wayland{BackendKind::Wayland};
    const std::vector<BackendKind> both{BackendKind::Wayland, BackendKind::X11};
    EXPECT_EQ(tried("x11", true), x11);
    EXPECT_EQ(tried("x11", false), x11);
    EXPECT_EQ(tried("wayland", false), wayland);
    EXPECT_EQ(tried("wayland", true), wayland);
    EXPECT_EQ(tried(nullptr, false), x11);
    EXPECT_EQ(tried("", false), x11);
    EXPECT_EQ(tried(nullptr, true), both);
    EXPECT_EQ(tried("auto", true), both);
}

TEST(DisplayChoice, WaylandDisplayOrTheDefaultSocketMeansACompositorIsThere) {
    EXPECT_TRUE(display::wayland_socket_present("wayland-1", nullptr));
    EXPECT_FALSE(display::wayland_socket_present("", nullptr));
    EXPECT_FALSE(display::wayland_socket_present(nullptr, "/nonexistent"));

    char pattern[] = "/tmp/display_choice_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string folder = pattern;
    EXPECT_FALSE(display::wayland_socket_present(nullptr, folder.c_str()));
    // A plain file by the socket's name is not a compositor.
    std::string path = folder + "/wayland-0";
    FILE* file = fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    fclose(file);
    EXPECT_FALSE(display::wayland_socket_present(nullptr, folder.c_str()));
    unlink(path.c_str());
    int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_TRUE(display::wayland_socket_present(nullptr, folder.c_str()));
    close(fd);
    unlink(path.c_str());
    rmdir(folder.c_str());
}

}  // namespace
