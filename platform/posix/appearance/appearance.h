// What the desktop asks of the program's looks: more contrast, and whether
// the colour scheme is dark. Asked of the XDG desktop portal's Settings
// (org.freedesktop.appearance contrast and color-scheme, and GNOME's
// org.gnome.desktop.a11y.interface high-contrast, which GNOME's portal
// serves too) over the session bus with our own client, without waiting:
// the question goes out when the program registers its first window class,
// and the answer is waited for at most a moment before its first window is
// first shown.
//
// Files of platform/posix/appearance:
//   appearance.h   this
//   settings.cpp   the preference from the portal's answers (no bus)
//   portal.cpp     the question, the bounded wait, the changes
#pragma once

#include <stdint.h>

#include "platform/posix/bus/message.h"

namespace appearance {

// The settings as the portal gives them; the preference follows from them.
struct Settings {
    uint32_t contrast = 0;      // 1: more
    uint32_t color_scheme = 0;  // 1: dark, 2: light
    bool gnome_high_contrast = false;
};

struct Preference {
    bool more_contrast = false;
    bool dark = false;
    bool operator==(const Preference& o) const { return more_contrast == o.more_contrast && dark == o.dark; }
    bool operator!=(const Preference& o) const { return !(*this == o); }
};

Preference preference_of(const Settings& s);

// ReadAll's answer (a{sa{sv}}); false when it is not one.
bool read_all_answer(const bus::Message& m, Settings* out);
// A SettingChanged signal (s namespace, s key, v value) on one of ours;
// false when it changes nothing we follow.
bool setting_changed(const bus::Message& m, Settings* out);

// How long the first window waits for the portal's answer, at most.
constexpr int answer_bound_ms = 50;

// Sends the question (once); quietly nothing without a session bus.
void ask();
// Waits for the answer, no longer than answer_bound_ms since ask (once;
// later calls return at once), and from then on follows the portal's
// changes in every message loop, calling changed with each new preference.
Preference settle(void (*changed)(Preference));

}  // namespace appearance
