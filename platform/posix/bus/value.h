// A D-Bus value of any type the wire carries, as the parser reads it and the
// formatter writes it back, with constructors for the arguments callers send
// and look-ups for the replies they read.
#pragma once

#include <stdint.h>

#include <string>
#include <utility>
#include <vector>

namespace bus {

struct Value {
    std::string signature;     // this value's one complete type: "s", "v", "a{sv}"
    uint64_t number = 0;       // y b n q i u x t h, and d as its bits
    std::string text;          // s o g, and an "ay"'s bytes (it has no items)
    std::vector<Value> items;  // an array's elements, a struct's or entry's members, a variant's one value
};

Value boolean(bool v);
Value uint32(uint32_t v);
Value string(const std::string& v);
Value object_path(const std::string& v);
Value bytes(const std::string& v);  // "ay"
Value variant(const Value& inside);
Value array(const std::string& element_signature, std::vector<Value> elements);
// a{sv}: each value wrapped in a variant here.
Value dict(const std::vector<std::pair<std::string, Value>>& entries);

// Through any variants to what they hold.
const Value& unwrapped(const Value& v);
// The value under key in a dict with string keys (a{s...}), unwrapped; null
// when it is not one or has no such key.
const Value* lookup(const Value& dict, const std::string& key);
// False, leaving *out, when v (unwrapped) is not of that type.
bool get(const Value& v, bool* out);
bool get(const Value& v, uint32_t* out);
bool get(const Value& v, std::string* out);               // s, o or g
bool get(const Value& v, std::vector<std::string>* out);  // as

}  // namespace bus
