// The headless display: no server, a 1920 x 1080 screen, surfaces that keep
// the pixels presented to them, and an input queue that a test fills.
//
// Only a test harness installs it (install()); it is never chosen by
// accident. When the window layer waits for input and the queue is empty,
// the backend asks the harness's input source for more; with no source, or
// one that has nothing left, it ends the process with status 3, so a test
// never hangs.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <vector>

#include "platform/posix/display/display.h"
#include "platform/posix/display/touch_promotion.h"

namespace display::headless {

constexpr int screen_width = 1920;
constexpr int screen_height = 1080;
constexpr int input_ran_out_status = 3;

// Installs the headless backend for the rest of the process, empties the
// input queue, ends any touch and sets scale 1. The source and the shown notification stay
// as they were set.
void install();
const Backend& backend();

// The device scale in quarters (4 is 1, 5 is 1.25): the surfaces, their
// pixels, the screen and the input queue are then in device pixels. Set it
// before the windows are made.
void set_device_quarters(int quarters);

// The frame painter the window layer handed the backend, which draws no
// frame of its own; null before the first surface.
const FramePainter* frame_painter();

// The input queue, taken in order by next_input.
void push_input(const Input& input);
// A touch, promoted to the mouse as the Wayland backend promotes it: the
// input it makes joins the queue.
void push_touch(const TouchPoint& point);
size_t inputs_waiting();
void clear_inputs();

// Called when the window layer waits and the queue is empty. It may push
// input; when it pushes none, next_input hands the layer an empty event
// (InputKind::None) so that the layer handles what it has queued before it
// waits again. It never returns when it has nothing left to give.
void set_input_source(std::function<void()> source);
// Called each time a surface goes from hidden to shown.
void set_shown_notification(std::function<void(SurfaceId)> notify);

// What the window layer told the display about a surface beyond its
// pixels; false if there is no such surface.
struct Relations {
    SurfaceId owner = 0;
    bool modal = false;
    bool has_background = false;
    uint32_t background = 0;  // 0x00RRGGBB
};
bool relations(SurfaceId surface, Relations* out);

// A surface's presented pixels (0x00RRGGBB, width x height); false if
// there is no such surface.
bool pixels(SurfaceId surface, std::vector<uint32_t>* out, int* width, int* height);
// Writes the surface's pixels as a 24-bit BMP file.
bool save_bmp(SurfaceId surface, const char* path);

}  // namespace display::headless
