// The device scale: how the program's 96-DPI coordinates become device
// pixels. Kept as a plain number of quarters so any backend can carry it.
//
// The rules the drawing layer follows at every scale:
// - Edges: each edge of every rectangle on its own, from the top-level
//   client origin, device = floor(logical * scale + 1/2). A window's buffer
//   and surface are to_device(client size). Shared edges stay shared, so
//   what meets at 96 DPI meets on the device.
// - Lines: bevel rings, the default button's frame, focus dots, prefix
//   underlines and one-pixel pens are line_width = round(scale) device
//   pixels (half up: 1.25 -> 1, 1.5 -> 2, 2.5 -> 3), drawn inward from the
//   mapped edge; focus dots are line-square cells on a checkerboard fixed
//   to the client origin, and a button's focus rectangle lies three lines in.
// - Pixels (SetPixel, the check mark's pattern): the device pixels the
//   logical pixel's edges span.
// - Text: the same face, monochrome, at its glyph size times the scale;
//   a line starts and ends where the 96-DPI layout puts it.
// - Input: device pixel d is in logical pixel to_logical(d).
#pragma once

namespace gdi {

// 4 is scale 1; the desktop's steps (display/desktop_scale.h) are 1, 1.25,
// 1.5, 1.75, 2, 2.5, 3 and 4.
const int unit_quarters = 4;

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
