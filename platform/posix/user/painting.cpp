// Painting glue: each top-level window owns the pixels of its client area;
// a window's invalid area is kept as one bounding rectangle; BeginPaint and
// GetDC make device contexts over the top-level buffer, clipped to the
// window's client area; EndPaint and ReleaseDC present what was drawn.
#include <algorithm>
#include <map>

#include "platform/posix/user/desktop.h"
#include "platform/posix/user/surface.h"

namespace user {

namespace {

// Shown only until the first paint: the classic 3-D grey, not the face colour.
constexpr uint32_t unpainted_colour = 0x00D4D0C8;

std::map<HDC, HWND>& open_dcs() {
    return desktop().open_dcs;
}

gdi::PixelBuffer& screen_buffer() {
    return desktop().screen_buffer;
}

RECT client_rect(Window* window) {
    return RECT{0, 0, window->client.right - window->client.left, window->client.bottom - window->client.top};
}

RECT offset(RECT r, int dx, int dy) {
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

HDC make_dc(Window* window, const RECT* limit) {
    Window* top = top_level_of(window);
    POINT origin = client_origin_in_top_level(window);
    RECT clip = offset(client_rect(window), origin.x, origin.y);
    for (Window* w = window->parent ? peek_window(window->parent) : nullptr; w != nullptr;
         w = w->parent ? peek_window(w->parent) : nullptr) {
        POINT o = client_origin_in_top_level(w);
        clip = rect_intersection(clip, offset(client_rect(w), o.x, o.y));
    }
    if (limit != nullptr) {
        clip = rect_intersection(clip, offset(*limit, origin.x, origin.y));
    }
    clip = rect_intersection(clip, client_rect(top));
    ready_to_draw(top);
    HDC dc = gdi::create_dc(&top->buffer, origin.x, origin.y, clip, device_quarters(top));
    if (dc != nullptr) {
        open_dcs()[dc] = top->handle;
    }
    return dc;
}

bool finish_dc(HDC dc) {
    auto& dcs = open_dcs();
    auto it = dcs.find(dc);
    if (it == dcs.end()) {
        return false;
    }
    Window* top = it->second != nullptr ? peek_window(it->second) : nullptr;
    if (top != nullptr) {
        show_drawn(top, gdi::dc_drawn_area(dc));
    }
    dcs.erase(it);
    gdi::delete_dc(dc);
    return true;
}

bool paint_candidate(Window* window, HWND* found) {
    if (window == nullptr || !(window->style & WS_VISIBLE)) {
        return false;
    }
    if (!rect_empty(window->invalid)) {
        *found = window->handle;
        return true;
    }
    // The last created lies lowest, so it paints first and the first
    // created ends on top.
    for (auto it = window->children.rbegin(); it != window->children.rend(); ++it) {
        if (paint_candidate(peek_window(*it), found)) {
            return true;
        }
    }
    return false;
}

}  // namespace

void invalidate(HWND hwnd, const RECT* rect, bool erase) {
    Window* window = peek_window(hwnd);
    if (window == nullptr || !is_visible(window)) {
        return;
    }
    RECT area = client_rect(window);
    if (rect != nullptr) {
        area = rect_intersection(area, *rect);
    }
    if (rect_empty(area)) {
        return;
    }
    window->invalid = rect_union(window->invalid, area);
    window->erase = window->erase || erase;
    if (window->style & WS_CLIPCHILDREN) {
        return;
    }
    std::vector<HWND> children = window->children;
    for (HWND child : children) {
        Window* c = peek_window(child);
        if (c == nullptr || !(c->style & WS_VISIBLE)) {
            continue;
        }
        RECT part = rect_intersection(area, c->client);
        if (!rect_empty(part)) {
            RECT local = offset(part, -c->client.left, -c->client.top);
            invalidate(child, &local, erase);
        }
    }
}

void invalidate_tree(const Window* window) {
    invalidate(window->handle, nullptr, true);
    for (HWND child : window->children) {
        if (const Window* c = peek_window(child)) {
            invalidate_tree(c);
        }
    }
}

bool find_window_to_paint(HWND filter, HWND* found) {
    if (filter != nullptr) {
        Window* window = peek_window(filter);
        return window != nullptr && is_visible(window) && paint_candidate(window, found);
    }
    for (HWND top : top_level_windows()) {
        if (paint_candidate(peek_window(top), found)) {
            return true;
        }
    }
    return false;
}

// The buffer holds device pixels: the client area's edges mapped.
void resize_buffer(Window* window) {
    const int quarters = display_quarters(window);
    int width = gdi::to_device(window->client.right - window->client.left, quarters);
    int height = gdi::to_device(window->client.bottom - window->client.top, quarters);
    window->quarters = quarters;
    if (width == window->buffer.width && height == window->buffer.height && window->buffer.pixels != nullptr) {
        return;
    }
    size_t count = static_cast<size_t>(width > 0 ? width : 0) * static_cast<size_t>(height > 0 ? height : 0);
    // Drawn where the display reads them, they are shown without a copy.
    uint32_t* lent = count > 0 ? lend_surface_pixels(window, width, height) : nullptr;
    window->pixels_lent = lent != nullptr;
    if (lent != nullptr) {
        window->pixels.release();
        std::fill_n(lent, count, unpainted_colour);
        window->buffer = gdi::PixelBuffer{lent, width, height, width};
        return;
    }
    if (!window->pixels.allocate(count > 0 ? count : 1, unpainted_colour)) {
        window->buffer = gdi::PixelBuffer{};
        return;
    }
    window->buffer = gdi::PixelBuffer{window->pixels.data(), width, height, width};
}

// surface.cpp only hands the display pixels; a frame on the screen is news
// for the provider, which reads the window tree, so the painter tells it.
void show_drawn(Window* top, const RECT& area) {
    if (present(top, area)) {
        accessibility_frame_presented();
    }
}

}  // namespace user

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr || lpPaint == nullptr) {
        return nullptr;
    }
    memset(lpPaint, 0, sizeof *lpPaint);
    RECT area = window->invalid;
    bool erase = window->erase;
    window->invalid = RECT{0, 0, 0, 0};
    window->erase = false;
    lpPaint->rcPaint = area;
    HDC dc = user::make_dc(window, &area);
    lpPaint->hdc = dc;
    if (erase && dc != nullptr) {
        lpPaint->fErase = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
    }
    return dc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    (void)hWnd;
    if (lpPaint == nullptr || lpPaint->hdc == nullptr) {
        return TRUE;
    }
    user::finish_dc(lpPaint->hdc);
    return TRUE;
}

HDC WINAPI GetDC(HWND hWnd) {
    if (hWnd == nullptr) {
        HDC dc = gdi::create_dc(&user::screen_buffer(), 0, 0, RECT{0, 0, 0, 0});
        if (dc != nullptr) {
            user::open_dcs()[dc] = nullptr;
        }
        return dc;
    }
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return nullptr;
    }
    return user::make_dc(window, nullptr);
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC) {
    (void)hWnd;
    return user::finish_dc(hDC) ? 1 : 0;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT* lpRect) {
    user::Window* window = user::find_window(hWnd);
    if (window == nullptr) {
        return FALSE;
    }
    RECT& inv = window->invalid;
    if (lpRect == nullptr || (lpRect->left <= inv.left && lpRect->top <= inv.top && lpRect->right >= inv.right &&
                              lpRect->bottom >= inv.bottom)) {
        inv = RECT{0, 0, 0, 0};
        window->erase = false;
        return TRUE;
    }
    // Only a band across the whole invalid rectangle can be taken off it.
    const RECT& r = *lpRect;
    if (r.left <= inv.left && r.right >= inv.right) {
        if (r.top <= inv.top && r.bottom > inv.top) {
            inv.top = r.bottom;
        } else if (r.bottom >= inv.bottom && r.top < inv.bottom) {
            inv.bottom = r.top;
        }
    } else if (r.top <= inv.top && r.bottom >= inv.bottom) {
        if (r.left <= inv.left && r.right > inv.left) {
            inv.left = r.right;
        } else if (r.right >= inv.right && r.left < inv.right) {
            inv.right = r.left;
        }
    }
    if (user::rect_empty(inv)) {
        inv = RECT{0, 0, 0, 0};
    }
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    if (hWnd == nullptr) {
        std::vector<HWND> tops = user::top_level_windows();
        for (HWND top : tops) {
            user::invalidate(top, nullptr, bErase != 0);
        }
        return TRUE;
    }
    if (user::find_window(hWnd) == nullptr) {
        return FALSE;
    }
    user::invalidate(hWnd, lpRect, bErase != 0);
    return TRUE;
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
