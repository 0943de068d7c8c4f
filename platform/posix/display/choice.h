// Which display backends a program tries, and in what order. SORVANE_DISPLAY
// names one (x11 or wayland) for tests and for players who want the other;
// otherwise a reachable Wayland compositor comes first and X11 second.
#pragma once

namespace display {

enum class BackendKind { X11, Wayland };

// The backends to try for SORVANE_DISPLAY's value (null when unset), given
// whether a Wayland socket is there; returns how many it wrote to out.
int backends_to_try(const char* requested, bool wayland_socket, BackendKind out[2]);

// Whether WAYLAND_DISPLAY is set, or the default socket lies in the
// runtime folder (either may be null).
bool wayland_socket_present(const char* wayland_display, const char* runtime_dir);

}  // namespace display
