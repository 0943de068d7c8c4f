// The scripted player: finds windows by title, clicks, types and answers
// message boxes as a person would, above USER32. Its steps become input
// only when the program waits for input, and arrive through the headless
// display's input queue like any other input.
//
// When the program waits and the script is empty, the player says so on
// standard error, lists the windows and ends the process with status 3: a
// test never hangs.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/posix/display/headless.h"
#include "platform/win32.h"

namespace player {

constexpr int script_ran_out_status = display::headless::input_ran_out_status;

// Installs the headless display with the player as its input source, and
// clears the script and the records.
void install();

// Modifier keys for type_key.
enum Modifiers : unsigned { Shift = 1, Ctrl = 2, Alt = 4 };

// Script steps, run in order. A window given by title is looked up when
// the step runs (FindWindowA), so it need not exist yet; (x, y) is a point
// of that window's client area; a child window may be given as HWND.
void click(const char* title, int x, int y);
void click(HWND window, int x, int y);
// A click at a device pixel of a top-level window's surface, as the display
// reports it at a device scale (headless::set_device_quarters).
void click_device(HWND top, int device_x, int device_y);
// A finger, as a touch screen reports it: down at (x, y) of the window's
// client area (or, touch_device_down, at a device pixel of the top-level
// surface), moved there, lifted, or the whole sequence cancelled by the
// compositor. Each point has its own id while it is down; the headless
// display promotes them to the mouse as the Wayland backend does.
void touch_down(HWND window, int x, int y, int id = 0);
void touch_device_down(HWND top, int device_x, int device_y, int id = 0);
void touch_move(HWND window, int x, int y, int id = 0);
void touch_up(int id = 0);
void touch_cancel();
void key_down(int vk);
void key_up(int vk);
void type_key(int vk, unsigned modifiers = 0);
void close_window(const char* title);  // the window manager's close box
void close_window(HWND window);
// Runs when reached; steps added while it runs come next, before the rest.
// The messages it posts are handled before the next step runs.
void call(std::function<void()> step);
// Records the message box's caption and text, then presses Enter. Fails the
// process like an empty script when no message box is up.
void answer_message_box();

// Steps not yet run, and their input not yet taken.
size_t steps_left();
void clear_script();

// What the player saw.
struct MessageBoxSeen {
    std::string caption;
    std::string text;
};
const std::vector<MessageBoxSeen>& message_boxes();   // every box shown
const std::vector<MessageBoxSeen>& answered_boxes();  // those answer_message_box answered
const std::vector<std::string>& windows_shown();      // titles of top-level windows shown
// Also writes each record as a line to fd ("window\t<title>",
// "message box\t<caption>\t<text>"), for a parent process; -1 stops it.
void record_to(int fd);

// A top-level window's presented pixels as a 24-bit BMP file.
bool save_bmp(HWND window, const char* path);

}  // namespace player
