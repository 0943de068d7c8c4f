// A private X server for the X11 backend's tests, and the backend
// connected to it.
#pragma once

#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/posix/display/x11/x11.h"

namespace x11_test {

inline bool have_program(const char* name) {
    const char* path = getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// A private X server. Xvfb picks a free display number itself and tells it
// through -displayfd, so tests running side by side never race for one.
struct Server {
    pid_t pid = -1;
    std::string name;

    bool start() {
        int ready[2];
        if (pipe(ready) != 0) {
            return false;
        }
        pid_t child = fork();
        if (child == 0) {
            close(ready[0]);
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
            std::string fd = std::to_string(ready[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        std::string number;
        pollfd wait_for = {ready[0], POLLIN, 0};
        char c;
        while (poll(&wait_for, 1, 10000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n') {
            number += c;
        }
        close(ready[0]);
        if (number.empty()) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            return false;
        }
        pid = child;
        name = ":" + number;
        return true;
    }

    void stop() {
        if (pid > 0) {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
            pid = -1;
        }
    }
};

// Connects the backend to the server, leaving the process's DISPLAY as it was.
inline const display::Backend* open_backend(const std::string& name) {
    const char* old = getenv("DISPLAY");
    std::string saved = old != nullptr ? old : "";
    setenv("DISPLAY", name.c_str(), 1);
    const display::Backend* backend = display::open_x11();
    if (old != nullptr) {
        setenv("DISPLAY", saved.c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
    return backend;
}

}  // namespace x11_test
