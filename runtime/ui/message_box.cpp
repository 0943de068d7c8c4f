// The modal message box: disables the thread's other windows around
// MessageBoxA and enables exactly those again.
#include "runtime/ui/message_box.h"

NodeLink* disabled_windows;

namespace {

BOOL CALLBACK disable_window(HWND window, LPARAM) {
    DWORD thread_id = GetCurrentThreadId();
    if (GetWindowThreadProcessId(window, nullptr) != thread_id || !IsWindowVisible(window) ||
        !IsWindowEnabled(window) || window == GetForegroundWindow()) {
        return TRUE;
    }
    // Without a record it could never be enabled again, so it stays enabled.
    DisabledWindow* record =
        static_cast<DisabledWindow*>(alloc_node(&disabled_windows, sizeof(NodeLink) + sizeof(DisabledWindow)));
    if (record != nullptr) {
        record->thread_id = thread_id;
        record->window = window;
        EnableWindow(window, FALSE);
    }
    return TRUE;
}

// Only a window of this process may own the box.
HWND choose_owner() {
    HWND foreground = GetForegroundWindow();
    if (foreground == nullptr) {
        return nullptr;
    }
    DWORD process_id = 0;
    GetWindowThreadProcessId(foreground, &process_id);
    return process_id == GetCurrentProcessId() ? foreground : nullptr;
}

void enable_disabled_windows() {
    DWORD thread_id = GetCurrentThreadId();
    NodeLink* node = disabled_windows;
    while (node != nullptr) {
        NodeLink* next = node->next;
        DisabledWindow* record = static_cast<DisabledWindow*>(payload_of_node(node));
        if (record->thread_id == thread_id) {
            EnableWindow(record->window, TRUE);
            free_node(&disabled_windows, record);
        }
        node = next;
    }
}

}  // namespace

int show_message(const char* caption, const char* text, UINT flags) {
    EnumWindows(disable_window, 0);
    HWND owner = choose_owner();
    int result = MessageBoxA(owner, text, caption, flags);
    enable_disabled_windows();
    return result;
}
