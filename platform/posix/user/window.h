// The window layer's own state: window objects, classes, and the internal
// calls that the files of platform/posix/user share.
//
// Files of platform/posix/user:
//   window.h             this: window records and the calls the files share
//   desktop.h, .cpp      the one state object: what is per thread, what per process
//   desktop_reset.cpp    dropping it whole at a test's end, its invariants checked
//   window_table.cpp     window handles (the one handle table), top-level order
//   classes.cpp          RegisterClassA, UnregisterClassA, GetClassNameA
//   window_create.cpp    CreateWindowExA
//   window_position.cpp  ShowWindow, MoveWindow, WM_SHOWWINDOW, WM_SIZE, WM_MOVE;
//                        moves and scale changes the display reports
//   window_destroy.cpp   DestroyWindow
//   window_longs.cpp     Get/SetWindowLongPtrA and window text
//   window_tree.cpp      parents, children, owners, finding and enumerating
//   geometry.cpp         client origins, window and client rectangles, mapping
//   metrics.cpp          frame and caption sizes, GetSystemMetrics
//   surface.h, .cpp      the one caller of the display backend; the build
//                        keeps display.h from every other file here
//   accessibility.cpp    the one caller of the accessibility provider
//   colour_scheme.cpp    the desktop's contrast as the system colours
//   message_queue.cpp    the queue: posted messages and input, WM_QUIT, WM_PAINT
//   messages.cpp         SendMessageA, PostMessageA, GetMessageA, PeekMessageA
//   input.cpp            display input to mouse and key messages, TranslateMessage
//   key_state.cpp        the key state as input arrives and as taken, GetKeyState
//   focus.cpp            focus, activation and capture
//   painting.cpp         invalidation, BeginPaint/GetDC, UpdateWindow
//   pixel_memory.h, .cpp  a top-level window's pixels, in huge pages from 2 MB
//   def_window_proc.cpp  DefWindowProcA
//   accelerators.cpp     accelerator tables
//   format.cpp           wsprintfA, wvsprintfA
//   resources.cpp        LoadIconA, LoadCursorA, InitCommonControls
//   icons.h, .cpp        the icons the program carries, decoded when drawn
//   controls/            the layer's own classes, listed below
// and of platform/posix/user/controls:
//   button.cpp           the BUTTON class and its descriptor
//   static.cpp           the STATIC class and its descriptor
//   message_box.cpp      MessageBoxA and the box's class
//   look.h, look.cpp     the classic look the three draw with
//   window_frame.cpp     the classic window frame, in the same look
//   frame_painter.h, .cpp  a top-level window's frame in it, for a display
//                        that draws none
#pragma once

#include <stdint.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/posix/appearance/appearance.h"
#include "platform/posix/gdi/dc.h"
#include "platform/posix/gdi/system_colours.h"
#include "platform/posix/user/pixel_memory.h"
#include "platform/win32.h"

namespace display {
struct Input;
}
namespace a11y {
struct Tree;
}

namespace user {

struct FramePainter;

struct WindowClass {
    std::string name;
    WNDCLASSA wc;  // lpszClassName points into name
    ATOM atom;
    int windows;  // live windows of the class
    bool system;  // registered by the layer itself
};

struct Window {
    HWND handle = nullptr;
    WindowClass* cls = nullptr;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD ex_style = 0;
    LONG_PTR id = 0;
    LONG_PTR user_data = 0;
    HINSTANCE instance = nullptr;
    std::string text;
    HWND parent = nullptr;       // null for a top-level window
    HWND owner = nullptr;        // top-level windows only
    std::vector<HWND> children;  // creation order, the first on top
    // Window and client rectangles: screen coordinates for a top-level
    // window, the parent's client coordinates for a child.
    RECT rect{};
    RECT client{};
    std::vector<unsigned char> extra;  // cbWndExtra bytes
    bool destroying = false;
    bool size_move_sent = false;
    // The area to repaint, client coordinates; empty when valid.
    RECT invalid{};
    bool erase = false;
    // Top-level windows own the pixels of their client area, or draw into
    // pixels the display lends them (user/surface.h).
    PixelMemory pixels;
    gdi::PixelBuffer buffer{};
    bool pixels_lent = false;
    int quarters = 4;  // the device scale the buffer is drawn at (user/surface.h)
    bool surface = false;
    const FramePainter* frame = nullptr;  // with a surface: its frame where the display draws none
    bool maximized = false;
    RECT restored{};  // where SW_RESTORE puts a maximised window back
};

// Handles. find_window sets ERROR_INVALID_WINDOW_HANDLE for a stale or
// foreign handle; peek_window does not touch the last error.
Window* find_window(HWND hwnd);
Window* peek_window(HWND hwnd);
HWND add_window(std::unique_ptr<Window> window);
void free_window(HWND hwnd);
// Top-level windows, the topmost first.
std::vector<HWND>& top_level_windows();
void bring_to_top(HWND hwnd);

// Classes (classes.cpp).
WindowClass* find_class(LPCSTR name);
void register_system_classes();

// Metrics (metrics.cpp).
struct Insets {
    int left, top, right, bottom;
};
Insets nonclient_insets(DWORD style, DWORD ex_style);

// Geometry (geometry.cpp).
Window* top_level_of(Window* window);
// The window's client origin on the screen.
POINT client_origin_on_screen(Window* window);
// The window's client origin in its top-level window's client area.
POINT client_origin_in_top_level(Window* window);
bool is_visible(Window* window);  // itself and every ancestor

// Position and size (window_position.cpp).
// The window rectangle (x, y, width, height) and the client rectangle inside
// its frame; a negative size counts as 0.
void set_window_rect(Window* window, int x, int y, int width, int height);
// notify: send WM_SHOWWINDOW (DestroyWindow hides without it).
void show(HWND hwnd, bool visible, bool activate, bool notify = true);
void send_size_and_move(HWND hwnd);
// The display put a top-level window's client area at (x, y) on the screen.
void moved_by_display(Window* top, int x, int y);
// The display draws a top-level window's surface at a new scale: a buffer
// of the new size, the surface resized, every window of it painted anew.
void rescaled_by_display(Window* top);

// Accessibility (accessibility.cpp): the windows as a screen reader sees them.
// The first frame on the screen lets the provider begin: whoever presents
// one tells it (painting.cpp), as the display knows nothing of readers.
void accessibility_frame_presented();
const a11y::Tree& accessibility_tree();

// The desktop's colours (colour_scheme.cpp). Asked for before a top-level
// window's surface is made and settled after, so the portal answers while
// the display works, and before the program's WM_CREATE reads a colour;
// both ask nothing of a display without a desktop.
void ask_desktop_colours();
void settle_desktop_colours();
gdi::ColourScheme scheme_for(const appearance::Preference& p);
void follow_desktop_colours(appearance::Preference p);

// Message queue (message_queue.cpp).
// key_vk and key_down: a key message's change to the key state, applied
// when the message is taken.
void post_message(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam, uint32_t time = 0, int key_vk = 0,
                  bool key_down = false);
// Takes (or looks at) the first queued message that passes the filter,
// else WM_QUIT, else a WM_PAINT. False when none is ready.
bool take_ready(MSG* out, HWND filter, UINT low, UINT high, bool remove);
void post_quit(int code);
void forget_messages(HWND hwnd);
uint32_t message_time();
void set_cursor_position(POINT screen);

// Input (input.cpp): turns what the display reports into queued messages.
void queue_input(const display::Input& input);

// Key state (key_state.cpp): as input arrives, before the queue delivers
// it, and as of the message last taken from the queue.
bool async_key_down(int vk);
void set_async_key(int vk, bool down);
void apply_key(int vk, bool down);

// Focus and activation (focus.cpp).
void forget_focus_of(HWND hwnd);  // a window being destroyed
void activate_other_than(HWND hwnd);
HWND active_window();

// Painting (painting.cpp).
void invalidate(HWND hwnd, const RECT* rect, bool erase);
// Every window of the tree to be painted whole, children included whatever
// their parent's clipping style.
void invalidate_tree(const Window* window);
bool find_window_to_paint(HWND filter, HWND* found);
void resize_buffer(Window* window);
// The area of the top-level window's buffer put on the screen.
void show_drawn(Window* top, const RECT& area);

// The layer's own classes (controls/), each described beside its procedure.
WNDCLASSA button_class();
WNDCLASSA static_class();
WNDCLASSA message_box_class();

// Small rectangle helpers.
inline bool rect_empty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
RECT rect_intersection(const RECT& a, const RECT& b);
RECT rect_union(const RECT& a, const RECT& b);
inline bool rect_contains(const RECT& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

}  // namespace user
