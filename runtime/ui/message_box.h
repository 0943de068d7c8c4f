// A message box that is modal for every window of the calling thread.
#pragma once

#include "platform/win32.h"
#include "runtime/memory/node_list.h"

struct DisabledWindow {
    DWORD thread_id;  // the thread that disabled it
    HWND window;
};

// Records of the windows that message boxes have disabled, newest first.
extern NodeLink* disabled_windows;

// MessageBoxA(owner, text, caption, flags) with the thread's other visible,
// enabled top-level windows disabled while it is up. Returns its result.
int show_message(const char* caption, const char* text, UINT flags);
