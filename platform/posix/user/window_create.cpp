// CreateWindowExA, in steps: the default position and size, the window's
// record, its surface, and the creation messages.
//
// A visible top-level window gets, in this order, WM_NCCREATE, WM_CREATE,
// WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS (from DefWindowProcA's handling
// of WM_ACTIVATE), WM_SIZE, WM_MOVE. A child gets WM_SIZE and WM_MOVE
// right after WM_CREATE.
#include "platform/posix/user/controls/frame_painter.h"
#include "platform/posix/user/surface.h"
#include "platform/posix/user/window.h"

namespace user {

namespace {

constexpr int default_x = 100;
constexpr int default_y = 100;
constexpr int default_width = 640;
constexpr int default_height = 480;

// CW_USEDEFAULT: a top-level window gets the default place and size, a
// child the parent's corner and no size.
void apply_defaults(bool child, CREATESTRUCTA* create) {
    if (create->x == CW_USEDEFAULT) {
        create->x = child ? 0 : default_x;
        create->y = child ? 0 : default_y;
    }
    if (create->cx == CW_USEDEFAULT) {
        create->cx = child ? 0 : default_width;
        create->cy = child ? 0 : default_height;
    }
}

std::unique_ptr<Window> make_record(WindowClass* cls, Window* parent, const CREATESTRUCTA& create) {
    auto window = std::make_unique<Window>();
    DWORD style = static_cast<DWORD>(create.style);
    bool child = (style & WS_CHILD) != 0;
    window->cls = cls;
    window->proc = cls->wc.lpfnWndProc;
    window->instance = create.hInstance;
    window->ex_style = create.dwExStyle;
    window->style = style & ~WS_VISIBLE;
    if (!child && !(style & WS_POPUP)) {
        // An overlapped window always has a caption.
        window->style |= WS_CAPTION | WS_CLIPSIBLINGS;
    }
    window->text = create.lpszName != nullptr ? create.lpszName : "";
    window->extra.assign(cls->wc.cbWndExtra > 0 ? cls->wc.cbWndExtra : 0, 0);
    if (child) {
        window->parent = create.hwndParent;
        window->id = reinterpret_cast<LONG_PTR>(create.hMenu);
    } else if (parent != nullptr) {
        window->owner = top_level_of(parent)->handle;
    }
    set_window_rect(window.get(), create.x, create.y, create.cx, create.cy);
    return window;
}

// Links the new window into its parent's children or the top-level order;
// a top-level window gets its pixels and its surface.
void attach(Window* window, Window* parent) {
    window->cls->windows++;
    if (window->parent != nullptr) {
        parent->children.push_back(window->handle);
        return;
    }
    auto& tops = top_level_windows();
    tops.insert(tops.begin(), window->handle);
    // The surface first, at the scale its buffer is drawn at: the display
    // may lend the buffer's pixels.
    window->quarters = display_quarters(window);
    ask_desktop_colours();
    create_surface(window, &classic_frame);
    resize_buffer(window);
    if (window->surface) {
        // The background the surface first shows is in the desktop's colours.
        settle_desktop_colours();
        set_surface_background(window);
        set_surface_owner(window);
    }
}

// False when the procedure refused WM_NCCREATE or WM_CREATE, or destroyed
// the window while handling them; the window is gone then.
bool send_creation(HWND hwnd, CREATESTRUCTA* create) {
    LPARAM lparam = reinterpret_cast<LPARAM>(create);
    bool accepted = SendMessageA(hwnd, WM_NCCREATE, 0, lparam) != 0 && peek_window(hwnd) != nullptr &&
                    SendMessageA(hwnd, WM_CREATE, 0, lparam) != -1;
    if (!accepted) {
        if (peek_window(hwnd) != nullptr) {
            DestroyWindow(hwnd);
        }
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return peek_window(hwnd) != nullptr;
}

void show_new(HWND hwnd, DWORD style) {
    if (style & WS_CHILD) {
        send_size_and_move(hwnd);
        if (style & WS_VISIBLE) {
            show(hwnd, true, false);
        }
    } else if (style & WS_VISIBLE) {
        ShowWindow(hwnd, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
    }
}

}  // namespace

}  // namespace user

HWND WINAPI CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y,
                            int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
    user::WindowClass* cls = user::find_class(lpClassName);
    if (cls == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    user::Window* parent = nullptr;
    if (hWndParent != nullptr && (parent = user::find_window(hWndParent)) == nullptr) {
        return nullptr;
    }
    if ((dwStyle & WS_CHILD) && parent == nullptr) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }
    CREATESTRUCTA create{};
    create.lpCreateParams = lpParam;
    create.hInstance = hInstance;
    create.hMenu = hMenu;
    create.hwndParent = hWndParent;
    create.cx = nWidth;
    create.cy = nHeight;
    create.x = X;
    create.y = Y;
    create.style = static_cast<LONG>(dwStyle);
    create.lpszName = lpWindowName;
    create.lpszClass = lpClassName;
    create.dwExStyle = dwExStyle;
    user::apply_defaults((dwStyle & WS_CHILD) != 0, &create);

    auto record = user::make_record(cls, parent, create);
    user::Window* window = record.get();
    HWND hwnd = user::add_window(std::move(record));
    if (hwnd == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    user::attach(window, parent);
    if (!user::send_creation(hwnd, &create)) {
        return nullptr;
    }
    user::show_new(hwnd, dwStyle);
    return user::peek_window(hwnd) != nullptr ? hwnd : nullptr;
}
