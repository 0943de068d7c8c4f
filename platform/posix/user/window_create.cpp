// CreateWindowExA, ShowWindow and UpdateWindow.
//
// A visible top-level window gets, in this order, WM_NCCREATE, WM_CREATE,
// WM_SHOWWINDOW, WM_ACTIVATE, WM_SETFOCUS (from DefWindowProcA's handling
// of WM_ACTIVATE), WM_SIZE, WM_MOVE. A child gets WM_SIZE and WM_MOVE
// right after WM_CREATE.
#include "platform/posix/user/window.h"

namespace user {

namespace {

constexpr int default_x = 100;
constexpr int default_y = 100;
constexpr int default_width = 640;
constexpr int default_height = 480;

void place(Window* window, int x, int y, int width, int height) {
    Insets insets = nonclient_insets(window->style, window->ex_style);
    window->rect = RECT{x, y, x + (width < 0 ? 0 : width), y + (height < 0 ? 0 : height)};
    window->client = RECT{window->rect.left + insets.left, window->rect.top + insets.top,
                          window->rect.right - insets.right, window->rect.bottom - insets.bottom};
    if (window->client.right < window->client.left) {
        window->client.right = window->client.left;
    }
    if (window->client.bottom < window->client.top) {
        window->client.bottom = window->client.top;
    }
}

}  // namespace

void send_size_and_move(HWND hwnd) {
    Window* window = peek_window(hwnd);
    if (window == nullptr || window->size_move_sent) {
        return;
    }
    window->size_move_sent = true;
    int width = window->client.right - window->client.left;
    int height = window->client.bottom - window->client.top;
    SendMessageA(hwnd, WM_SIZE, 0, MAKELPARAM(width, height));
    window = peek_window(hwnd);
    if (window == nullptr) {
        return;
    }
    // WM_MOVE carries the client origin: on the screen for a top-level
    // window, in the parent's client area for a child.
    SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(window->client.left, window->client.top));
}

void show(HWND hwnd, bool visible, bool activate, bool notify) {
    Window* window = peek_window(hwnd);
    if (window == nullptr) {
        return;
    }
    bool was_visible = (window->style & WS_VISIBLE) != 0;
    if (visible == was_visible) {
        if (visible && activate && window->parent == nullptr && !(window->style & WS_DISABLED)) {
            SetActiveWindow(hwnd);
        }
        return;
    }
    if (notify) {
        SendMessageA(hwnd, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
        window = peek_window(hwnd);
        if (window == nullptr) {
            return;
        }
    }
    if (visible) {
        window->style |= WS_VISIBLE;
        if (window->parent == nullptr && window->surface) {
            display::current().show_surface(reinterpret_cast<display::SurfaceId>(hwnd), true);
        }
        invalidate(hwnd, nullptr, true);
        if (window->parent == nullptr && activate && !(window->style & WS_DISABLED)) {
            SetActiveWindow(hwnd);
        }
        send_size_and_move(hwnd);
    } else {
        HWND parent = window->parent;
        RECT covered = window->rect;
        window->style &= ~WS_VISIBLE;
        window->invalid = RECT{0, 0, 0, 0};
        if (parent == nullptr) {
            if (window->surface) {
                display::current().show_surface(reinterpret_cast<display::SurfaceId>(hwnd), false);
            }
            if (active_window() == hwnd) {
                activate_other_than(hwnd);
            }
        } else {
            HWND focus = GetFocus();
            if (focus == hwnd || IsChild(hwnd, focus)) {
                SetFocus(parent);
            }
            invalidate(parent, &covered, true);
        }
    }
}

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
    if (hWndParent != nullptr) {
        parent = user::find_window(hWndParent);
        if (parent == nullptr) {
            return nullptr;
        }
    }
    bool child = (dwStyle & WS_CHILD) != 0;
    if (child && parent == nullptr) {
        SetLastError(ERROR_TLW_WITH_WSCHILD);
        return nullptr;
    }

    auto object = std::make_unique<user::Window>();
    user::Window* window = object.get();
    window->cls = cls;
    window->proc = cls->wc.lpfnWndProc;
    window->instance = hInstance;
    window->ex_style = dwExStyle;
    window->style = dwStyle & ~WS_VISIBLE;
    if (!child && !(dwStyle & WS_POPUP)) {
        // An overlapped window always has a caption.
        window->style |= WS_CAPTION | WS_CLIPSIBLINGS;
    }
    window->text = lpWindowName != nullptr ? lpWindowName : "";
    window->extra.assign(cls->wc.cbWndExtra > 0 ? cls->wc.cbWndExtra : 0, 0);
    if (child) {
        window->parent = hWndParent;
        window->id = reinterpret_cast<LONG_PTR>(hMenu);
    } else if (parent != nullptr) {
        window->owner = user::top_level_of(parent)->handle;
    }
    if (!child) {
        if (X == CW_USEDEFAULT) {
            X = user::default_x;
            Y = user::default_y;
        }
        if (nWidth == CW_USEDEFAULT) {
            nWidth = user::default_width;
            nHeight = user::default_height;
        }
    } else {
        if (X == CW_USEDEFAULT) {
            X = 0;
            Y = 0;
        }
        if (nWidth == CW_USEDEFAULT) {
            nWidth = 0;
            nHeight = 0;
        }
    }
    user::place(window, X, Y, nWidth, nHeight);

    HWND hwnd = user::add_window(std::move(object));
    if (hwnd == nullptr) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    cls->windows++;
    if (child) {
        parent->children.push_back(hwnd);
    } else {
        auto& tops = user::top_level_windows();
        tops.insert(tops.begin(), hwnd);
        user::resize_buffer(window);
        int cw = window->client.right - window->client.left;
        int ch = window->client.bottom - window->client.top;
        window->surface = display::current().create_surface(
            reinterpret_cast<display::SurfaceId>(hwnd), window->text.c_str(), window->client.left, window->client.top,
            cw, ch, (window->style & WS_THICKFRAME) != 0);
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

    if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
        if (user::peek_window(hwnd) != nullptr) {
            DestroyWindow(hwnd);
        }
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (user::peek_window(hwnd) == nullptr ||
        SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
        if (user::peek_window(hwnd) != nullptr) {
            DestroyWindow(hwnd);
        }
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (user::peek_window(hwnd) == nullptr) {
        return nullptr;
    }
    if (child) {
        user::send_size_and_move(hwnd);
        if (dwStyle & WS_VISIBLE) {
            user::show(hwnd, true, false);
        }
    } else if (dwStyle & WS_VISIBLE) {
        ShowWindow(hwnd, (dwStyle & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
    }
    return user::peek_window(hwnd) != nullptr ? hwnd : nullptr;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    BOOL was_visible = (window->style & WS_VISIBLE) != 0;
    switch (nCmdShow) {
        case SW_HIDE:
            user::show(hWnd, false, false);
            break;
        case SW_SHOWMAXIMIZED: {
            if (window->parent == nullptr && !(window->style & WS_MAXIMIZE)) {
                int width = 0;
                int height = 0;
                user::screen_size(&width, &height);
                user::Insets insets = user::nonclient_insets(window->style, window->ex_style);
                window->style |= WS_MAXIMIZE;
                MoveWindow(hWnd, -insets.left, -insets.left, width + insets.left + insets.right,
                           height + insets.left + insets.bottom, TRUE);
            }
            user::show(hWnd, true, true);
            break;
        }
        case SW_SHOWNOACTIVATE:
        case SW_SHOWNA:
        case SW_SHOWMINNOACTIVE:
            user::show(hWnd, true, false);
            break;
        default:
            user::show(hWnd, true, true);
            break;
    }
    return was_visible;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    // Paints the window and its children now, parents first.
    HWND target = nullptr;
    for (int guard = 0; guard < 10000 && user::find_window_to_paint(hWnd, &target); ++guard) {
        user::Window* w = user::peek_window(target);
        if (w == nullptr) {
            break;
        }
        RECT before = w->invalid;
        SendMessageA(target, WM_PAINT, 0, 0);
        w = user::peek_window(target);
        if (w != nullptr && !user::rect_empty(w->invalid) && memcmp(&before, &w->invalid, sizeof(RECT)) == 0) {
            // The procedure did not validate; leave the rest to GetMessageA.
            break;
        }
    }
    return TRUE;
}
