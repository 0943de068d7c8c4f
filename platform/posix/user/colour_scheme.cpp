// The desktop's contrast as the system colours: the scheme is chosen before
// the first window is shown, and when the desktop changes its mind every
// top-level window gets WM_SYSCOLORCHANGE and is drawn anew, as
// SetSysColors has it on the platform.
#include "platform/posix/gdi/system_colours.h"
#include "platform/posix/user/surface.h"

namespace user {

void ask_desktop_colours() {
    if (display_has_desktop()) {
        appearance::ask();
    }
}

// The first answer only sets the colours: no window has drawn yet. Later
// calls return at once.
void settle_desktop_colours() {
    if (display_has_desktop()) {
        gdi::set_colour_scheme(scheme_for(appearance::settle(follow_desktop_colours)));
    }
}

gdi::ColourScheme scheme_for(const appearance::Preference& p) {
    if (!p.more_contrast) {
        return gdi::ColourScheme::classic;
    }
    return p.dark ? gdi::ColourScheme::high_contrast_black : gdi::ColourScheme::high_contrast_white;
}

void follow_desktop_colours(appearance::Preference p) {
    const gdi::ColourScheme scheme = scheme_for(p);
    if (scheme == gdi::colour_scheme()) {
        return;
    }
    gdi::set_colour_scheme(scheme);
    const std::vector<HWND> tops = top_level_windows();
    for (HWND top : tops) {
        SendMessageA(top, WM_SYSCOLORCHANGE, 0, 0);
        if (Window* window = peek_window(top)) {
            recolour_surface(window);
            invalidate_tree(window);
        }
    }
}

}  // namespace user
