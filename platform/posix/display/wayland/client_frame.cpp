// The classic frame where the compositor draws no decorations (GNOME offers
// no xdg-decoration): the window layer draws it through its frame painter,
// in the look of its controls, and this file keeps it around the client
// area in the buffers and answers clicks on it: a press on the caption
// starts the compositor's move, a click on the close box asks to close.
#include <string.h>

#include "platform/posix/display/wayland/connection.h"
#include "platform/posix/display/wayland/scale.h"

namespace display::wayland {

namespace {

void set_pushed(Surface* surface, bool pushed) {
    const unsigned state =
        pushed ? surface->frame_state | FrameClosePushed : surface->frame_state & ~unsigned{FrameClosePushed};
    if (state != surface->frame_state) {
        surface->frame_state = state;
        frame_changed(surface);
    }
}

}  // namespace

void choose_frame(Surface* surface, bool client_side) {
    surface->client_side = client_side;
    const FramePainter* painter = connection().frame_painter;
    int left = 0, top = 0, right = 0, bottom = 0;
    const bool framed = client_side && painter != nullptr && painter->insets(surface->id, &left, &top, &right, &bottom);
    if (!framed) {
        left = top = right = bottom = 0;
    }
    if (framed == surface->client_frame && left == surface->inset_left && top == surface->inset_top &&
        right == surface->inset_right && bottom == surface->inset_bottom) {
        return;
    }
    surface->client_frame = framed;
    surface->inset_left = left;
    surface->inset_top = top;
    surface->inset_right = right;
    surface->inset_bottom = bottom;
    surface->framed.clear();
    surface->held = FramePart::Client;
    retire_buffers(surface);
    if (framed) {
        frame_changed(surface);
    }
}

void damage_whole(Surface* surface) {
    surface->damage.push_back(Area{-surface->inset_left, -surface->inset_top, surface->width + surface->inset_right,
                                   surface->height + surface->inset_bottom});
}

int outer_width(const Surface& surface) {
    return surface.width + surface.inset_left + surface.inset_right;
}

int outer_height(const Surface& surface) {
    return surface.height + surface.inset_top + surface.inset_bottom;
}

int logical_width(const Surface& surface) {
    return plan_buffer(outer_width(surface), outer_height(surface), surface.drawn, surface.fractional_drawn)
        .logical_width;
}

int logical_height(const Surface& surface) {
    return plan_buffer(outer_width(surface), outer_height(surface), surface.drawn, surface.fractional_drawn)
        .logical_height;
}

void frame_changed(Surface* surface) {
    if (!surface->client_frame) {
        return;
    }
    surface->frame_dirty = true;
    damage_whole(surface);
}

Frame compose_frame(Surface* surface) {
    const int width = outer_width(*surface), height = outer_height(*surface);
    const size_t size = static_cast<size_t>(width) * height;
    if (surface->framed.size() != size) {
        surface->framed.assign(size, 0);
        surface->frame_dirty = true;
    }
    uint32_t* pixels = surface->framed.data();
    const FramePainter* painter = connection().frame_painter;
    if (surface->frame_dirty && painter != nullptr) {
        painter->draw(surface->id, pixels, width, height, width, surface->frame_state);
        surface->frame_dirty = false;
    }
    const Frame& client = surface->frame;
    const int rows = client.height < surface->height ? client.height : surface->height;
    const int columns = client.width < surface->width ? client.width : surface->width;
    for (int row = 0; row < rows; row++) {
        memcpy(pixels + static_cast<size_t>(row + surface->inset_top) * width + surface->inset_left,
               client.pixels + static_cast<size_t>(row) * client.stride, static_cast<size_t>(columns) * 4);
    }
    return Frame{pixels, width, height, width};
}

bool frame_button(Surface* surface, int x, int y, bool pressed, uint32_t serial) {
    const FramePainter* painter = connection().frame_painter;
    if (!surface->client_frame || painter == nullptr) {
        return false;
    }
    if (!pressed) {
        const FramePart held = surface->held;
        surface->held = FramePart::Client;
        if (held == FramePart::CloseBox) {
            const bool inside = painter->part_at(surface->id, x, y) == FramePart::CloseBox;
            set_pushed(surface, false);
            if (inside) {
                Input input;
                input.kind = InputKind::CloseRequest;
                input.surface = surface->id;
                queue_input(input);
            }
        }
        return held != FramePart::Client;
    }
    if (surface->held != FramePart::Client) {
        return true;  // a second button while one is held on the frame
    }
    const FramePart part = painter->part_at(surface->id, x, y);
    if (part == FramePart::Client) {
        return false;
    }
    surface->held = part;
    if (part == FramePart::Caption && surface->toplevel != nullptr && connection().seat != nullptr) {
        // The compositor moves the window and keeps the button's release.
        xdg_toplevel_move(surface->toplevel, connection().seat, serial);
        surface->held = FramePart::Client;
    } else if (part == FramePart::CloseBox) {
        set_pushed(surface, true);
    }
    return true;
}

bool frame_motion(Surface* surface, int x, int y) {
    const FramePainter* painter = connection().frame_painter;
    if (!surface->client_frame || painter == nullptr || surface->held == FramePart::Client) {
        return false;
    }
    // The close box shows pushed only while the pointer is on it, as on the platform.
    if (surface->held == FramePart::CloseBox) {
        set_pushed(surface, painter->part_at(surface->id, x, y) == FramePart::CloseBox);
    }
    return true;
}

}  // namespace display::wayland
