// Key symbols to Win32 virtual-key codes, for both backends: xkbcommon's key
// symbols are X's. Compiled into the program and into the Wayland module
// alike, so that neither calls the other for it.
#pragma once

namespace display {

// The Win32 virtual-key code of a key symbol, 0 when it has none.
int virtual_key(unsigned long keysym);

}  // namespace display
