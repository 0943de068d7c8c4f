// Accelerator tables. A virtual-key entry matches WM_KEYDOWN or
// WM_SYSKEYDOWN only when Shift, Ctrl and Alt are exactly as it says.
#include <vector>

#include "platform/posix/user/window.h"

namespace user {

namespace {

struct Table {
    std::vector<ACCEL> entries;
    uint32_t generation = 0;
    bool live = false;
};

std::vector<Table>& tables() {
    static std::vector<Table> list;
    return list;
}

// Handle value: generation above a 16-bit index, like window handles, with
// a tag bit so that an accelerator handle is never a window handle.
constexpr uintptr_t tag = uintptr_t(1) << 30;

Table* find_table(HACCEL handle) {
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (!(value & tag)) {
        return nullptr;
    }
    value &= ~tag;
    size_t index = (value & 0xffff);
    uint32_t generation = static_cast<uint32_t>(value >> 16);
    if (index == 0 || index > tables().size()) {
        return nullptr;
    }
    Table& table = tables()[index - 1];
    return table.live && table.generation == generation ? &table : nullptr;
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
    auto& list = user::tables();
    size_t index = 0;
    while (index < list.size() && list[index].live) {
        ++index;
    }
    if (index == list.size()) {
        if (index >= 0xfffe) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        list.emplace_back();
    }
    user::Table& table = list[index];
    table.entries.assign(paccel, paccel + cAccel);
    table.generation = (table.generation + 1) & 0x3fff;
    if (table.generation == 0) {
        table.generation = 1;
    }
    table.live = true;
    return reinterpret_cast<HACCEL>(user::tag | (uintptr_t(table.generation) << 16) | (index + 1));
}

BOOL WINAPI DestroyAcceleratorTable(HACCEL hAccel) {
    user::Table* table = user::find_table(hAccel);
    if (table == nullptr) {
        SetLastError(ERROR_INVALID_ACCEL_HANDLE);
        return FALSE;
    }
    table->live = false;
    table->entries.clear();
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
