// wvsprintfA and wsprintfA, each conversion parsed then put out: %d %i %u
// %x %X %c %s %% with the flags - 0 #, a width, a precision, and the size
// prefixes h and l (l is the C long of this platform). The output stops at
// 1024 bytes, the terminator included.
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

// One conversion as the format gives it.
struct Directive {
    bool left = false;    // '-'
    bool zero = false;    // '0'
    bool prefix = false;  // '#'
    int width = 0;
    int precision = -1;  // none
    enum { Int, Short, Long } size = Int;
    char conversion = '\0';
};

// What a conversion prints: a lead ("-", "0x"), then its text.
struct Field {
    char digits[40];
    const char* text = nullptr;
    int count = 0;
    const char* lead = "";
    bool number = false;
};

int number_at(const char** p) {
    int value = 0;
    while (**p >= '0' && **p <= '9') {
        value = value * 10 + (*(*p)++ - '0');
    }
    return value;
}

// Reads the conversion after a '%'; leaves p on its conversion character.
Directive parse_directive(const char** p) {
    Directive directive;
    for (;; ++*p) {
        if (**p == '-') {
            directive.left = true;
        } else if (**p == '0') {
            directive.zero = true;
        } else if (**p == '#') {
            directive.prefix = true;
        } else {
            break;
        }
    }
    directive.width = number_at(p);
    if (**p == '.') {
        ++*p;
        directive.precision = number_at(p);
    }
    if (**p == 'h') {
        directive.size = Directive::Short;
        ++*p;
    } else if (**p == 'l') {
        directive.size = Directive::Long;
        ++*p;
    }
    directive.conversion = **p;
    return directive;
}

void integer_field(const Directive& directive, va_list* args, Field* field) {
    char c = directive.conversion;
    bool negative = false;
    unsigned long long magnitude;
    if (c == 'd' || c == 'i') {
        long long value = directive.size == Directive::Long    ? va_arg(*args, long)
                          : directive.size == Directive::Short ? static_cast<short>(va_arg(*args, int))
                                                               : va_arg(*args, int);
        negative = value < 0;
        magnitude = negative ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    } else {
        magnitude = directive.size == Directive::Long    ? va_arg(*args, unsigned long)
                    : directive.size == Directive::Short ? static_cast<unsigned short>(va_arg(*args, unsigned))
                                                         : va_arg(*args, unsigned);
    }
    unsigned base = (c == 'x' || c == 'X') ? 16 : 10;
    field->count = digits_of(magnitude, base, c == 'X', field->digits);
    if (directive.precision == 0 && magnitude == 0) {
        field->count = 0;
    }
    if (negative) {
        field->lead = "-";
    } else if (directive.prefix && base == 16 && magnitude != 0) {
        field->lead = c == 'X' ? "0X" : "0x";
    }
    field->text = field->digits;
    field->number = true;
}

// False for a conversion it does not know.
bool take_field(const Directive& directive, va_list* args, Field* field) {
    switch (directive.conversion) {
        case 'c':
            field->digits[0] = static_cast<char>(va_arg(*args, int));
            field->text = field->digits;
            field->count = 1;
            return true;
        case 's':
            field->text = va_arg(*args, const char*);
            if (field->text == nullptr) {
                field->text = "(null)";
            }
            while (field->text[field->count] != '\0' &&
                   (directive.precision < 0 || field->count < directive.precision)) {
                ++field->count;
            }
            return true;
        case 'd':
        case 'i':
        case 'u':
        case 'x':
        case 'X':
            integer_field(directive, args, field);
            return true;
        default:
            return false;
    }
}

// The field padded to the width: spaces or zeros before, or spaces after.
void put_field(Output* out, const Directive& directive, const Field& field) {
    int zeros = field.number && directive.precision > field.count ? directive.precision - field.count : 0;
    int lead_length = static_cast<int>(strlen(field.lead));
    int total = lead_length + zeros + field.count;
    int padding = directive.width > total ? directive.width - total : 0;
    bool zero_fill = directive.zero && !directive.left && (!field.number || directive.precision < 0);
    if (!directive.left && !zero_fill) {
        out->pad(padding, ' ');
    }
    for (int i = 0; i < lead_length; ++i) {
        out->put(field.lead[i]);
    }
    if (zero_fill) {
        out->pad(padding, '0');
    }
    out->pad(zeros, '0');
    for (int i = 0; i < field.count; ++i) {
        out->put(field.text[i]);
    }
    if (directive.left) {
        out->pad(padding, ' ');
    }
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
        Directive directive = parse_directive(&p);
        if (directive.conversion == '\0') {
            break;
        }
        Field field;
        if (take_field(directive, &args, &field)) {
            put_field(&out, directive, field);
        } else {
            // An unknown conversion is copied as it stands.
            out.put(directive.conversion);
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
