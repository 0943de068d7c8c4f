// A test's end: the desktop dropped with every window and DC, and the
// invariants of desktop.h checked.
#include <algorithm>

#include "platform/posix/user/desktop.h"

namespace user {

void drop_desktop() {
    if (!desktop_made()) {
        return;
    }
    // Owned windows go with their owners, so the list is read afresh.
    std::vector<HWND>& tops = desktop().top_level;
    while (!tops.empty()) {
        HWND top = tops.front();
        DestroyWindow(top);
        tops.erase(std::remove(tops.begin(), tops.end(), top), tops.end());
    }
    // A DC left open would point into freed pixels.
    for (const auto& open : desktop().open_dcs) {
        gdi::delete_dc(open.first);
    }
    forget_desktop();
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
