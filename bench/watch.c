/* Starts a program on the X display and times it from outside, without
 * polling: MapNotify on the root tells when its window is mapped, DAMAGE
 * tells when anything is drawn, and then one pixel of the window is read
 * until it has the colour that the program's last drawing leaves there.
 *
 * Usage: watch [options] -- program [arguments]
 *   --pixel X,Y,RRGGBB   the pixel of the window that marks "painted"
 *   --click X,Y          after painting, click there and wait for the
 *                        next window (the message box) to be mapped
 *   --dir DIR            start the program in DIR
 *   --timeout SECONDS    give up after this long (default 60)
 *   --maps FILE          copy the program's /proc/PID/maps there when painted
 *
 * Prints one line: "map=MS paint=MS click=MS rss=KB" (times in
 * milliseconds from the start, click from the button's release; -1 where
 * not reached), then ends the program. The program's peak RSS is read from
 * /proc just before it is ended. With BENCH_T0 set in the program's
 * environment to the start time (CLOCK_MONOTONIC nanoseconds), an
 * instrumented build can report its own phases on the same clock. */
#define _GNU_SOURCE
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

/* A window may vanish between an event and our request; that is no error
 * here, only a pixel not yet seen. */
static int ignore_errors(Display* display, XErrorEvent* error) {
    (void)display;
    (void)error;
    return 0;
}

static int pixel_matches(Display* display, Window window, int x, int y, unsigned long rgb) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable ||
        x >= attributes.width || y >= attributes.height) {
        return 0;
    }
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) {
        return 0;
    }
    unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    /* The bench's Xvfb is 24-bit TrueColor, 0xRRGGBB. */
    return (pixel & 0xFFFFFF) == rgb;
}

static void copy_maps(pid_t pid, const char* to) {
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/maps", (int)pid);
    FILE* from = fopen(path, "r");
    FILE* out = fopen(to, "w");
    char line[1024];
    while (from && out && fgets(line, sizeof line, from)) {
        fputs(line, out);
    }
    if (from) {
        fclose(from);
    }
    if (out) {
        fclose(out);
    }
}

static long peak_rss_kb(pid_t pid) {
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE* file = fopen(path, "r");
    if (!file) {
        return -1;
    }
    char line[256];
    long kb = -1;
    while (fgets(line, sizeof line, file)) {
        if (sscanf(line, "VmHWM: %ld b", &kb) == 1) {
            break;
        }
    }
    fclose(file);
    return kb;
}

/* Waits for the next event, at most until the deadline. */
static int next_event(Display* display, XEvent* event, double deadline) {
    while (!XPending(display)) {
        double left = deadline - now_ms();
        if (left <= 0) {
            return 0;
        }
        struct pollfd p = {ConnectionNumber(display), POLLIN, 0};
        if (poll(&p, 1, (int)left + 1) < 0 && errno != EINTR) {
            return 0;
        }
    }
    XNextEvent(display, event);
    return 1;
}

static void usage(void) {
    fprintf(
        stderr,
        "usage: watch [--pixel X,Y,RRGGBB] [--click X,Y] [--dir DIR] [--timeout S] [--maps FILE] -- program [args]\n");
    exit(2);
}

int main(int argc, char** argv) {
    int px = -1, py = -1, cx = -1, cy = -1;
    unsigned long colour = 0;
    const char* dir = NULL;
    const char* maps = NULL;
    double timeout_ms = 60000;
    int i = 1;
    for (; i < argc && strcmp(argv[i], "--") != 0; i++) {
        if (i + 1 >= argc) {
            usage();
        }
        if (strcmp(argv[i], "--pixel") == 0) {
            if (sscanf(argv[++i], "%d,%d,%lx", &px, &py, &colour) != 3) {
                usage();
            }
        } else if (strcmp(argv[i], "--click") == 0) {
            if (sscanf(argv[++i], "%d,%d", &cx, &cy) != 2) {
                usage();
            }
        } else if (strcmp(argv[i], "--maps") == 0) {
            maps = argv[++i];
        } else if (strcmp(argv[i], "--dir") == 0) {
            dir = argv[++i];
        } else if (strcmp(argv[i], "--timeout") == 0) {
            timeout_ms = atof(argv[++i]) * 1000;
        } else {
            usage();
        }
    }
    if (i + 1 >= argc || px < 0) {
        usage();
    }
    char** command = argv + i + 1;

    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "watch: cannot open display\n");
        return 1;
    }
    int damage_event, damage_error, xtest_event, xtest_error, major, minor;
    if (!XDamageQueryExtension(display, &damage_event, &damage_error) ||
        !XTestQueryExtension(display, &xtest_event, &xtest_error, &major, &minor)) {
        fprintf(stderr, "watch: the X server lacks DAMAGE or XTEST\n");
        return 1;
    }
    XSetErrorHandler(ignore_errors);
    Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    /* Damage on the root reports drawing into every window on the screen,
     * so nothing drawn between the map and our noticing it is missed. */
    Damage damage = XDamageCreate(display, root, XDamageReportNonEmpty);
    XSync(display, False);

    const double start = now_ms();
    struct timespec t0;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    char t0_text[32];
    snprintf(t0_text, sizeof t0_text, "%lld", (long long)t0.tv_sec * 1000000000LL + t0.tv_nsec);
    pid_t child = fork();
    if (child == 0) {
        close(ConnectionNumber(display));
        setenv("BENCH_T0", t0_text, 1);
        if (dir && chdir(dir) != 0) {
            perror(dir);
            _exit(127);
        }
        execvp(command[0], command);
        perror(command[0]);
        _exit(127);
    }
    if (child < 0) {
        perror("fork");
        return 1;
    }

    const double deadline = start + timeout_ms;
    Window target = 0;
    double mapped = -1, painted = -1, clicked = -1, boxed = -1, click_time = 0;
    XEvent event;
    while (next_event(display, &event, deadline)) {
        int check = 0;
        if (event.type == MapNotify && event.xmap.event == root && !event.xmap.override_redirect) {
            if (!target) {
                target = event.xmap.window;
                mapped = now_ms() - start;
                check = 1;
            } else if (event.xmap.window != target && painted >= 0 && clicked >= 0) {
                boxed = now_ms() - click_time;
                break;
            }
        } else if (event.type == damage_event + XDamageNotify) {
            XDamageSubtract(display, damage, None, None);
            check = target && painted < 0;
        }
        if (check && pixel_matches(display, target, px, py, colour)) {
            painted = now_ms() - start;
            if (maps) {
                copy_maps(child, maps);
            }
            if (cx < 0) {
                break;
            }
            Window unused;
            int rx, ry;
            XTranslateCoordinates(display, target, root, cx, cy, &rx, &ry, &unused);
            XTestFakeMotionEvent(display, -1, rx, ry, CurrentTime);
            XTestFakeButtonEvent(display, 1, True, CurrentTime);
            XTestFakeButtonEvent(display, 1, False, CurrentTime);
            XFlush(display);
            click_time = now_ms();
            clicked = 0;
        }
    }
    if (boxed >= 0) {
        clicked = boxed;
    } else if (cx >= 0) {
        clicked = -1;
    }

    long rss = peak_rss_kb(child);
    kill(child, SIGKILL);
    int status;
    waitpid(child, &status, 0);
    printf("map=%.3f paint=%.3f click=%.3f rss=%ld\n", mapped, painted, clicked, rss);
    XDamageDestroy(display, damage);
    XCloseDisplay(display);
    return painted >= 0 ? 0 : 1;
}
