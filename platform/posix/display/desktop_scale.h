// The scale a desktop asks for, as a number of quarters (4 is 1): the steps
// the drawing layer renders at (gdi/device_scale.h maps coordinates).
#pragma once

namespace display {

// GDK_SCALE (a whole number) when it is set and valid, otherwise Xft.dpi / 96
// taken to the nearest step at or above it (1, 1.25, 1.5, 1.75, 2, 2.5, 3,
// 4); scale 1 without either. Xft.dpi 120 is 1.25, 144 is 1.5, 192 is 2.
int desktop_quarters(const char* gdk_scale, long xft_dpi);

// value / unit taken to the step at or above it, scale 1 when not positive:
// Xft.dpi over 96, a compositor's fractional scale over 120.
int step_at_or_above(long value, long unit);

}  // namespace display
