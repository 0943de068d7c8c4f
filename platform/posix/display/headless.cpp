// The headless backend: surfaces in memory and an input queue.
#include "platform/posix/display/headless.h"

#include <stdio.h>
#include <stdlib.h>

#include <deque>
#include <map>
#include <string>

namespace display::headless {

namespace {

struct Surface {
    std::string title;
    int x = 0, y = 0, width = 0, height = 0;
    bool visible = false;
    SurfaceId owner = 0;
    bool modal = false;
    bool has_background = false;
    uint32_t background = 0;
    std::vector<uint32_t> pixels;
};

struct State {
    std::map<SurfaceId, Surface> surfaces;
    std::deque<Input> queue;
    std::function<void()> source;
    std::function<void(SurfaceId)> shown;
    int quarters = 4;
    const FramePainter* frame_painter = nullptr;
    TouchPromotion touch;
};

State& state() {
    static State s;
    return s;
}

// Backend hooks.

void screen_size(int* width, int* height) {
    *width = screen_width;
    *height = screen_height;
}

bool create_surface(SurfaceId id, const char* title, int x, int y, int width, int height, bool) {
    Surface surface;
    surface.title = title != nullptr ? title : "";
    surface.x = x;
    surface.y = y;
    surface.width = width;
    surface.height = height;
    surface.pixels.assign(static_cast<size_t>(width > 0 ? width : 0) * (height > 0 ? height : 0), 0);
    state().surfaces[id] = surface;
    return true;
}

void destroy_surface(SurfaceId id) {
    state().surfaces.erase(id);
    forget_touch_surface(&state().touch, id);
}

void show_surface(SurfaceId id, bool visible) {
    auto it = state().surfaces.find(id);
    if (it == state().surfaces.end()) {
        return;
    }
    bool was_visible = it->second.visible;
    it->second.visible = visible;
    if (!visible || was_visible) {
        return;
    }
    if (state().shown) {
        state().shown(id);
    }
}

void move_surface(SurfaceId id, int x, int y, int width, int height) {
    auto it = state().surfaces.find(id);
    if (it == state().surfaces.end()) {
        return;
    }
    Surface& s = it->second;
    s.x = x;
    s.y = y;
    if (width != s.width || height != s.height) {
        s.width = width;
        s.height = height;
        s.pixels.assign(static_cast<size_t>(width > 0 ? width : 0) * (height > 0 ? height : 0), 0);
    }
}

void set_title(SurfaceId id, const char* title) {
    auto it = state().surfaces.find(id);
    if (it != state().surfaces.end()) {
        it->second.title = title != nullptr ? title : "";
    }
}

void present(SurfaceId id, const Frame& frame, int x, int y, int width, int height) {
    auto it = state().surfaces.find(id);
    if (it == state().surfaces.end()) {
        return;
    }
    Surface& s = it->second;
    for (int row = y; row < y + height; ++row) {
        if (row < 0 || row >= s.height || row >= frame.height) {
            continue;
        }
        for (int col = x; col < x + width; ++col) {
            if (col < 0 || col >= s.width || col >= frame.width) {
                continue;
            }
            s.pixels[static_cast<size_t>(row) * s.width + col] =
                frame.pixels[static_cast<size_t>(row) * frame.stride + col];
        }
    }
}

Surface* find(SurfaceId id) {
    auto it = state().surfaces.find(id);
    return it == state().surfaces.end() ? nullptr : &it->second;
}

void set_owner(SurfaceId id, SurfaceId owner) {
    if (Surface* s = find(id)) {
        s->owner = owner;
    }
}

void set_modal(SurfaceId id, bool modal) {
    if (Surface* s = find(id)) {
        s->modal = modal;
    }
}

void set_background(SurfaceId id, uint32_t rgb) {
    if (Surface* s = find(id)) {
        s->has_background = true;
        s->background = rgb;
    }
}

bool next_input(Input* input) {
    State& s = state();
    if (s.queue.empty()) {
        if (!s.source) {
            fprintf(stderr, "headless display: the program waits for input and there is none\n");
            fflush(stderr);
            _Exit(input_ran_out_status);
        }
        s.source();
        if (s.queue.empty()) {
            *input = Input{};
            return true;
        }
    }
    *input = s.queue.front();
    s.queue.pop_front();
    return true;
}

int device_quarters(SurfaceId) {
    return state().quarters;
}

void set_frame_painter(const FramePainter* painter) {
    state().frame_painter = painter;
}

// Forgets every surface, as a display's close does; the queue stays the test's.
void close() {
    state().surfaces.clear();
}

const char* failure() {
    return "";
}

// No desktop to show a window's icon, nor anyone to give the keyboard.
constexpr Backend hooks() {
    Backend b{};
    b.name = "headless";
    b.capabilities = shows_background | layer_frames;
    b.screen_size = screen_size;
    b.create_surface = create_surface;
    b.destroy_surface = destroy_surface;
    b.show_surface = show_surface;
    b.move_surface = move_surface;
    b.set_title = set_title;
    b.present = present;
    b.next_input = next_input;
    b.set_owner = set_owner;
    b.set_modal = set_modal;
    b.device_quarters = device_quarters;
    b.close = close;
    b.failure = failure;
    b.set_background = set_background;
    b.set_frame_painter = set_frame_painter;
    return b;
}

constexpr Backend headless_backend = hooks();

}  // namespace

void install() {
    state().queue.clear();
    state().touch = TouchPromotion{};
    state().quarters = 4;
    display::install(&headless_backend);
}

const Backend& backend() {
    return headless_backend;
}

bool relations(SurfaceId surface, Relations* out) {
    Surface* s = find(surface);
    if (s == nullptr) {
        return false;
    }
    *out = Relations{s->owner, s->modal, s->has_background, s->background};
    return true;
}

const FramePainter* frame_painter() {
    return state().frame_painter;
}

void set_device_quarters(int quarters) {
    state().quarters = quarters;
}

void push_input(const Input& input) {
    state().queue.push_back(input);
}

void push_touch(const TouchPoint& point) {
    Input made[2];
    const int count = promote_touch(&state().touch, point, made);
    for (int i = 0; i < count; i++) {
        push_input(made[i]);
    }
}

size_t inputs_waiting() {
    return state().queue.size();
}

void clear_inputs() {
    state().queue.clear();
}

void set_input_source(std::function<void()> source) {
    state().source = std::move(source);
}

void set_shown_notification(std::function<void(SurfaceId)> notify) {
    state().shown = std::move(notify);
}

bool pixels(SurfaceId surface, std::vector<uint32_t>* out, int* width, int* height) {
    auto it = state().surfaces.find(surface);
    if (it == state().surfaces.end()) {
        return false;
    }
    *out = it->second.pixels;
    *width = it->second.width;
    *height = it->second.height;
    return true;
}

bool save_bmp(SurfaceId surface, const char* path) {
    auto it = state().surfaces.find(surface);
    if (it == state().surfaces.end() || path == nullptr) {
        return false;
    }
    const Surface& s = it->second;
    int row_bytes = (s.width * 3 + 3) & ~3;
    uint32_t image_size = static_cast<uint32_t>(row_bytes) * static_cast<uint32_t>(s.height);
    unsigned char header[54] = {};
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            header[at + i] = static_cast<unsigned char>(v >> (8 * i));
        }
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, 54 + image_size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(s.width));
    put32(22, static_cast<uint32_t>(s.height));
    header[26] = 1;
    header[28] = 24;
    put32(34, image_size);
    put32(38, 2835);
    put32(42, 2835);
    FILE* file = fopen(path, "wb");
    if (file == nullptr) {
        return false;
    }
    bool ok = fwrite(header, 1, sizeof header, file) == sizeof header;
    std::vector<unsigned char> row(static_cast<size_t>(row_bytes), 0);
    for (int y = s.height - 1; ok && y >= 0; --y) {
        for (int x = 0; x < s.width; ++x) {
            uint32_t p = s.pixels[static_cast<size_t>(y) * s.width + x];
            row[x * 3 + 0] = static_cast<unsigned char>(p);
            row[x * 3 + 1] = static_cast<unsigned char>(p >> 8);
            row[x * 3 + 2] = static_cast<unsigned char>(p >> 16);
        }
        ok = fwrite(row.data(), 1, row.size(), file) == row.size();
    }
    return fclose(file) == 0 && ok;
}

}  // namespace display::headless
