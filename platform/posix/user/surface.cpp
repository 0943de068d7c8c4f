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
#include "platform/posix/user/icons.h"

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
    if (owned->surface) {
        display::current().set_modal(id_of(owned), modal);
    }
}

// The class icon as the window's icon on the desktop, decoded only when
// the display sends it; one the program does not carry leaves the display
// its default icon.
int class_icon_pictures(display::SurfaceId id, const display::IconPicture** pictures) {
    static std::vector<IconPicture> decoded;
    static std::vector<display::IconPicture> shown;
    const Window* top = peek_window(reinterpret_cast<HWND>(id));
    decoded =
        top != nullptr && top->cls != nullptr ? resource_icon_pictures(top->cls->wc.hIcon) : std::vector<IconPicture>();
    shown.clear();
    for (const IconPicture& picture : decoded) {
        shown.push_back(display::IconPicture{picture.side, picture.pixels.data()});
    }
    *pictures = shown.data();
    return static_cast<int>(shown.size());
}

const display::IconSource class_icon = {class_icon_pictures};

void set_surface_icon(const Window* top) {
    const display::Backend& display = display::current();
    if (display::can(display, display::window_icons) && top->cls != nullptr && top->cls->wc.hIcon != nullptr) {
        display.set_icon(id_of(top), &class_icon);
    }
}

// The window's frame painter in the display's terms.
const Window* framed_top(display::SurfaceId id) {
    const Window* top = peek_window(reinterpret_cast<HWND>(id));
    return top != nullptr && top->frame != nullptr ? top : nullptr;
}

bool display_frame_insets(display::SurfaceId id, int* left, int* top, int* right, int* bottom) {
    const Window* framed = framed_top(id);
    Insets insets{};
    if (framed == nullptr || !framed->frame->insets(framed, &insets)) {
        return false;
    }
    *left = insets.left;
    *top = insets.top;
    *right = insets.right;
    *bottom = insets.bottom;
    return true;
}

void display_draw_frame(display::SurfaceId id, uint32_t* pixels, int width, int height, int stride, unsigned state) {
    if (const Window* top = framed_top(id)) {
        top->frame->paint(top, gdi::PixelBuffer{pixels, width, height, stride}, (state & display::FrameActive) != 0,
                          (state & display::FrameClosePushed) != 0, display::draw_default_icon);
    }
}

display::FramePart display_frame_part_at(display::SurfaceId id, int x, int y) {
    const Window* top = framed_top(id);
    switch (top != nullptr ? top->frame->part_at(top, x, y) : look::FramePart::Client) {
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

const display::FramePainter frame_painter = {display_frame_insets, display_draw_frame, display_frame_part_at};

}  // namespace

int display_quarters(const Window* top) {
    const display::Backend& display = display::current();
    const display::SurfaceId id = top != nullptr ? id_of(top) : 0;
    const int quarters = display.device_quarters(id);
    return quarters < gdi::unit_quarters ? gdi::unit_quarters : quarters;
}

int device_quarters(const Window* top) {
    return top != nullptr ? top->quarters : display_quarters(nullptr);
}

bool display_has_desktop() {
    // None chosen yet: a real display will be, as only a test installs the headless one.
    const display::Backend* chosen = display::installed_backend();
    return chosen == nullptr || strcmp(chosen->name, "headless") != 0;
}

void create_surface(Window* top, const FramePainter* frame) {
    top->frame = frame;
    const display::Backend& display = display::current();
    if (display::can(display, display::layer_frames)) {
        display.set_frame_painter(&frame_painter);
    }
    top->surface = display.create_surface(id_of(top), top->text.c_str(), device(top, top->client.left),
                                          device(top, top->client.top), client_width(top), client_height(top),
                                          (top->style & WS_THICKFRAME) != 0);
    if (top->surface) {
        set_surface_icon(top);
    }
}

void set_surface_background(Window* top) {
    const display::Backend& display = display::current();
    uint32_t rgb = 0;
    if (top->surface && display::can(display, display::shows_background) && background_of(top, &rgb)) {
        display.set_background(id_of(top), rgb);
    }
}

void set_surface_owner(Window* top) {
    const display::Backend& display = display::current();
    Window* owner = top->owner != nullptr ? peek_window(top->owner) : nullptr;
    if (top->surface && owner != nullptr && owner->surface) {
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
    if (top->pixels_lent) {
        top->buffer = gdi::PixelBuffer{};
        top->pixels_lent = false;
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
    set_surface_background(top);
    // A backend that draws the frame itself draws it anew with its title.
    display::current().set_title(id_of(top), top->text.c_str());
}

void activate_surface(Window* top) {
    if (top->surface && display::can(display::current(), display::gives_keyboard)) {
        display::current().activate_surface(id_of(top));
    }
}

uint32_t* lend_surface_pixels(Window* top, int width, int height) {
    const display::Backend& display = display::current();
    if (!top->surface || !display::can(display, display::lends_pixels)) {
        return nullptr;
    }
    return display.lend_pixels(id_of(top), width, height);
}

void ready_to_draw(Window* top) {
    if (top->pixels_lent) {
        if (uint32_t* pixels = display::current().lend_pixels(id_of(top), top->buffer.width, top->buffer.height)) {
            top->buffer.pixels = pixels;
        }
    }
}

bool present(Window* top, const RECT& area) {
    if (top == nullptr || !top->surface) {
        return false;
    }
    RECT r = rect_intersection(area, RECT{0, 0, top->buffer.width, top->buffer.height});
    if (rect_empty(r)) {
        return false;
    }
    display::Frame frame{top->buffer.pixels, top->buffer.width, top->buffer.height, top->buffer.stride};
    display::current().present(id_of(top), frame, r.left, r.top, r.right - r.left, r.bottom - r.top);
    return true;
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

const char* display_failure() {
    return display::current().failure();
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
