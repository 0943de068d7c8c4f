/* The floor: the least a program can do to show a 540 x 300 window of its
 * own pixels with Xlib. It connects, creates and maps the window, and on
 * the first Expose puts one frame, button-face grey with the watched pixel
 * in the colour the tool leaves there; then it waits to be ended.
 *
 * Usage: floor X,Y,RRGGBB */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

enum { client_width = 540, client_height = 300 };

int main(int argc, char** argv) {
    int mark_x = 0, mark_y = 0;
    unsigned int mark = 0;
    if (argc != 2 || sscanf(argv[1], "%d,%d,%x", &mark_x, &mark_y, &mark) != 3 || mark_x < 0 ||
        mark_x >= client_width || mark_y < 0 || mark_y >= client_height) {
        fprintf(stderr, "usage: floor X,Y,RRGGBB\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        return 1;
    }
    int screen = DefaultScreen(display);
    Visual* visual = DefaultVisual(display, screen);
    if (DefaultDepth(display, screen) != 24 || visual->red_mask != 0xFF0000) {
        return 1; /* the bench's Xvfb is 24-bit 0xRRGGBB */
    }

    Window window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, client_width, client_height, 0, 0, 0);
    XStoreName(display, window, "floor");
    XSelectInput(display, window, ExposureMask);
    XMapWindow(display, window);

    uint32_t* pixels = malloc(sizeof(uint32_t) * client_width * client_height);
    if (!pixels) {
        return 1;
    }
    for (int i = 0; i < client_width * client_height; i++) {
        pixels[i] = 0xD4D0C8;
    }
    pixels[mark_y * client_width + mark_x] = mark;
    XImage* image = XCreateImage(display, visual, 24, ZPixmap, 0, (char*)pixels, client_width, client_height, 32, 0);

    int put = 0;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == Expose && !put) {
            XPutImage(display, window, DefaultGC(display, screen), image, 0, 0, 0, 0, client_width, client_height);
            XFlush(display);
            put = 1;
        }
    }
}
