// The device scale: how the program's 96-DPI coordinates become device
// pixels. Kept as a plain number of quarters so any backend can carry it.
#pragma once

namespace gdi {

// 4 is scale 1; the steps are 1, 1.25, 1.5, 1.75, 2, 2.5, 3 and 4.
const int unit_quarters = 4;

// The step for the desktop: GDK_SCALE (a whole number) when it is set and
// valid, otherwise Xft.dpi / 96 taken to the nearest step at or above it;
// scale 1 without either.
int desktop_quarters(const char* gdk_scale, long xft_dpi);

// Each edge on its own, round half up, so rectangles that share an edge in
// the program share it on the device: no gaps, no overlaps.
int to_device(int logical, int quarters);
// The logical pixel whose device span holds device pixel d, so a click lands
// on what was drawn under it.
int to_logical(int device, int quarters);
// Lines, bevels, check marks and focus dots: whole device pixels,
// round(scale) wide, never less than one.
int line_width(int quarters);

}  // namespace gdi
