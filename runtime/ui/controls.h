// Numbered controls inside the runtime's windows. A control's number is its
// window id, so the parent's window procedure can report which one acted.
#pragma once

#include <stdint.h>

#include "platform/win32.h"
#include "runtime/memory/node_list.h"

#define CONTROL_INITIAL_CAPACITY 30

// Handler slots of a control kind; an empty slot falls back to the default.
struct ControlKind {
    void (*free)(HWND window);                      // empty: DestroyWindow
    int32_t (*get_state)(HWND window);              // empty: state 0
    void (*set_state)(HWND window, int32_t value);  // empty: nothing
};

struct ControlEntry {
    HWND window;  // null: no control has this number
    ControlKind* kind;
    WNDPROC previous_procedure;
};

extern ControlKind text_kind;
extern ControlKind checkbox_kind;
extern ControlKind button_kind;

// Numbers 0 to control_capacity name entries of control_table, which has
// room for control_capacity + 2. Controls made as -1 live in control_list;
// their number is the address of their entry.
extern ControlEntry* control_table;
extern intptr_t control_capacity;
extern NodeLink* control_list;

extern HWND control_parent;
extern HFONT default_font;

void init_controls();
void init_common_controls();

// The parent of the controls created from now on; returns window unchanged.
HWND set_control_parent(HWND window);

// Each returns the new control's handle, or for number -1 the new number;
// 0 when nothing was created.
intptr_t create_text(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text);
intptr_t create_frame(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text);
intptr_t create_checkbox(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text);
intptr_t create_button(intptr_t number, int32_t x, int32_t y, int32_t width, int32_t height, const char* text);

// 0 when the number names no live control or its kind keeps no state.
int32_t get_control_state(intptr_t number);
void set_control_state(intptr_t number, int32_t value);
void free_control(intptr_t number);

// The entry of a number, live or not, or null.
ControlEntry* find_control_entry(intptr_t number);

// Installed on every control: frees the number when the control goes.
LRESULT CALLBACK control_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Installed on frames over control_procedure.
LRESULT CALLBACK frame_paint_filter(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
