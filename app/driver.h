// The tool's driver: start-up, the main window, the event loop, the
// failure messages and shutdown.
#pragma once

#include <stdint.h>

#include "platform/win32.h"

// Runs the whole tool and ends the process with code 0; never returns.
[[noreturn]] void app_main(HINSTANCE instance, HINSTANCE previous_instance, LPSTR command_line, int show_command);

// The runtimes, the state file, the list file, the main window with the
// saved selection. False when the tool must end: a failure was reported, or
// the window could not be opened.
bool start_up();

// Opens window 0 and creates its 36 controls; false if the window could not
// be opened.
bool build_main_window();

// Sets the 27 checkboxes from the selection array.
void show_selection();

// "Set Filter": writes the table, saves the selection and reports it. False
// when a failure was reported and the tool must end.
bool set_filter();
