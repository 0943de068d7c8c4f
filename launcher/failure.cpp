// A failure the player must see: started from a menu there is no terminal,
// so it also shows in the layer's message box, through X11 where there is
// one (the box needs no Wayland module, which stays beside the tool).
#include <stdio.h>
#include <stdlib.h>

#include "launcher/launcher.h"
#include "platform/win32.h"

namespace launcher {

void report_failure(const std::string& text) {
    fprintf(stderr, "sorvane: %s\n", text.c_str());
    const char* x11 = getenv("DISPLAY");
    const char* wayland = getenv("WAYLAND_DISPLAY");
    if (x11 != nullptr && x11[0] != '\0') {
        setenv("SORVANE_DISPLAY", "x11", 1);
    } else if (wayland == nullptr || wayland[0] == '\0') {
        return;
    }
    MessageBoxA(nullptr, (text + "  ").c_str(), "Sorvane", MB_OK);
}

}  // namespace launcher
