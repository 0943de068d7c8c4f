// Accelerator tables. A virtual-key entry matches WM_KEYDOWN or
// WM_SYSKEYDOWN only when Shift, Ctrl and Alt are exactly as it says.
#include <vector>

#include "platform/posix/kernel/handles.h"
#include "platform/posix/user/window.h"

namespace user {

namespace {

struct Table {
    std::vector<ACCEL> entries;
};

Table* find_table(HACCEL handle) {
    return static_cast<Table*>(kernel::peek_handle(handle, kernel::HandleKind::Accelerators));
}

bool modifiers_match(BYTE flags) {
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool ctrl = GetKeyState(VK_CONTROL) < 0;
    bool alt = GetKeyState(VK_MENU) < 0;
    return shift == ((flags & FSHIFT) != 0) && ctrl == ((flags & FCONTROL) != 0) && alt == ((flags & FALT) != 0);
}

}  // namespace

}  // namespace user

HACCEL WINAPI CreateAcceleratorTableA(LPACCEL paccel, int cAccel) {
    if (paccel == nullptr || cAccel <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto* table = new user::Table{std::vector<ACCEL>(paccel, paccel + cAccel)};
    HACCEL handle = static_cast<HACCEL>(kernel::insert_handle(kernel::HandleKind::Accelerators, table));
    if (handle == nullptr) {
        delete table;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    return handle;
}

BOOL WINAPI DestroyAcceleratorTable(HACCEL hAccel) {
    auto* table = static_cast<user::Table*>(kernel::remove_handle(hAccel, kernel::HandleKind::Accelerators));
    if (table == nullptr) {
        SetLastError(ERROR_INVALID_ACCEL_HANDLE);
        return FALSE;
    }
    delete table;
    return TRUE;
}

int WINAPI TranslateAcceleratorA(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg) {
    if (lpMsg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    user::Table* table = user::find_table(hAccTable);
    if (table == nullptr) {
        SetLastError(ERROR_INVALID_ACCEL_HANDLE);
        return 0;
    }
    if (user::find_window(hWnd) == nullptr) {
        return 0;
    }
    UINT message = lpMsg->message;
    bool key = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    bool character = message == WM_CHAR || message == WM_SYSCHAR;
    if (!key && !character) {
        return 0;
    }
    for (const ACCEL& entry : table->entries) {
        bool virtual_key = (entry.fVirt & FVIRTKEY) != 0;
        bool matched;
        if (virtual_key) {
            matched = key && entry.key == (lpMsg->wParam & 0xffff) && user::modifiers_match(entry.fVirt);
        } else {
            // A character entry cares only about Alt.
            bool alt = GetKeyState(VK_MENU) < 0;
            matched = character && entry.key == (lpMsg->wParam & 0xffff) && alt == ((entry.fVirt & FALT) != 0);
        }
        if (matched) {
            SendMessageA(hWnd, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
            return 1;
        }
    }
    return 0;
}
