/* Keeps Wine warm between the bench's runs: a Windows program without a
 * window that asks for the desktop, so that Wine's desktop process starts,
 * and then sleeps until it is ended. While it lives the wineserver and the
 * desktop process stay up, so each run pays only its own start. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
    (void)instance;
    (void)previous;
    (void)command_line;
    (void)show;
    GetDesktopWindow();
    Sleep(INFINITE);
    return 0;
}
