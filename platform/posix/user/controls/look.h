// The classic look of the BUTTON and STATIC controls, the message box and
// the window frame, drawn with the GDI subset. The caller has selected the control's font into
// the DC; rectangles are client coordinates of the control.
#pragma once

#include "platform/win32.h"

namespace user::look {

enum ControlFlags : unsigned {
    Pushed = 1,    // a push button held down; a checkbox's box while pressed
    Checked = 2,   // a checkbox with its mark
    Focused = 4,   // draw the dotted focus rectangle
    Disabled = 8,  // grey, etched text
    Default = 16,  // the default push button's dark frame
};

void draw_push_button(HDC dc, const RECT& client, const char* text, unsigned flags);
// A checkbox and static text fill their client area with background first,
// and a group box its caption's gap: the brush the parent returned for
// WM_CTLCOLORSTATIC, or null for the button face. Labels keep the text colour
// the parent set in the DC unless the control is disabled; a push button's
// label is always in the system colour.
void draw_checkbox(HDC dc, const RECT& client, const char* text, unsigned flags, HBRUSH background = nullptr);
void draw_group_box(HDC dc, const RECT& client, const char* text, unsigned flags, HBRUSH background = nullptr);
// style holds the SS_ alignment of the control.
void draw_static_text(HDC dc, const RECT& client, const char* text, DWORD style, unsigned flags,
                      HBRUSH background = nullptr);

// The classic frame around a top-level window, for a display that draws
// none: the border, the caption with its small icon and the title in the
// bold caption font, the close box. window is the whole window and client
// its client area inside, in the DC's coordinates; the client area is left
// as it is.
enum FrameFlags : unsigned {
    FrameActive = 1,       // the active caption's colours
    FrameCloseBox = 2,     // a close box is drawn (WS_SYSMENU)
    FrameClosePushed = 4,  // the close box is held down
    FrameIcon = 8          // the small icon at the caption's left, the title after it
};
enum class FramePart { Client, Border, Caption, CloseBox, Icon };
// The small icon: size x size 0xAARRGGBB pixels over 16 x 16 logical ones.
struct FrameIconPicture {
    const uint32_t* pixels;
    int size;
};
void draw_window_frame(HDC dc, const RECT& window, const RECT& client, const char* title, unsigned flags,
                       const FrameIconPicture* icon = nullptr);
// What lies at (x, y): the part a click there acts on.
FramePart frame_part_at(const RECT& window, const RECT& client, unsigned flags, int x, int y);

}  // namespace user::look
