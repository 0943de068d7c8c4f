// Last error of the calling thread, and the one translation of errno.
#pragma once

#include "platform/posix/win32_kernel.h"

namespace kernel {

// Maps errno to the Win32 code, makes it the last error and returns it.
DWORD set_error_from_errno(int error);

}  // namespace kernel
