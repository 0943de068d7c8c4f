// The program's Windows-1252 text as UTF-8, for both backends' titles.
// Compiled into the program and into the Wayland module alike: the string
// never passes from one C++ runtime to the other.
#pragma once

#include <string>

namespace display {

std::string utf8_of_cp1252(const char* text);

}  // namespace display
