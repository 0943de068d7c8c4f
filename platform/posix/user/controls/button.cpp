// The BUTTON class: push buttons, default push buttons, checkboxes, radio
// buttons and group boxes, as one window procedure over the layer's own
// calls. The state lives in the window's extra bytes.
#include "platform/posix/user/controls/look.h"
#include "platform/posix/user/window.h"

namespace user {

namespace {

constexpr int state_offset = 0;
constexpr int font_offset = sizeof(LONG_PTR);

// Bits of the state beyond the BST_ ones: the button is held down by the
// mouse or by Space and waits for the release.
constexpr LONG_PTR held = 0x100;
constexpr LONG_PTR check_mask = BST_CHECKED | BST_INDETERMINATE;

LONG_PTR get_state(HWND hwnd) {
    return GetWindowLongPtrA(hwnd, state_offset);
}
void set_state(HWND hwnd, LONG_PTR state) {
    SetWindowLongPtrA(hwnd, state_offset, state);
}

DWORD type_of(HWND hwnd) {
    return static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)) & BS_TYPEMASK;
}

bool is_checkable(DWORD type) {
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_3STATE ||
           type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON;
}

void redraw(HWND hwnd) {
    InvalidateRect(hwnd, nullptr, FALSE);
}

void set_pushed(HWND hwnd, bool pushed) {
    LONG_PTR state = get_state(hwnd);
    LONG_PTR next = pushed ? (state | BST_PUSHED) : (state & ~LONG_PTR(BST_PUSHED));
    if (next != state) {
        set_state(hwnd, next);
        redraw(hwnd);
    }
}

void set_check(HWND hwnd, WPARAM value) {
    DWORD type = type_of(hwnd);
    if (!is_checkable(type)) {
        return;
    }
    // The value is unsigned, so -1 is above the largest state as well.
    WPARAM largest = (type == BS_3STATE || type == BS_AUTO3STATE) ? BST_INDETERMINATE : BST_CHECKED;
    if (value > largest) {
        value = largest;
    }
    LONG_PTR state = get_state(hwnd);
    LONG_PTR next = (state & ~check_mask) | static_cast<LONG_PTR>(value);
    if (next != state) {
        set_state(hwnd, next);
        redraw(hwnd);
    }
}

void clicked(HWND hwnd) {
    LONG_PTR check = get_state(hwnd) & check_mask;
    switch (type_of(hwnd)) {
        case BS_AUTOCHECKBOX:
            set_check(hwnd, check ? BST_UNCHECKED : BST_CHECKED);
            break;
        case BS_AUTO3STATE:
            set_check(hwnd, check == BST_UNCHECKED ? BST_CHECKED
                            : check == BST_CHECKED ? BST_INDETERMINATE
                                                   : BST_UNCHECKED);
            break;
        case BS_AUTORADIOBUTTON:
            set_check(hwnd, BST_CHECKED);
            break;
        default:
            break;
    }
    HWND parent = GetParent(hwnd);
    if (parent != nullptr) {
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
    }
}

void press(HWND hwnd) {
    set_state(hwnd, get_state(hwnd) | held);
    set_pushed(hwnd, true);
    if (GetFocus() != hwnd) {
        SetFocus(hwnd);
    }
    SetCapture(hwnd);
}

// The mouse button or Space comes up: a click if the button is still
// pushed, that is, the pointer is still inside.
void release(HWND hwnd, bool inside) {
    LONG_PTR state = get_state(hwnd);
    if (!(state & held)) {
        return;
    }
    set_state(hwnd, state & ~held);
    bool pushed = (state & BST_PUSHED) != 0;
    set_pushed(hwnd, false);
    if (GetCapture() == hwnd) {
        ReleaseCapture();
    }
    if (pushed && inside) {
        clicked(hwnd);
    }
}

bool point_inside(HWND hwnd, LPARAM lparam) {
    RECT client;
    GetClientRect(hwnd, &client);
    return rect_contains(client, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
}

unsigned look_flags(HWND hwnd, DWORD type) {
    LONG_PTR state = get_state(hwnd);
    unsigned flags = 0;
    if (state & BST_PUSHED) {
        flags |= look::Pushed;
    }
    if ((state & check_mask) != 0) {
        flags |= look::Checked;
    }
    if ((state & BST_FOCUS) && GetFocus() == hwnd) {
        flags |= look::Focused;
    }
    if (GetWindowLongA(hwnd, GWL_STYLE) & WS_DISABLED) {
        flags |= look::Disabled;
    }
    if (type == BS_DEFPUSHBUTTON) {
        flags |= look::Default;
    }
    return flags;
}

// The brush the parent gives for the control's background: a checkbox, radio
// button or group box asks as static text does, a push button as a button.
HBRUSH parent_brush(HWND hwnd, HDC dc, DWORD type) {
    UINT message = (is_checkable(type) || type == BS_GROUPBOX) ? WM_CTLCOLORSTATIC : WM_CTLCOLORBTN;
    return reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(hwnd), message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
}

void draw(HWND hwnd, HDC dc, const RECT& client, const char* text) {
    DWORD type = type_of(hwnd);
    unsigned flags = look_flags(hwnd, type);
    HBRUSH brush = parent_brush(hwnd, dc, type);
    if (type == BS_GROUPBOX) {
        // The frame leaves its inside to the parent and to the controls in it.
        look::draw_group_box(dc, client, text, flags & look::Disabled, brush);
        return;
    }
    if (is_checkable(type)) {
        look::draw_checkbox(dc, client, text, flags, brush);
        return;
    }
    // The bevel covers the face; the brush shows only where it does not.
    FillRect(dc, &client, brush != nullptr ? brush : GetSysColorBrush(COLOR_BTNFACE));
    look::draw_push_button(dc, client, text, flags);
}

void paint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc == nullptr) {
        return;
    }
    RECT client;
    GetClientRect(hwnd, &client);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(GetWindowLongPtrA(hwnd, font_offset));
    HGDIOBJ old_font = font != nullptr ? SelectObject(dc, font) : nullptr;
    char text[512];
    GetWindowTextA(hwnd, text, sizeof text);
    draw(hwnd, dc, client, text);
    if (old_font != nullptr) {
        SelectObject(dc, old_font);
    }
    EndPaint(hwnd, &ps);
}

LRESULT dialog_code(HWND hwnd) {
    switch (type_of(hwnd)) {
        case BS_PUSHBUTTON:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
            return DLGC_STATIC;
        default:
            return DLGC_BUTTON;
    }
}

void set_font(HWND hwnd, WPARAM font, LPARAM redraw_now) {
    SetWindowLongPtrA(hwnd, font_offset, static_cast<LONG_PTR>(font));
    if (LOWORD(redraw_now)) {
        redraw(hwnd);
    }
}

LRESULT set_text(HWND hwnd, LPARAM text) {
    LRESULT result = DefWindowProcA(hwnd, WM_SETTEXT, 0, text);
    // A group box's caption may get shorter: let the parent show what it
    // covered.
    InvalidateRect(hwnd, nullptr, TRUE);
    return result;
}

void focus_lost(HWND hwnd) {
    LONG_PTR state = get_state(hwnd);
    set_state(hwnd, state & ~(LONG_PTR(BST_FOCUS) | held));
    if ((state & held) && GetCapture() == hwnd) {
        ReleaseCapture();
    }
    set_pushed(hwnd, false);
    redraw(hwnd);
}

void capture_lost(HWND hwnd, HWND new_capture) {
    if (new_capture != hwnd && (get_state(hwnd) & held)) {
        set_state(hwnd, get_state(hwnd) & ~held);
        set_pushed(hwnd, false);
    }
}

void set_type(HWND hwnd, WPARAM type, LPARAM redraw_now) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE));
    SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>((style & ~BS_TYPEMASK) | (type & BS_TYPEMASK)));
    if (redraw_now) {
        redraw(hwnd);
    }
}

// BM_CLICK: what a click on it would do.
void click(HWND hwnd) {
    if (IsWindowEnabled(hwnd) && type_of(hwnd) != BS_GROUPBOX) {
        SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        SendMessageA(hwnd, WM_LBUTTONUP, 0, 0);
    }
}

// Messages from the mouse and the keyboard, and the focus.
bool handle_input(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    bool group_box = type_of(hwnd) == BS_GROUPBOX;
    switch (message) {
        case WM_SETFOCUS:
            set_state(hwnd, get_state(hwnd) | BST_FOCUS);
            redraw(hwnd);
            return true;
        case WM_KILLFOCUS:
            focus_lost(hwnd);
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!group_box) {
                press(hwnd);
            }
            return true;
        case WM_MOUSEMOVE:
            if ((get_state(hwnd) & held) && GetCapture() == hwnd) {
                set_pushed(hwnd, point_inside(hwnd, lparam));
            }
            return true;
        case WM_LBUTTONUP:
            release(hwnd, point_inside(hwnd, lparam));
            return true;
        case WM_CAPTURECHANGED:
            capture_lost(hwnd, reinterpret_cast<HWND>(lparam));
            return true;
        case WM_KEYDOWN:
            // Not an auto-repeat (bit 30: the key was already down).
            if (wparam == VK_SPACE && !group_box && !(lparam & (LPARAM(1) << 30))) {
                press(hwnd);
            }
            return true;
        case WM_KEYUP:
            if (wparam == VK_SPACE) {
                release(hwnd, true);
            }
            return true;
        default:
            return false;
    }
}

LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (handle_input(hwnd, message, wparam, lparam)) {
        return 0;
    }
    switch (message) {
        case WM_CREATE:
            set_state(hwnd, 0);
            return 0;
        case WM_NCHITTEST:
            return type_of(hwnd) == BS_GROUPBOX ? HTTRANSPARENT : DefWindowProcA(hwnd, message, wparam, lparam);
        case WM_GETDLGCODE:
            return dialog_code(hwnd);
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT fills what it needs
        case WM_PAINT:
            paint(hwnd);
            return 0;
        case WM_SETFONT:
            set_font(hwnd, wparam, lparam);
            return 0;
        case WM_GETFONT:
            return GetWindowLongPtrA(hwnd, font_offset);
        case WM_SETTEXT:
            return set_text(hwnd, lparam);
        case WM_ENABLE:
            redraw(hwnd);
            return 0;
        case BM_GETCHECK:
            return get_state(hwnd) & check_mask;
        case BM_SETCHECK:
            set_check(hwnd, wparam);
            return 0;
        case BM_GETSTATE:
            return get_state(hwnd) & (check_mask | BST_PUSHED | BST_FOCUS);
        case BM_SETSTATE:
            set_pushed(hwnd, wparam != 0);
            return 0;
        case BM_SETSTYLE:
            set_type(hwnd, wparam, lparam);
            return 0;
        case BM_CLICK:
            click(hwnd);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wparam, lparam);
    }
}

}  // namespace

WNDCLASSA button_class() {
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = 2 * sizeof(LONG_PTR);  // the state and the font
    wc.lpszClassName = "Button";
    return wc;
}

}  // namespace user
