// Window messages become events: the class window procedure records a
// pending event, and wait_event hands it to the application.
#pragma once

#include <stdint.h>

#include "platform/win32.h"

#define EVENT_CONTROL 13100
#define EVENT_MENU 13101
#define EVENT_RELAYED_CLICK 13102
#define EVENT_CLOSE 16
#define EVENT_MOVE 3
#define EVENT_SIZE 5

// Private messages another sender may use.
#define MSG_CONTROL_EVENT 13103
#define MSG_CLICK_RELAY 12501
#define MSG_CLICK_RELAYED 12502

// Keyboard commands of every window's accelerator table.
#define CMD_NEXT_CONTROL 1212
#define CMD_PREVIOUS_CONTROL 1213

// A WM_COMMAND from a control with this id is a menu-like command.
#define COMMAND_CONTROL_ID (-10000)

// translate_window_message's answer for "let DefWindowProcA handle it".
#define NOT_HANDLED ((LRESULT)0xD0D0D0D1)

// Recorded by the translator, consumed by wait_event (0: none).
extern int32_t pending_event;
// The control number of the last event that carried one.
extern intptr_t event_control_number;
// Sub-kind of the event; -1 at the start of every wait.
extern int32_t event_detail;

void reset_event_state();

// Takes one message, delivers it, and returns the pending event, or the
// message's own identifier when none was recorded.
int32_t wait_event();

intptr_t event_control();

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT translate_window_message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The accelerator table of a runtime window, or null.
HACCEL accelerators_for_window(HWND window);
