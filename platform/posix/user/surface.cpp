// The one caller of the display backend: each top-level window with a
// surface of its own, named by the window's handle.
//
// The backend works in device pixels: surfaces, frames, positions, the
// screen and input. The program's 96-DPI coordinates become device pixels
// here, edge by edge (gdi::to_device), and input comes back through
// gdi::to_logical, so a click lands on the logical pixel drawn under it.
#include "platform/posix/user/surface.h"

#include <string.h>

#include <vector>

#include "platform/posix/display/display.h"
#include "platform/posix/gdi/device_scale.h"
#include "platform/posix/gdi/gdi_objects.h"
#include "platform/posix/user/controls/look.h"

namespace user {

namespace {

display::SurfaceId id_of(const Window* top) {
    return reinterpret_cast<display::SurfaceId>(top->handle);
}

int device(const Window* top, int logical) {
    return gdi::to_device(logical, device_quarters(top));
}

int logical(const Window* top, int device_pixel) {
    return gdi::to_logical(device_pixel, device_quarters(top));
}

// The client area's size on the device, as its buffer has it: drawing maps
// from the client area's own origin.
int client_width(const Window* top) {
    return device(top, top->client.right - top->client.left);
}

int client_height(const Window* top) {
    return device(top, top->client.bottom - top->client.top);
}

// Every window of the tree to be painted whole, children included whatever
// their parent's clipping style.
void invalidate_tree(const Window* window) {
    invalidate(window->handle, nullptr, true);
    for (HWND child : window->children) {
        if (const Window* c = peek_window(child)) {
            invalidate_tree(c);
        }
    }
}

// The class background as the display's 0x00RRGGBB.
bool background_of(const Window* top, uint32_t* rgb) {
    COLORREF colour = 0;
    if (top->cls == nullptr || top->cls->wc.hbrBackground == nullptr ||
        !gdi::brush_colour(top->cls->wc.hbrBackground, &colour)) {
        return false;
    }
    *rgb = static_cast<uint32_t>(GetRValue(colour)) << 16 | static_cast<uint32_t>(GetGValue(colour)) << 8 |
           GetBValue(colour);
    return true;
}

void set_modal(const Window* owned, bool modal) {
    if (owned->surface && display::current().set_modal != nullptr) {
        display::current().set_modal(id_of(owned), modal);
    }
}

// The frame a display without decorations has the layer draw: the
// window's own, from its style and text, in the classic look. window and
// client are the program's rectangles, from the window's corner; the
// display sees device pixels, the client area placed at device(insets) and
// as large as its buffer.
Window* framed_window(display::SurfaceId id, RECT* window, RECT* client) {
    Window* top = peek_window(reinterpret_cast<HWND>(id));
    if (top == nullptr) {
        return nullptr;
    }
    const Insets insets = nonclient_insets(top->style, top->ex_style);
    if (insets.top <= insets.left) {
        return nullptr;  // no caption: nothing to draw or drag
    }
    const int width = top->client.right - top->client.left, height = top->client.bottom - top->client.top;
    *client = RECT{insets.left, insets.top, insets.left + width, insets.top + height};
    *window = RECT{0, 0, client->right + insets.right, client->bottom + insets.bottom};
    return top;
}

// The caption's small icon. The program can register only a stock icon or
// none, and either shows the platform's default application icon; a
// dialog's frame has no icon, as on the platform.
bool has_caption_icon(const Window* top) {
    return (top->style & WS_SYSMENU) && !(top->ex_style & WS_EX_DLGMODALFRAME);
}

unsigned frame_flags(const Window* top, unsigned state) {
    unsigned flags = has_caption_icon(top) ? unsigned{look::FrameIcon} : 0u;
    if (state & display::FrameActive) {
        flags |= look::FrameActive;
    }
    if (top->style & WS_SYSMENU) {
        flags |= look::FrameCloseBox;
        if (state & display::FrameClosePushed) {
            flags |= look::FrameClosePushed;
        }
    }
    return flags;
}

bool frame_insets(display::SurfaceId id, int* left, int* top, int* right, int* bottom) {
    RECT window, client;
    const Window* framed = framed_window(id, &window, &client);
    if (framed == nullptr) {
        return false;
    }
    *left = device(framed, client.left);
    *top = device(framed, client.top);
    *right = device(framed, window.right) - *left - client_width(framed);
    *bottom = device(framed, window.bottom) - *top - client_height(framed);
    return true;
}

void draw_frame(display::SurfaceId id, uint32_t* pixels, int width, int height, int stride, unsigned state) {
    RECT window, client;
    const Window* top = framed_window(id, &window, &client);
    if (top == nullptr) {
        return;
    }
    // The face first: where the edges' rounding and the client area's
    // disagree by a pixel, it is the face that shows.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const uint32_t rgb = static_cast<uint32_t>(GetRValue(face)) << 16 | GetGValue(face) << 8 | GetBValue(face);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            pixels[static_cast<size_t>(y) * stride + x] = rgb;
        }
    }
    gdi::PixelBuffer buffer{pixels, width, height, stride};
    HDC dc = gdi::create_dc(&buffer, 0, 0, window, device_quarters(top));
    if (dc != nullptr) {
        // Drawn at its size on the device, as the desktop's icons are.
        const int side = device(top, 16);
        std::vector<uint32_t> icon(static_cast<size_t>(side) * side);
        display::draw_default_icon(side, icon.data());
        const look::FrameIconPicture picture{icon.data(), side};
        look::draw_window_frame(dc, window, client, top->text.c_str(), frame_flags(top, state), &picture);
        gdi::delete_dc(dc);
    }
}

display::FramePart frame_part_at(display::SurfaceId id, int x, int y) {
    RECT window, client;
    const Window* top = framed_window(id, &window, &client);
    if (top == nullptr) {
        return display::FramePart::Client;
    }
    switch (look::frame_part_at(window, client, frame_flags(top, 0), logical(top, x), logical(top, y))) {
        case look::FramePart::Client:
            return display::FramePart::Client;
        case look::FramePart::Caption:
            return display::FramePart::Caption;
        case look::FramePart::CloseBox:
            return display::FramePart::CloseBox;
        case look::FramePart::Icon:
            return display::FramePart::Icon;
        case look::FramePart::Border:
            break;
    }
    return display::FramePart::Border;
}

const display::FramePainter frame_painter = {frame_insets, draw_frame, frame_part_at};

}  // namespace

int display_quarters(const Window* top) {
    const display::Backend& display = display::current();
    const display::SurfaceId id = top != nullptr ? id_of(top) : 0;
    const int quarters = display.device_quarters != nullptr ? display.device_quarters(id) : gdi::unit_quarters;
    return quarters < gdi::unit_quarters ? gdi::unit_quarters : quarters;
}

int device_quarters(const Window* top) {
    return top != nullptr ? top->quarters : display_quarters(nullptr);
}

void follow_rescale(Window* top) {
    if (!top->surface) {
        return;
    }
    resize_buffer(top);
    move_surface(top);
    invalidate_tree(top);
}

void create_surface(Window* top) {
    const display::Backend& display = display::current();
    // The desktop is asked before the first surface is made and its answer
    // waited for, a moment at most, before that surface shows a colour.
    const bool desktop = strcmp(display.name, "headless") != 0;
    if (desktop) {
        appearance::ask();
    }
    if (display.set_frame_painter != nullptr) {
        display.set_frame_painter(&frame_painter);
    }
    top->surface = display.create_surface(id_of(top), top->text.c_str(), device(top, top->client.left),
                                          device(top, top->client.top), client_width(top), client_height(top),
                                          (top->style & WS_THICKFRAME) != 0);
    if (!top->surface) {
        return;
    }
    // The first answer only sets the colours: no window has drawn yet.
    if (desktop) {
        gdi::set_colour_scheme(scheme_for(appearance::settle(follow_desktop_colours)));
    }
    uint32_t rgb = 0;
    if (display.set_background != nullptr && background_of(top, &rgb)) {
        display.set_background(id_of(top), rgb);
    }
    Window* owner = top->owner != nullptr ? peek_window(top->owner) : nullptr;
    if (owner != nullptr && owner->surface && display.set_owner != nullptr) {
        display.set_owner(id_of(top), id_of(owner));
        // A box made while it holds its owner disabled.
        set_modal(top, (owner->style & WS_DISABLED) != 0);
    }
}

void follow_owner_enabled(const Window* owner) {
    bool disabled = (owner->style & WS_DISABLED) != 0;
    for (HWND hwnd : top_level_windows()) {
        Window* owned = peek_window(hwnd);
        if (owned != nullptr && owned->owner == owner->handle) {
            set_modal(owned, disabled);
        }
    }
}

void destroy_surface(Window* top) {
    if (top->surface) {
        display::current().destroy_surface(id_of(top));
        top->surface = false;
    }
}

void show_surface(Window* top, bool visible) {
    if (top->surface) {
        display::current().show_surface(id_of(top), visible);
    }
}

void move_surface(Window* top) {
    if (top->surface) {
        display::current().move_surface(id_of(top), device(top, top->client.left), device(top, top->client.top),
                                        client_width(top), client_height(top));
    }
}

void set_surface_title(Window* top) {
    if (top->surface) {
        display::current().set_title(id_of(top), top->text.c_str());
    }
}

void recolour_surface(Window* top) {
    if (!top->surface) {
        return;
    }
    const display::Backend& display = display::current();
    uint32_t rgb = 0;
    if (display.set_background != nullptr && background_of(top, &rgb)) {
        display.set_background(id_of(top), rgb);
    }
    // A backend that draws the frame itself draws it anew with its title.
    display.set_title(id_of(top), top->text.c_str());
    invalidate_tree(top);
}

void activate_surface(Window* top) {
    if (top->surface && display::current().activate_surface != nullptr) {
        display::current().activate_surface(id_of(top));
    }
}

void present(Window* top, const RECT& area) {
    if (top == nullptr || !top->surface) {
        return;
    }
    RECT r = rect_intersection(area, RECT{0, 0, top->buffer.width, top->buffer.height});
    if (rect_empty(r)) {
        return;
    }
    display::Frame frame{top->buffer.pixels, top->buffer.width, top->buffer.height, top->buffer.stride};
    display::current().present(id_of(top), frame, r.left, r.top, r.right - r.left, r.bottom - r.top);
    accessibility_frame_presented();
}

bool next_display_input(display::Input* input) {
    if (!display::current().next_input(input)) {
        return false;
    }
    const Window* top = peek_window(reinterpret_cast<HWND>(input->surface));
    if (input->kind == display::InputKind::Expose) {
        // Every logical pixel the device area touches.
        const int right = logical(top, input->x + input->width - 1) + 1;
        const int bottom = logical(top, input->y + input->height - 1) + 1;
        input->x = logical(top, input->x);
        input->y = logical(top, input->y);
        input->width = right - input->x;
        input->height = bottom - input->y;
    } else {
        input->x = logical(top, input->x);
        input->y = logical(top, input->y);
    }
    return true;
}

// The screen the program sees is the device's divided by the scale.
void screen_size(int* width, int* height) {
    *width = 0;
    *height = 0;
    display::current().screen_size(width, height);
    *width = *width * gdi::unit_quarters / device_quarters(nullptr);
    *height = *height * gdi::unit_quarters / device_quarters(nullptr);
}

}  // namespace user
