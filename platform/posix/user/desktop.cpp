// The one state object of the window layer, made on first use and dropped
// whole.
#include "platform/posix/user/desktop.h"

#include <algorithm>
#include <memory>

namespace user {

namespace {

std::unique_ptr<Desktop> current;

}  // namespace

Desktop& desktop() {
    if (current == nullptr) {
        current = std::make_unique<Desktop>();
    }
    return *current;
}

void drop_desktop() {
    if (current == nullptr) {
        return;
    }
    // Owned windows go with their owners, so the list is read afresh.
    std::vector<HWND>& tops = current->top_level;
    while (!tops.empty()) {
        HWND top = tops.front();
        DestroyWindow(top);
        tops.erase(std::remove(tops.begin(), tops.end(), top), tops.end());
    }
    // A DC left open would point into freed pixels.
    for (const auto& open : current->open_dcs) {
        gdi::delete_dc(open.first);
    }
    current.reset();
}

bool desktop_consistent() {
    const Desktop& d = desktop();
    if (d.capture != nullptr && peek_window(d.capture) == nullptr) {
        return false;
    }
    if (d.active != nullptr && peek_window(d.active) == nullptr) {
        return false;
    }
    if (d.focus == nullptr) {
        return true;
    }
    return peek_window(d.focus) != nullptr && d.active != nullptr &&
           (d.focus == d.active || IsChild(d.active, d.focus));
}

}  // namespace user
