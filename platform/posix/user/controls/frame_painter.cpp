// The classic frame of a top-level window, from its style and text, for a
// display that draws no decorations. window and client are the program's
// rectangles from the window's corner; the display sees device pixels, the
// client area placed at the device insets and as large as its buffer.
#include "platform/posix/user/controls/frame_painter.h"

#include <vector>

#include "platform/posix/gdi/device_scale.h"
#include "platform/posix/user/icons.h"

namespace user {

namespace {

int device(const Window* top, int logical) {
    return gdi::to_device(logical, top->quarters);
}

bool framed(const Window* top, RECT* window, RECT* client) {
    const Insets insets = nonclient_insets(top->style, top->ex_style);
    if (insets.top <= insets.left) {
        return false;  // no caption: nothing to draw or drag
    }
    const int width = top->client.right - top->client.left, height = top->client.bottom - top->client.top;
    *client = RECT{insets.left, insets.top, insets.left + width, insets.top + height};
    *window = RECT{0, 0, client->right + insets.right, client->bottom + insets.bottom};
    return true;
}

// The caption's small icon. The program can register only a stock icon or
// none, and either shows the platform's default application icon; a
// dialog's frame has no icon, as on the platform.
bool has_caption_icon(const Window* top) {
    return (top->style & WS_SYSMENU) && !(top->ex_style & WS_EX_DLGMODALFRAME);
}

unsigned frame_flags(const Window* top, bool active, bool close_pushed) {
    unsigned flags = has_caption_icon(top) ? unsigned{look::FrameIcon} : 0u;
    if (active) {
        flags |= look::FrameActive;
    }
    if (top->style & WS_SYSMENU) {
        flags |= look::FrameCloseBox;
        if (close_pushed) {
            flags |= look::FrameClosePushed;
        }
    }
    return flags;
}

bool frame_insets(const Window* top, Insets* insets) {
    RECT window, client;
    if (!framed(top, &window, &client)) {
        return false;
    }
    // The client area is as large on the device as its buffer.
    const int width = device(top, top->client.right - top->client.left);
    const int height = device(top, top->client.bottom - top->client.top);
    insets->left = device(top, client.left);
    insets->top = device(top, client.top);
    insets->right = device(top, window.right) - insets->left - width;
    insets->bottom = device(top, window.bottom) - insets->top - height;
    return true;
}

void paint_frame(const Window* top, const gdi::PixelBuffer& pixels, bool active, bool close_pushed,
                 void (*draw_icon)(int size, uint32_t* pixels)) {
    RECT window, client;
    if (!framed(top, &window, &client)) {
        return;
    }
    // The face first: where the edges' rounding and the client area's
    // disagree by a pixel, it is the face that shows.
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const uint32_t rgb = static_cast<uint32_t>(GetRValue(face)) << 16 | GetGValue(face) << 8 | GetBValue(face);
    for (int y = 0; y < pixels.height; y++) {
        for (int x = 0; x < pixels.width; x++) {
            pixels.pixels[static_cast<size_t>(y) * pixels.stride + x] = rgb;
        }
    }
    gdi::PixelBuffer buffer = pixels;
    HDC dc = gdi::create_dc(&buffer, 0, 0, window, top->quarters);
    if (dc == nullptr) {
        return;
    }
    // Drawn at its size on the device, as the desktop's icons are.
    const int side = device(top, 16);
    std::vector<uint32_t> icon(static_cast<size_t>(side) * side);
    // The class icon, else (a stock icon or none) the platform's default.
    if (!draw_resource_icon(top->cls != nullptr ? top->cls->wc.hIcon : nullptr, side, icon.data())) {
        draw_icon(side, icon.data());
    }
    const look::FrameIconPicture picture{icon.data(), side};
    look::draw_window_frame(dc, window, client, top->text.c_str(), frame_flags(top, active, close_pushed), &picture);
    gdi::delete_dc(dc);
}

look::FramePart part_at(const Window* top, int x, int y) {
    RECT window, client;
    if (!framed(top, &window, &client)) {
        return look::FramePart::Client;
    }
    const int quarters = top->quarters;
    return look::frame_part_at(window, client, frame_flags(top, false, false), gdi::to_logical(x, quarters),
                               gdi::to_logical(y, quarters));
}

}  // namespace

const FramePainter classic_frame = {frame_insets, paint_frame, part_at};

}  // namespace user
