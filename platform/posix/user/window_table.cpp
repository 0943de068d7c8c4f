// Window handles: an index into a table plus a generation, so that a handle
// of a destroyed window, or a value that was never a handle, finds nothing.
#include <algorithm>

#include "platform/posix/user/window.h"

namespace user {

namespace {

struct Slot {
    std::unique_ptr<Window> window;
    uint32_t generation = 0;
};

std::vector<Slot>& slots() {
    static std::vector<Slot> table;
    return table;
}

// The generation sits above the index, so a handle is never below 0x10000
// and cannot be taken for a resource number or a small control id.
constexpr uintptr_t index_bits = 16;

HWND make_handle(size_t index, uint32_t generation) {
    return reinterpret_cast<HWND>((static_cast<uintptr_t>(generation) << index_bits) | (index + 1));
}

}  // namespace

Window* peek_window(HWND hwnd) {
    uintptr_t value = reinterpret_cast<uintptr_t>(hwnd);
    size_t index = (value & ((uintptr_t(1) << index_bits) - 1));
    uintptr_t generation = value >> index_bits;
    if (index == 0 || generation == 0) {
        return nullptr;
    }
    index -= 1;
    auto& table = slots();
    if (index >= table.size() || table[index].generation != generation || !table[index].window) {
        return nullptr;
    }
    return table[index].window.get();
}

Window* find_window(HWND hwnd) {
    Window* window = peek_window(hwnd);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    }
    return window;
}

HWND add_window(std::unique_ptr<Window> window) {
    auto& table = slots();
    size_t index = 0;
    while (index < table.size() && table[index].window) {
        ++index;
    }
    if (index == table.size()) {
        if (index + 1 >= (size_t(1) << index_bits)) {
            return nullptr;
        }
        table.emplace_back();
    }
    Slot& slot = table[index];
    slot.generation = (slot.generation + 1) & 0x7fff;
    if (slot.generation == 0) {
        slot.generation = 1;
    }
    HWND hwnd = make_handle(index, slot.generation);
    window->handle = hwnd;
    slot.window = std::move(window);
    return hwnd;
}

void free_window(HWND hwnd) {
    uintptr_t value = reinterpret_cast<uintptr_t>(hwnd);
    size_t index = (value & ((uintptr_t(1) << index_bits) - 1)) - 1;
    if (peek_window(hwnd) != nullptr) {
        slots()[index].window.reset();
    }
    auto& tops = top_level_windows();
    tops.erase(std::remove(tops.begin(), tops.end(), hwnd), tops.end());
}

std::vector<HWND>& top_level_windows() {
    static std::vector<HWND> list;
    return list;
}

void bring_to_top(HWND hwnd) {
    auto& tops = top_level_windows();
    auto it = std::find(tops.begin(), tops.end(), hwnd);
    if (it != tops.end()) {
        tops.erase(it);
        tops.insert(tops.begin(), hwnd);
    }
}

RECT rect_intersection(const RECT& a, const RECT& b) {
    RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
    if (rect_empty(r)) {
        return RECT{0, 0, 0, 0};
    }
    return r;
}

RECT rect_union(const RECT& a, const RECT& b) {
    if (rect_empty(a)) {
        return b;
    }
    if (rect_empty(b)) {
        return a;
    }
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

}  // namespace user

// A window stays a window until its WM_NCDESTROY has been handled.
BOOL WINAPI IsWindow(HWND hWnd) {
    return user::peek_window(hWnd) != nullptr;
}
