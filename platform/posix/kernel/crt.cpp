// The CRTDLL functions that <string.h> does not already provide.
#include "platform/posix/win32_kernel.h"

int _stricmp(const char* a, const char* b) {
    const unsigned char* left = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* right = reinterpret_cast<const unsigned char*>(b);
    for (;; ++left, ++right) {
        int l = (*left >= 'A' && *left <= 'Z') ? *left + ('a' - 'A') : *left;
        int r = (*right >= 'A' && *right <= 'Z') ? *right + ('a' - 'A') : *right;
        if (l != r || l == 0) {
            return l - r;
        }
    }
}
