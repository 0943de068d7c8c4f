// Window geometry with the classic metrics: a fixed frame of 3 pixels, a
// sizing frame of 4, a thin border of 1, a caption of 19.
#include "platform/posix/user/window.h"

namespace user {

namespace {
constexpr int caption_height = 19;
constexpr int fixed_frame = 3;
constexpr int sizing_frame = 4;
constexpr int thin_border = 1;
constexpr int client_edge = 2;
}  // namespace

Insets nonclient_insets(DWORD style, DWORD ex_style) {
    int frame = 0;
    if (style & WS_THICKFRAME) {
        frame = sizing_frame;
    } else if ((style & WS_DLGFRAME) || (ex_style & WS_EX_DLGMODALFRAME)) {
        frame = fixed_frame;
    } else if (style & WS_BORDER) {
        frame = thin_border;
    }
    if (ex_style & WS_EX_CLIENTEDGE) {
        frame += client_edge;
    }
    Insets insets{frame, frame, frame, frame};
    if ((style & WS_CAPTION) == WS_CAPTION) {
        insets.top += caption_height;
    }
    return insets;
}

Window* top_level_of(Window* window) {
    while (window != nullptr && window->parent != nullptr) {
        window = peek_window(window->parent);
    }
    return window;
}

POINT client_origin_on_screen(Window* window) {
    POINT p{0, 0};
    while (window != nullptr) {
        p.x += window->client.left;
        p.y += window->client.top;
        window = window->parent ? peek_window(window->parent) : nullptr;
    }
    return p;
}

POINT client_origin_in_top_level(Window* window) {
    POINT p{0, 0};
    while (window != nullptr && window->parent != nullptr) {
        p.x += window->client.left;
        p.y += window->client.top;
        window = peek_window(window->parent);
    }
    return p;
}

bool is_visible(Window* window) {
    while (window != nullptr) {
        if (!(window->style & WS_VISIBLE)) {
            return false;
        }
        window = window->parent ? peek_window(window->parent) : nullptr;
    }
    return true;
}

void screen_size(int* width, int* height) {
    *width = 0;
    *height = 0;
    display::current().screen_size(width, height);
}

}  // namespace user

BOOL WINAPI AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
    if (lpRect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    user::Insets insets = user::nonclient_insets(dwStyle, 0);
    lpRect->left -= insets.left;
    lpRect->top -= insets.top;
    lpRect->right += insets.right;
    lpRect->bottom += insets.bottom;
    if (bMenu) {
        lpRect->top -= 19;
    }
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr || lpRect == nullptr) {
        return FALSE;
    }
    RECT r = window->rect;
    if (window->parent != nullptr) {
        POINT origin = user::client_origin_on_screen(user::peek_window(window->parent));
        r.left += origin.x;
        r.right += origin.x;
        r.top += origin.y;
        r.bottom += origin.y;
    }
    *lpRect = r;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr || lpRect == nullptr) {
        return FALSE;
    }
    *lpRect = RECT{0, 0, window->client.right - window->client.left, window->client.bottom - window->client.top};
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr || lpPoint == nullptr) {
        return FALSE;
    }
    POINT origin = user::client_origin_on_screen(window);
    lpPoint->x += origin.x;
    lpPoint->y += origin.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr || lpPoint == nullptr) {
        return FALSE;
    }
    POINT origin = user::client_origin_on_screen(window);
    lpPoint->x -= origin.x;
    lpPoint->y -= origin.y;
    return TRUE;
}

int WINAPI GetSystemMetrics(int nIndex) {
    int width = 0;
    int height = 0;
    switch (nIndex) {
        case SM_CXSCREEN:
            user::screen_size(&width, &height);
            return width;
        case SM_CYSCREEN:
            user::screen_size(&width, &height);
            return height;
        case SM_CYCAPTION:
            return 19;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return 3;
        case SM_CXFRAME:
        case SM_CYFRAME:
            return 4;
        case SM_CXICON:
        case SM_CYICON:
            return 32;
        default:
            return 0;
    }
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    if (nWidth < 0) {
        nWidth = 0;
    }
    if (nHeight < 0) {
        nHeight = 0;
    }
    RECT old_rect = window->rect;
    bool was_visible = user::is_visible(window);
    user::Insets insets = user::nonclient_insets(window->style, window->ex_style);
    window->rect = RECT{X, Y, X + nWidth, Y + nHeight};
    window->client = RECT{X + insets.left, Y + insets.top, X + nWidth - insets.right, Y + nHeight - insets.bottom};
    if (window->client.right < window->client.left) {
        window->client.right = window->client.left;
    }
    if (window->client.bottom < window->client.top) {
        window->client.bottom = window->client.top;
    }
    if (window->parent == nullptr) {
        user::resize_buffer(window);
        if (window->surface) {
            display::current().move_surface(reinterpret_cast<display::SurfaceId>(hWnd), window->client.left,
                                            window->client.top, window->client.right - window->client.left,
                                            window->client.bottom - window->client.top);
        }
    } else if (was_visible && bRepaint) {
        // The parent shows again what the child covered.
        RECT uncovered = old_rect;
        user::invalidate(window->parent, &uncovered, true);
    }
    if (bRepaint || window->parent == nullptr) {
        user::invalidate(hWnd, nullptr, true);
    }
    window->size_move_sent = false;
    user::send_size_and_move(hWnd);
    return TRUE;
}
