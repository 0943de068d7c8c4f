// MessageBoxA, built from the layer's own windows: a captioned popup with a
// STATIC text and a default OK button that has the focus. It is modal: the
// owner stays disabled while the box runs its own message loop. Enter,
// Escape, Space or a click on OK, and the close box all end it with IDOK.
//
// The layout follows the platform's: buttons twice the height of a text
// line and twice the larger of the label's width and two line heights,
// the text 12 pixels in and centred in a band 16 pixels taller than itself.
#include <algorithm>
#include <string>

#include "platform/posix/user/window.h"

namespace user {

namespace {

constexpr const char* class_name = "#32770";
// The box's record lives in its class's extra bytes: GWLP_USERDATA is the
// program's.
constexpr int record_offset = 0;

constexpr int text_id = 0xFFFF;
constexpr int text_margin = 12;
constexpr int text_band_extra = 16;
constexpr int bottom_margin = 8;
constexpr DWORD box_style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPSIBLINGS;

struct Modal {
    bool done = false;
    int result = IDOK;
};

void finish(HWND box, int result) {
    Modal* modal = reinterpret_cast<Modal*>(GetWindowLongPtrA(box, record_offset));
    if (modal != nullptr && !modal->done) {
        modal->done = true;
        modal->result = result;
    }
}

SIZE text_size(HDC dc, const char* text, int line_height) {
    SIZE total{0, 0};
    const char* line = text;
    for (;;) {
        const char* end = strchr(line, '\n');
        int length = end != nullptr ? static_cast<int>(end - line) : static_cast<int>(strlen(line));
        if (length > 0 && line[length - 1] == '\r') {
            --length;
        }
        SIZE size{0, 0};
        if (length > 0) {
            GetTextExtentPoint32A(dc, line, length, &size);
        }
        total.cx = std::max(total.cx, size.cx);
        total.cy += line_height;
        if (end == nullptr) {
            break;
        }
        line = end + 1;
    }
    return total;
}

// The height of a line as the text's extent gives it.
int line_height_of(HDC dc) {
    SIZE size{0, 0};
    if (GetTextExtentPoint32A(dc, "Xy", 2, &size) && size.cy > 0) {
        return size.cy;
    }
    TEXTMETRICA metrics{};
    if (GetTextMetricsA(dc, &metrics) && metrics.tmHeight > 0) {
        return metrics.tmHeight;
    }
    return 13;
}

// Sizes and places the box and its two controls.
void lay_out(HWND box, HWND owner, HWND text, HWND ok, const char* message) {
    HDC dc = GetDC(box);
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    HGDIOBJ old_font = (dc != nullptr && font != nullptr) ? SelectObject(dc, font) : nullptr;
    int line = line_height_of(dc);
    SIZE label{0, 0};
    GetTextExtentPoint32A(dc, "OK", 2, &label);
    SIZE body = text_size(dc, message, line);
    if (old_font != nullptr) {
        SelectObject(dc, old_font);
    }
    if (dc != nullptr) {
        ReleaseDC(box, dc);
    }

    int button_height = std::max(line, 1) * 2;
    int button_width = std::max<int>(label.cx, std::max(line, 1) * 2) * 2;
    int button_space = button_width / 3;
    int text_width = std::max<int>(button_width + 2 * button_space - text_margin, body.cx);
    int band = text_band_extra + body.cy;
    int client_width = text_margin + text_width + text_margin;
    int client_height = bottom_margin + band + button_height;

    RECT frame{0, 0, client_width, client_height};
    AdjustWindowRect(&frame, box_style, FALSE);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    RECT around{0, 0, 0, 0};
    if (owner == nullptr || !GetWindowRect(owner, &around)) {
        int screen_w = GetSystemMetrics(SM_CXSCREEN);
        int screen_h = GetSystemMetrics(SM_CYSCREEN);
        around = RECT{0, 0, screen_w, screen_h};
    }
    int x = around.left + ((around.right - around.left) - width) / 2;
    int y = around.top + ((around.bottom - around.top) - height) / 2;
    MoveWindow(box, x, y, width, height, FALSE);
    MoveWindow(text, text_margin, (band - body.cy) / 2, text_width, body.cy, FALSE);
    // Centred on the whole box, frame included, as the platform does.
    MoveWindow(ok, (width - button_width) / 2, band, button_width, button_height, FALSE);
}

LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_ACTIVATE:
            // Like a dialog, the box gives the keyboard to its button.
            if (LOWORD(wparam) != WA_INACTIVE) {
                HWND ok = GetDlgItem(hwnd, IDOK);
                SetFocus(ok != nullptr ? ok : hwnd);
            }
            return 0;
        case WM_COMMAND:
            if (HIWORD(wparam) == BN_CLICKED && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
                finish(hwnd, IDOK);
            }
            return 0;
        case WM_CLOSE:
            finish(hwnd, IDOK);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

}  // namespace

WNDCLASSA message_box_class() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = sizeof(LONG_PTR);  // the record
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
    wc.lpszClassName = class_name;
    return wc;
}

namespace {

// The box with its text and its OK button, laid out and hidden; null when
// it cannot be made.
HWND create_box(HWND owner, const char* caption, const char* text) {
    HINSTANCE instance = nullptr;
    HWND box = CreateWindowExA(WS_EX_DLGMODALFRAME, class_name, caption, box_style, 0, 0, 100, 100, owner, nullptr,
                               instance, nullptr);
    if (box == nullptr) {
        return nullptr;
    }
    HWND label = CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, 0, 0, 10, 10, box,
                                 reinterpret_cast<HMENU>(static_cast<intptr_t>(text_id)), instance, nullptr);
    HWND ok = CreateWindowExA(0, "Button", "OK", WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 0,
                              10, 10, box, reinterpret_cast<HMENU>(static_cast<intptr_t>(IDOK)), instance, nullptr);
    HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(ok, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    lay_out(box, owner, label, ok, text);
    return box;
}

// The box's own message loop, until it is answered or gone. WM_QUIT ends
// it too: *quit is set and *quit_code holds the code, for the caller's loop.
void run_modal(HWND box, const Modal& modal, bool* quit, WPARAM* quit_code) {
    while (!modal.done && IsWindow(box)) {
        MSG msg;
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            *quit = true;
            *quit_code = msg.wParam;
            return;
        }
        bool in_box = msg.hwnd == box || IsChild(box, msg.hwnd);
        if (in_box && (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) &&
            (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
            finish(box, IDOK);
            continue;
        }
        if (in_box && msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
            continue;  // one button: the focus stays on it
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

}  // namespace user

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    (void)uType;  // only MB_OK: one OK button, no icon
    HWND owner = nullptr;
    if (hWnd != nullptr) {
        if (user::find_window(hWnd) == nullptr) {
            return 0;
        }
        owner = GetAncestor(hWnd, GA_ROOT);
    }
    // The owner is disabled before the box exists, as the platform does.
    bool owner_was_enabled = owner != nullptr && IsWindowEnabled(owner);
    if (owner_was_enabled) {
        EnableWindow(owner, FALSE);
    }
    HWND box = user::create_box(owner, lpCaption != nullptr ? lpCaption : "Error", lpText != nullptr ? lpText : "");
    user::Modal modal;
    bool quit = false;
    WPARAM quit_code = 0;
    if (box != nullptr) {
        SetWindowLongPtrA(box, user::record_offset, reinterpret_cast<LONG_PTR>(&modal));
        ShowWindow(box, SW_SHOW);
        user::run_modal(box, modal, &quit, &quit_code);
    }
    if (owner_was_enabled && IsWindow(owner)) {
        EnableWindow(owner, TRUE);
    }
    if (box == nullptr) {
        return 0;
    }
    if (IsWindow(box)) {
        SetWindowLongPtrA(box, user::record_offset, 0);
        DestroyWindow(box);
    }
    if (quit) {
        PostQuitMessage(static_cast<int>(quit_code));
    }
    return modal.result;
}
