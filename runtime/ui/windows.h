// Numbered top-level windows: each number has its own window class
// ("WindowClass_<number>") and its own Tab / Shift+Tab accelerator table.
#pragma once

#include <stdint.h>

#include "platform/win32.h"
#include "runtime/memory/node_list.h"

// Flags of open_window; every other bit is a WS_* style passed through.
#define WINDOW_CENTRE_SCREEN 0x00000001
#define WINDOW_CENTRE_ACTIVE 0x00000002
#define WINDOW_HIDDEN 0x10000000
#define WINDOW_MAXIMIZE 0x01000000

#define WINDOW_INITIAL_CAPACITY 10
#define WINDOW_ACCELERATOR_COUNT 2

struct WindowRecord {
    HWND window;  // 0: the slot holds no window
    int32_t accelerator_count;
    ACCEL* accelerators;  // on the main heap
    HACCEL accelerator_table;
};

// Numbers 0 to window_capacity name slots of window_table, which has room
// for window_capacity + 2 records. Windows opened as -1 live in window_list;
// their number is the address of their record.
extern WindowRecord* window_table;
extern intptr_t window_capacity;
extern NodeLink* window_list;

// Every registration and unregistration goes through this buffer.
#define CLASS_NAME_SIZE 50
extern char class_name_buffer[CLASS_NAME_SIZE];

extern HINSTANCE module_instance;

void init_window_runtime();

// width and height are the client size; x and y the outer top-left corner.
// Returns the handle, or for number -1 the new number; 0 on failure.
intptr_t open_window(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, int32_t flags,
                     const char* title);

// The window most recently created by open_window; closing does not clear it.
HWND current_window_handle();

void close_window(intptr_t number);
void close_all_windows();

// The record of an open or once-opened number, or null.
WindowRecord* find_window_record(intptr_t number);

// Fills class_name_buffer with the class name of that number.
void format_window_class_name(intptr_t number);
