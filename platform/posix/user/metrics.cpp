// The classic metrics: a fixed frame of 3 pixels, a sizing frame of 4, a
// thin border of 1, a caption and a menu bar of 19, icons of 32.
#include "platform/posix/user/surface.h"
#include "platform/posix/user/window.h"

namespace user {

namespace {
constexpr int caption_height = 19;
constexpr int fixed_frame = 3;
constexpr int sizing_frame = 4;
constexpr int thin_border = 1;
constexpr int client_edge = 2;
constexpr int menu_height = 19;
constexpr int icon_size = 32;
}  // namespace

Insets nonclient_insets(DWORD style, DWORD ex_style) {
    int frame = 0;
    if (style & WS_THICKFRAME) {
        frame = sizing_frame;
    } else if ((style & WS_DLGFRAME) || (ex_style & WS_EX_DLGMODALFRAME)) {
        frame = fixed_frame;
    } else if (style & WS_BORDER) {
        frame = thin_border;
    }
    if (ex_style & WS_EX_CLIENTEDGE) {
        frame += client_edge;
    }
    Insets insets{frame, frame, frame, frame};
    if ((style & WS_CAPTION) == WS_CAPTION) {
        insets.top += caption_height;
    }
    return insets;
}

}  // namespace user

BOOL WINAPI AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
    if (lpRect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    user::Insets insets = user::nonclient_insets(dwStyle, 0);
    lpRect->left -= insets.left;
    lpRect->top -= insets.top;
    lpRect->right += insets.right;
    lpRect->bottom += insets.bottom;
    if (bMenu) {
        lpRect->top -= user::menu_height;
    }
    return TRUE;
}

int WINAPI GetSystemMetrics(int nIndex) {
    int width = 0;
    int height = 0;
    switch (nIndex) {
        case SM_CXSCREEN:
            user::screen_size(&width, &height);
            return width;
        case SM_CYSCREEN:
            user::screen_size(&width, &height);
            return height;
        case SM_CYCAPTION:
            return user::caption_height;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return user::thin_border;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return user::fixed_frame;
        case SM_CXFRAME:
        case SM_CYFRAME:
            return user::sizing_frame;
        case SM_CXICON:
        case SM_CYICON:
            return user::icon_size;
        default:
            return 0;
    }
}
