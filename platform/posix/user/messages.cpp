// Sending, posting and taking messages: SendMessageA calls the procedure
// at once; GetMessageA takes from the queue and, when it is empty, waits on
// the display for input.
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>

#include "platform/posix/user/desktop.h"
#include "platform/posix/user/surface.h"
#include "platform/posix/user/window.h"

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd != nullptr && user::find_window(hWnd) == nullptr) {
        return FALSE;
    }
    user::post_message(hWnd, Msg, wParam, lParam);
    return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
    user::post_quit(nExitCode);
}

BOOL WINAPI GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (lpMsg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (hWnd != nullptr && hWnd != reinterpret_cast<HWND>(-1) && user::find_window(hWnd) == nullptr) {
        return -1;
    }
    for (;;) {
        if (user::take_ready(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true)) {
            return lpMsg->message != WM_QUIT;
        }
        display::Input input;
        if (!user::next_display_input(&input)) {
            // The connection is gone: end as the process ends, with the files flushed.
            const char* why = user::display_failure();
            fprintf(stderr, "%s: the display was lost: %s\n", program_invocation_short_name,
                    why[0] != '\0' ? why : "it will send no more input");
            ExitProcess(1);
        }
        user::queue_input(input);
    }
}

BOOL WINAPI PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    if (lpMsg == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return user::take_ready(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0);
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return 0;
    }
    user::desktop().messages_sent++;
    WNDPROC proc = window->proc;
    if (proc == nullptr) {
        return DefWindowProcA(hWnd, Msg, wParam, lParam);
    }
    return proc(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (lpPrevWndFunc == nullptr) {
        return 0;
    }
    return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI DispatchMessageA(const MSG* lpMsg) {
    if (lpMsg == nullptr || lpMsg->hwnd == nullptr) {
        return 0;
    }
    return SendMessageA(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}
