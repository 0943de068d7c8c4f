// Tab and Shift+Tab between the controls of the active window.
#pragma once

// Focus the next enabled, visible WS_TABSTOP control, wrapping to the first.
void focus_next_control();

// Focus the previous such control, wrapping to the last.
void focus_previous_control();
