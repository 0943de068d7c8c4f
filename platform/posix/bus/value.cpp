// The typed values' constructors and look-ups.
#include "platform/posix/bus/value.h"

namespace bus {

namespace {

Value basic(const char* signature, uint64_t number) {
    Value v;
    v.signature = signature;
    v.number = number;
    return v;
}

Value textual(const char* signature, const std::string& text) {
    Value v;
    v.signature = signature;
    v.text = text;
    return v;
}

}  // namespace

Value boolean(bool v) {
    return basic("b", v ? 1 : 0);
}

Value uint32(uint32_t v) {
    return basic("u", v);
}

Value string(const std::string& v) {
    return textual("s", v);
}

Value object_path(const std::string& v) {
    return textual("o", v);
}

Value bytes(const std::string& v) {
    Value a;
    a.signature = "ay";
    a.text = v;
    return a;
}

Value variant(const Value& inside) {
    Value v;
    v.signature = "v";
    v.items.push_back(inside);
    return v;
}

Value array(const std::string& element_signature, std::vector<Value> elements) {
    Value a;
    a.signature = "a" + element_signature;
    a.items = std::move(elements);
    return a;
}

Value dict(const std::vector<std::pair<std::string, Value>>& entries) {
    std::vector<Value> elements;
    for (const auto& [key, value] : entries) {
        Value entry;
        entry.signature = "{sv}";
        entry.items = {string(key), variant(value)};
        elements.push_back(std::move(entry));
    }
    return array("{sv}", std::move(elements));
}

const Value& unwrapped(const Value& v) {
    const Value* at = &v;
    while (at->signature == "v" && at->items.size() == 1) {
        at = &at->items[0];
    }
    return *at;
}

const Value* lookup(const Value& dict, const std::string& key) {
    const Value& d = unwrapped(dict);
    if (d.signature.compare(0, 3, "a{s") != 0) {
        return nullptr;
    }
    for (const Value& entry : d.items) {
        if (entry.items.size() == 2 && entry.items[0].text == key) {
            return &unwrapped(entry.items[1]);
        }
    }
    return nullptr;
}

bool get(const Value& v, bool* out) {
    const Value& u = unwrapped(v);
    if (u.signature != "b") {
        return false;
    }
    *out = u.number != 0;
    return true;
}

bool get(const Value& v, uint32_t* out) {
    const Value& u = unwrapped(v);
    if (u.signature != "u") {
        return false;
    }
    *out = static_cast<uint32_t>(u.number);
    return true;
}

bool get(const Value& v, std::string* out) {
    const Value& u = unwrapped(v);
    if (u.signature != "s" && u.signature != "o" && u.signature != "g") {
        return false;
    }
    *out = u.text;
    return true;
}

bool get(const Value& v, std::vector<std::string>* out) {
    const Value& u = unwrapped(v);
    if (u.signature != "as") {
        return false;
    }
    out->clear();
    for (const Value& element : u.items) {
        out->push_back(element.text);
    }
    return true;
}

}  // namespace bus
