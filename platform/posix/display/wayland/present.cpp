// Frames to the compositor: what the window layer presents is gathered and
// committed once, when the program is about to wait for input, and never
// before the compositor has shown the previous commit (a frame callback),
// so nothing is drawn faster than it can be seen.
#include <string.h>

#include "platform/posix/display/wayland/connection.h"

namespace display::wayland {

namespace {

// More rectangles than this are sent as the one that holds them all.
constexpr size_t max_damage = 8;

void on_frame_done(void* data, wl_callback* callback, uint32_t) {
    Surface* surface = static_cast<Surface*>(data);
    wl_callback_destroy(callback);
    if (surface->frame_callback == callback) {
        surface->frame_callback = nullptr;
    }
}

const wl_callback_listener frame_listener = {on_frame_done};

bool touching(const Area& a, const Area& b) {
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

Area united(const Area& a, const Area& b) {
    return Area{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top, a.right > b.right ? a.right : b.right,
                a.bottom > b.bottom ? a.bottom : b.bottom};
}

void gather(std::vector<Area>* damage, Area area) {
    for (size_t i = 0; i < damage->size();) {
        if (touching((*damage)[i], area)) {
            area = united((*damage)[i], area);
            damage->erase(damage->begin() + static_cast<long>(i));
            i = 0;
        } else {
            i++;
        }
    }
    if (damage->size() >= max_damage) {
        for (const Area& other : *damage) {
            area = united(area, other);
        }
        damage->clear();
    }
    damage->push_back(area);
}

// A buffer holds the whole frame, since the compositor may show any of the
// surface's buffers next; only the damage is said to have changed.
bool commit(Surface* surface) {
    const int scale = surface->scale;
    const Frame& frame = surface->frame;
    Buffer* buffer = nullptr;
    if (!surface->damage.empty() && frame.pixels != nullptr) {
        buffer = free_buffer(surface, outer_width(*surface) * scale, outer_height(*surface) * scale);
        if (buffer == nullptr) {
            return false;  // every buffer is still read: wait for a release
        }
        const Frame source = surface->client_frame ? compose_frame(surface) : frame;
        const int width = source.width < outer_width(*surface) ? source.width : outer_width(*surface);
        const int height = source.height < outer_height(*surface) ? source.height : outer_height(*surface);
        copy_scaled(source, 0, 0, width, height, scale, buffer->pixels, buffer->width);
        wl_surface_set_buffer_scale(surface->surface, scale);
        wl_surface_attach(surface->surface, buffer->buffer, 0, 0);
        // Damage is in client coordinates; the frame, if any, lies around them.
        const int dx = surface->inset_left, dy = surface->inset_top;
        for (const Area& a : surface->damage) {
            wl_surface_damage_buffer(surface->surface, (a.left + dx) * scale, (a.top + dy) * scale,
                                     (a.right - a.left) * scale, (a.bottom - a.top) * scale);
        }
        buffer->busy = true;
        surface->frame_callback = wl_surface_frame(surface->surface);
        wl_callback_add_listener(surface->frame_callback, &frame_listener, surface);
    }
    surface->damage.clear();
    surface->needs_commit = false;
    wl_surface_commit(surface->surface);
    return true;
}

}  // namespace

void copy_scaled(const Frame& frame, int x, int y, int width, int height, int scale, uint32_t* to, int to_stride) {
    for (int row = 0; row < height; row++) {
        const uint32_t* source = frame.pixels + static_cast<size_t>(y + row) * frame.stride + x;
        uint32_t* first = to + static_cast<size_t>(row) * scale * to_stride;
        if (scale == 1) {
            memcpy(first, source, static_cast<size_t>(width) * sizeof(uint32_t));
            continue;
        }
        // Each pixel repeated: the classic look's one-pixel lines stay crisp.
        for (int column = 0; column < width; column++) {
            for (int i = 0; i < scale; i++) {
                first[column * scale + i] = source[column];
            }
        }
        for (int i = 1; i < scale; i++) {
            memcpy(first + static_cast<size_t>(i) * to_stride, first, static_cast<size_t>(width) * scale * 4);
        }
    }
}

void present(SurfaceId id, const Frame& frame, int x, int y, int width, int height) {
    Surface* surface = find_surface(id);
    if (surface == nullptr || frame.pixels == nullptr || frame.stride < frame.width) {
        return;
    }
    int right = x + width, bottom = y + height;
    if (!clip_to_frame(frame, surface->width, surface->height, &x, &y, &right, &bottom)) {
        return;
    }
    surface->frame = frame;
    gather(&surface->damage, Area{x, y, right, bottom});
}

void commit_frames() {
    Connection& c = connection();
    if (c.broken) {
        return;
    }
    bool committed = false;
    for (auto& entry : c.surfaces) {
        Surface& surface = entry.second;
        if (!surface.configured || surface.frame_callback != nullptr) {
            continue;
        }
        if (!surface.damage.empty() || surface.needs_commit) {
            committed |= commit(&surface);
        }
    }
    if (committed) {
        wl_display_flush(c.display);
    }
}

}  // namespace display::wayland
