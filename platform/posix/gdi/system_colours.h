// The system colours' scheme: the classic one, or the platform's High
// Contrast Black or White when the desktop asks for more contrast (the
// window layer chooses, from platform/posix/appearance).
#pragma once

#include "platform/win32.h"

namespace gdi {

enum class ColourScheme { classic, high_contrast_black, high_contrast_white };

// A scheme's colour for a GetSysColor index; 0 for an index it lacks.
COLORREF scheme_colour(ColourScheme scheme, int index);

// The process's scheme. Setting it recolours the brushes GetSysColorBrush
// gave out, which keep their handles, as the platform's do.
ColourScheme colour_scheme();
void set_colour_scheme(ColourScheme scheme);
bool high_contrast();

}  // namespace gdi
