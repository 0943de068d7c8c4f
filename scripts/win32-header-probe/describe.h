// Describes a declaration's type in words that mean the same on both
// platforms: integers by signedness and width (LONG is "i32" on both),
// records and handles by their tag, va_list as MinGW-w64 spells it (char*).
#pragma once

#include <stdarg.h>
#include <stddef.h>
#include <cstdio>
#include <string>
#include <type_traits>
template <typename T, typename = void>
struct TypeName {
    static std::string s() {
        if constexpr (!std::is_same_v<va_list, char*> &&
                      (std::is_same_v<T, va_list> || std::is_same_v<T, std::decay_t<va_list>>)) {
            return "char*";
        } else if constexpr (std::is_const_v<T>) {
            return "const " + TypeName<std::remove_const_t<T>>::s();
        } else if constexpr (std::is_same_v<T, char>) {
            return "char";
        } else if constexpr (std::is_same_v<T, void>) {
            return "void";
        } else if constexpr (std::is_integral_v<T>) {
            return (std::is_signed_v<T> ? "i" : "u") + std::to_string(sizeof(T) * 8);
        } else if constexpr (std::is_pointer_v<T>) {
            return TypeName<std::remove_pointer_t<T>>::s() + "*";
        } else if constexpr (std::is_array_v<T>) {
            return TypeName<std::remove_extent_t<T>>::s() + "[" + std::to_string(std::extent_v<T>) + "]";
        } else {
            std::string p = __PRETTY_FUNCTION__;
            auto a = p.find("T = ") + 4;
            auto b = p.find_first_of(";]", a);
            return p.substr(a, b - a);
        }
    }
};
template <typename R, typename... A>
struct TypeName<R(A...)> {
    static std::string s() {
        std::string r = TypeName<R>::s() + "(";
        ((r += TypeName<A>::s() + ","), ...);
        return r + ")";
    }
};
template <typename R, typename... A>
struct TypeName<R(A..., ...)> {
    static std::string s() {
        std::string r = TypeName<R>::s() + "(";
        ((r += TypeName<A>::s() + ","), ...);
        return r + "...)";
    }
};
template <typename T>
void show_value(const char* name, T v) {
    if constexpr (std::is_pointer_v<T>) {
        std::printf("%s ptr %lld\n", name, (long long)(intptr_t)v);
    } else {
        std::printf("%s %s %lld\n", name, TypeName<T>::s().c_str(), (long long)v);
    }
}
