// Frames to the compositor: what the window layer presents is gathered and
// committed once, when the program is about to wait for input, and never
// before the compositor has shown the previous commit (a frame callback),
// so nothing is drawn faster than it can be seen. The layer draws into a
// buffer lent to it, committed as it is when the compositor draws the frame.
#include <string.h>

#include "platform/posix/display/wayland/connection.h"
#include "platform/posix/display/wayland/scale.h"

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

// How the buffer is shown: at a whole buffer scale, or at scale 1 through
// the viewport at the window's logical size.
void show_at_scale(Surface* surface, const Buffer& buffer) {
    const BufferPlan plan = plan_buffer(buffer.width, buffer.height, surface->drawn, surface->fractional_drawn);
    wl_surface_set_buffer_scale(surface->surface, plan.buffer_scale);
    if (surface->viewport != nullptr) {
        wp_viewport_set_destination(surface->viewport, plan.viewport ? plan.logical_width : -1,
                                    plan.viewport ? plan.logical_height : -1);
    }
}

void copy_frame(const Frame& frame, int width, int height, Buffer* buffer) {
    for (int row = 0; row < height; row++) {
        memcpy(buffer->pixels + static_cast<size_t>(row) * buffer->width,
               frame.pixels + static_cast<size_t>(row) * frame.stride, static_cast<size_t>(width) * 4);
    }
}

// The layer's frame is the buffer it draws into, and it is the whole
// window: the compositor may read it as it is.
bool shown_as_drawn(const Surface& surface) {
    const Buffer* lent = surface.lent;
    return lent != nullptr && !lent->busy && !surface.client_frame && surface.frame.pixels == lent->pixels &&
           surface.frame.stride == lent->width && lent->width == outer_width(surface) &&
           lent->height == outer_height(surface);
}

// A buffer holds the whole frame, since the compositor may show any of the
// surface's buffers next; only the damage is said to have changed, or all
// of it when the size did. Without a frame yet the damage waits for one.
bool commit(Surface* surface) {
    const Frame& frame = surface->frame;
    if (!surface->damage.empty() && frame.pixels != nullptr) {
        const int outer_w = outer_width(*surface), outer_h = outer_height(*surface);
        Buffer* buffer =
            shown_as_drawn(*surface) ? surface->lent : free_buffer(connection().shm, surface, outer_w, outer_h);
        if (buffer == nullptr) {
            return false;  // every buffer is still read: wait for a release
        }
        if (buffer != surface->lent) {
            const Frame source = surface->client_frame ? compose_frame(surface) : frame;
            copy_frame(source, source.width < outer_w ? source.width : outer_w,
                       source.height < outer_h ? source.height : outer_h, buffer);
        }
        show_at_scale(surface, *buffer);
        wl_surface_attach(surface->surface, buffer->buffer, 0, 0);
        if (buffer->width != surface->committed_width || buffer->height != surface->committed_height) {
            wl_surface_damage_buffer(surface->surface, 0, 0, buffer->width, buffer->height);
            surface->committed_width = buffer->width;
            surface->committed_height = buffer->height;
        }
        // Damage is in client coordinates; the frame, if any, lies around them.
        const int dx = surface->inset_left, dy = surface->inset_top;
        for (const Area& a : surface->damage) {
            wl_surface_damage_buffer(surface->surface, a.left + dx, a.top + dy, a.right - a.left, a.bottom - a.top);
        }
        buffer->busy = true;
        surface->frame_callback = wl_surface_frame(surface->surface);
        wl_callback_add_listener(surface->frame_callback, &frame_listener, surface);
        surface->damage.clear();
    } else if (!surface->needs_commit) {
        return false;
    }
    surface->needs_commit = false;
    wl_surface_commit(surface->surface);
    return true;
}

}  // namespace

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
        c.frame_committed = true;
        wl_display_flush(c.display);
    }
}

// The layer draws on in the lent buffer until the compositor reads it;
// then into a free one, given the same pixels, while the compositor shows
// the other. A new size lets the old buffer go as any other.
uint32_t* lend_pixels(SurfaceId id, int width, int height) {
    Surface* surface = find_surface(id);
    if (surface == nullptr) {
        return nullptr;
    }
    Buffer* lent = surface->lent;
    const bool fits = lent != nullptr && lent->width == width && lent->height == height;
    if (fits && (!lent->busy || connection().broken)) {
        return lent->pixels;
    }
    if (lent != nullptr && !fits) {
        if (surface->frame.pixels == lent->pixels) {
            surface->frame = Frame{nullptr, 0, 0, 0};  // presented anew at the new size
            surface->damage.clear();
        }
        lent->lent = false;
        lent->retired = true;
        surface->lent = lent = nullptr;
    }
    Buffer* next = connection().broken ? nullptr : free_buffer(connection().shm, surface, width, height);
    if (next == nullptr) {
        return nullptr;
    }
    if (lent != nullptr) {
        memcpy(next->pixels, lent->pixels, lent->bytes);
        lent->lent = false;
    }
    next->lent = true;
    surface->lent = next;
    return next->pixels;
}

}  // namespace display::wayland
