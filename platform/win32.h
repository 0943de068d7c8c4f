// The one platform header that app/ and runtime/ include.
//
// On Windows it is the real API. Elsewhere it declares the same names,
// types, constants and signatures, implemented by platform/posix/.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// commctrl.h needs windows.h first
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <string.h>
#else
// each part builds on the types, the user part on the kernel one
// clang-format off
#include "posix/win32_types.h"
#include "posix/win32_kernel.h"
#include "posix/win32_user.h"
#include "posix/win32_gdi.h"
// clang-format on
#endif
