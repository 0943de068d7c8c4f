// The icons a program carries: the icon resources the build links into it
// (cmake/icon-resource.py writes them; the exe's .rc holds the same
// pictures), found by LoadIconA and decoded only when drawn.
#pragma once

#include <stdint.h>

#include <vector>

#include "platform/win32.h"

namespace user {

struct IconPicture {
    int side = 0;
    std::vector<uint32_t> pixels;  // side x side 0xAARRGGBB, in rows
};

// The program's icon resource of that name, or null (the last error set)
// when the instance is not the program's or it carries no such icon.
HICON load_resource_icon(HINSTANCE instance, LPCSTR name);

// The icon as side x side pixels: the picture of that size, else the
// smallest larger one (else the largest) scaled to it. False for an icon
// that is no resource (a stock icon), which the display draws itself.
bool draw_resource_icon(HICON icon, int side, uint32_t* pixels);

// Every picture the resource holds, smallest first; none for a stock icon.
std::vector<IconPicture> resource_icon_pictures(HICON icon);

}  // namespace user
