// What Linux file status means in Win32 terms: attributes and file times.
#pragma once

#include <sys/stat.h>

#include "platform/posix/win32_kernel.h"

namespace kernel {

DWORD attributes_of(const struct stat& st);
FILETIME filetime_of(const struct timespec& time);

}  // namespace kernel
