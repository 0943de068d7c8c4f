// Icons and cursors: the stock ones, and the icons the program carries
// (icons.cpp); InitCommonControls has nothing to register beyond BUTTON
// and STATIC, which the layer registers itself.
#include "platform/posix/user/icons.h"
#include "platform/posix/user/window.h"

namespace {

// The stock icons and cursors, IDI_APPLICATION and IDC_ARROW to IDC_HELP.
const uintptr_t first_stock_id = reinterpret_cast<uintptr_t>(IDC_ARROW);
const uintptr_t last_stock_id = reinterpret_cast<uintptr_t>(IDC_HELP);

// Stable, distinct, non-null values standing for the stock images.
HICON stock_image(uintptr_t id) {
    return reinterpret_cast<HICON>(0x7f000000u + id);
}

HICON load_stock(HINSTANCE instance, LPCSTR name) {
    if (instance == nullptr && IS_INTRESOURCE(name)) {
        uintptr_t id = reinterpret_cast<uintptr_t>(name);
        if (id >= first_stock_id && id <= last_stock_id) {
            return stock_image(id);
        }
    }
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}

}  // namespace

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
    if (hInstance != nullptr) {
        return user::load_resource_icon(hInstance, lpIconName);
    }
    return load_stock(hInstance, lpIconName);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
    return load_stock(hInstance, lpCursorName);
}

void WINAPI InitCommonControls(void) {
    user::register_system_classes();
}
