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
#include <windows.h>
#include <commctrl.h>
#include <string.h>
#else
#include "posix/win32_types.h"
#include "posix/win32_kernel.h"
#include "posix/win32_user.h"
#include "posix/win32_gdi.h"
#endif
