// The portal's answers, read into the settings we follow.
#include "platform/posix/appearance/appearance.h"

#include <string>

namespace appearance {

namespace {

const char* const appearance_namespace = "org.freedesktop.appearance";
const char* const gnome_namespace = "org.gnome.desktop.a11y.interface";

// One setting; false when it is not one of ours or not of its type.
bool take(const std::string& space, const std::string& key, const bus::Value& value, Settings* out) {
    if (space == appearance_namespace && key == "contrast") {
        return bus::get(value, &out->contrast);
    }
    if (space == appearance_namespace && key == "color-scheme") {
        return bus::get(value, &out->color_scheme);
    }
    if (space == gnome_namespace && key == "high-contrast") {
        return bus::get(value, &out->gnome_high_contrast);
    }
    return false;
}

}  // namespace

Preference preference_of(const Settings& s) {
    Preference p;
    p.more_contrast = s.contrast == 1 || s.gnome_high_contrast;
    p.dark = s.color_scheme == 1;
    return p;
}

bool read_all_answer(const bus::Message& m, Settings* out) {
    if (m.type != bus::MessageType::method_return || m.signature != "a{sa{sv}}") {
        return false;
    }
    Settings s;
    for (const bus::Value& space : m.body[0].items) {
        for (const bus::Value& entry : space.items[1].items) {
            take(space.items[0].text, entry.items[0].text, entry.items[1], &s);
        }
    }
    *out = s;
    return true;
}

bool setting_changed(const bus::Message& m, Settings* out) {
    if (m.type != bus::MessageType::signal || m.member != "SettingChanged" || m.signature != "ssv") {
        return false;
    }
    Settings s = *out;
    if (!take(m.body[0].text, m.body[1].text, m.body[2], &s)) {
        return false;
    }
    *out = s;
    return true;
}

}  // namespace appearance
