// wvsprintfA and wsprintfA: %d %i %u %x %X %c %s %% with the flags - 0 #,
// a width, a precision, and the size prefixes h and l (l is the C long of
// this platform). The output stops at 1024 bytes, the terminator included.
#include <stdarg.h>

#include "platform/posix/user/window.h"

namespace {

constexpr int output_limit = 1024;

struct Output {
    char* buffer;
    int length;
    void put(char c) {
        if (length < output_limit - 1) {
            buffer[length++] = c;
        }
    }
    void pad(int count, char c) {
        for (int i = 0; i < count; ++i) {
            put(c);
        }
    }
};

int digits_of(unsigned long long value, unsigned base, bool upper, char* out) {
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char reversed[32];
    int n = 0;
    do {
        reversed[n++] = set[value % base];
        value /= base;
    } while (value != 0);
    for (int i = 0; i < n; ++i) {
        out[i] = reversed[n - 1 - i];
    }
    return n;
}

}  // namespace

int WINAPI wvsprintfA(LPSTR buffer, LPCSTR format, va_list arglist) {
    if (buffer == nullptr || format == nullptr) {
        return -1;
    }
    va_list args;
    va_copy(args, arglist);
    Output out{buffer, 0};
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            out.put(*p);
            continue;
        }
        ++p;
        if (*p == '%') {
            out.put('%');
            continue;
        }
        bool left = false;
        bool zero = false;
        bool prefix = false;
        for (;; ++p) {
            if (*p == '-') {
                left = true;
            } else if (*p == '0') {
                zero = true;
            } else if (*p == '#') {
                prefix = true;
            } else {
                break;
            }
        }
        int width = 0;
        while (*p >= '0' && *p <= '9') {
            width = width * 10 + (*p++ - '0');
        }
        int precision = -1;
        if (*p == '.') {
            ++p;
            precision = 0;
            while (*p >= '0' && *p <= '9') {
                precision = precision * 10 + (*p++ - '0');
            }
        }
        enum { Int, Short, Long } size = Int;
        if (*p == 'h') {
            size = Short;
            ++p;
        } else if (*p == 'l') {
            size = Long;
            ++p;
        }
        char conversion = *p;
        if (conversion == '\0') {
            break;
        }
        char digits[40];
        int count = 0;
        const char* text = nullptr;
        bool negative = false;
        const char* lead = "";
        switch (conversion) {
            case 'c':
                digits[0] = static_cast<char>(va_arg(args, int));
                count = 1;
                text = digits;
                break;
            case 's': {
                text = va_arg(args, const char*);
                if (text == nullptr) {
                    text = "(null)";
                }
                count = 0;
                while (text[count] != '\0' && (precision < 0 || count < precision)) {
                    ++count;
                }
                break;
            }
            case 'd':
            case 'i':
            case 'u':
            case 'x':
            case 'X': {
                bool is_signed = conversion == 'd' || conversion == 'i';
                unsigned long long magnitude;
                if (is_signed) {
                    long long value = size == Long    ? va_arg(args, long)
                                      : size == Short ? static_cast<short>(va_arg(args, int))
                                                      : va_arg(args, int);
                    negative = value < 0;
                    magnitude = negative ? 0ull - static_cast<unsigned long long>(value)
                                         : static_cast<unsigned long long>(value);
                } else {
                    magnitude = size == Long    ? va_arg(args, unsigned long)
                                : size == Short ? static_cast<unsigned short>(va_arg(args, unsigned))
                                                : va_arg(args, unsigned);
                }
                unsigned base = (conversion == 'x' || conversion == 'X') ? 16 : 10;
                count = digits_of(magnitude, base, conversion == 'X', digits);
                if (precision == 0 && magnitude == 0) {
                    count = 0;
                }
                if (negative) {
                    lead = "-";
                } else if (prefix && base == 16 && magnitude != 0) {
                    lead = conversion == 'X' ? "0X" : "0x";
                }
                text = digits;
                break;
            }
            default:
                // An unknown conversion is copied as it stands.
                out.put(conversion);
                continue;
        }
        bool number = conversion != 'c' && conversion != 's';
        int zeros = number && precision > count ? precision - count : 0;
        int lead_length = static_cast<int>(strlen(lead));
        int total = lead_length + zeros + count;
        int padding = width > total ? width - total : 0;
        bool zero_fill = zero && !left && (!number || precision < 0);
        if (!left && !zero_fill) {
            out.pad(padding, ' ');
        }
        for (int i = 0; i < lead_length; ++i) {
            out.put(lead[i]);
        }
        if (zero_fill) {
            out.pad(padding, '0');
        }
        out.pad(zeros, '0');
        for (int i = 0; i < count; ++i) {
            out.put(text[i]);
        }
        if (left) {
            out.pad(padding, ' ');
        }
    }
    va_end(args);
    buffer[out.length] = '\0';
    return out.length;
}

int WINAPI wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    va_list args;
    va_start(args, format);
    int n = wvsprintfA(buffer, format, args);
    va_end(args);
    return n;
}
