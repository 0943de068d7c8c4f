// The one state object of the window layer, made on first use. It calls
// nothing of the layer: dropping it, which destroys windows, is
// desktop_reset.cpp's.
#include "platform/posix/user/desktop.h"

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

bool desktop_made() {
    return current != nullptr;
}

void forget_desktop() {
    current.reset();
}

}  // namespace user
