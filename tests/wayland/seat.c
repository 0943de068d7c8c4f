/* The test seat under a wlroots compositor: a virtual pointer driven by
 * lines on standard input, each answered with "ok" once the compositor has
 * handled it, and a virtual keyboard that types nothing but keeps the
 * seat's keyboard there between one wtype and the next, so that a client's
 * wl_keyboard never has to be made anew while a key is already on its way.
 * Under KWin, which offers neither, KWin's fake input does the same and
 * also types keys.
 *
 *   move X Y W H    the pointer to (X, Y) of a W x H layout (logical pixels;
 *                   X and Y may end in .5)
 *   down / up       the left button
 *   key CODE...     (KWin only) presses the evdev keys CODE in order and
 *                   releases them the other way round: "key 42 15" is
 *                   shift+Tab
 *   touch down ID X Y, touch move ID X Y, touch up ID, touch cancel
 *                   (KWin only) a touch point ID at (X, Y) of the layout
 *                   (logical pixels), each a touch frame of its own; a
 *                   cancel ends every point, as when the compositor takes
 *                   the sequence for a gesture of its own
 */
#define _GNU_SOURCE
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include "virtual-devices-client-protocol.h"
#ifdef SORVANE_FAKE_INPUT
#include "fake-input-client-protocol.h"
#endif

static struct wl_seat* seat;
static struct zwlr_virtual_pointer_manager_v1* manager;
static struct zwp_virtual_keyboard_manager_v1* keyboards;
#ifdef SORVANE_FAKE_INPUT
static struct org_kde_kwin_fake_input* fake_input;
#endif

static void on_global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                      uint32_t version) {
    (void)data;
    if (strcmp(interface, wl_seat_interface.name) == 0 && seat == NULL) {
        seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    } else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        manager = wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
    } else if (strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        keyboards = wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1);
#ifdef SORVANE_FAKE_INPUT
    } else if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4) {
        fake_input = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
#endif
    }
}

static void on_global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {on_global, on_global_remove};

static uint32_t now_ms(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint32_t)(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

/* A keyboard needs a keymap before the compositor counts it. */
static int add_keyboard(void) {
    struct xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    struct xkb_rule_names names = {NULL, NULL, "us", NULL, NULL};
    struct xkb_keymap* keymap = context != NULL ? xkb_keymap_new_from_names(context, &names, 0) : NULL;
    char* text = keymap != NULL ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : NULL;
    if (text == NULL) {
        return 0;
    }
    size_t size = strlen(text) + 1;
    int fd = memfd_create("keymap", MFD_CLOEXEC);
    int written = fd >= 0 && write(fd, text, size) == (ssize_t)size;
    if (written) {
        struct zwp_virtual_keyboard_v1* keyboard =
            zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboards, seat);
        zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, (uint32_t)size);
    }
    if (fd >= 0) {
        close(fd);
    }
    free(text);
    xkb_keymap_unref(keymap);
    xkb_context_unref(context);
    return written;
}

#ifdef SORVANE_FAKE_INPUT
static int answer(struct wl_display* display, const char* what) {
    if (wl_display_roundtrip(display) < 0) {
        return 0;
    }
    printf("%s\n", what);
    fflush(stdout);
    return 1;
}

/* Up to eight keys down at once, then up the other way round. */
static int press_keys(const char* codes) {
    unsigned held[8];
    int count = 0, used = 0;
    while (count < 8 && sscanf(codes, "%u%n", &held[count], &used) == 1) {
        codes += used;
        count++;
    }
    for (int i = 0; i < count; i++) {
        org_kde_kwin_fake_input_keyboard_key(fake_input, held[i], WL_KEYBOARD_KEY_STATE_PRESSED);
    }
    for (int i = count - 1; i >= 0; i--) {
        org_kde_kwin_fake_input_keyboard_key(fake_input, held[i], WL_KEYBOARD_KEY_STATE_RELEASED);
    }
    return count > 0;
}

static int touch(const char* what) {
    unsigned id;
    double x, y;
    if (sscanf(what, "down %u %lf %lf", &id, &x, &y) == 3) {
        org_kde_kwin_fake_input_touch_down(fake_input, id, wl_fixed_from_double(x), wl_fixed_from_double(y));
    } else if (sscanf(what, "move %u %lf %lf", &id, &x, &y) == 3) {
        org_kde_kwin_fake_input_touch_motion(fake_input, id, wl_fixed_from_double(x), wl_fixed_from_double(y));
    } else if (sscanf(what, "up %u", &id) == 1) {
        org_kde_kwin_fake_input_touch_up(fake_input, id);
    } else if (strncmp(what, "cancel", 6) == 0) {
        org_kde_kwin_fake_input_touch_cancel(fake_input);
    } else {
        return 0;
    }
    org_kde_kwin_fake_input_touch_frame(fake_input);
    return 1;
}

/* KWin's fake input takes the layout's logical coordinates as they are. */
static int fake(const char* line) {
    double x, y;
    unsigned width, height;
    if (sscanf(line, "move %lf %lf %u %u", &x, &y, &width, &height) == 4) {
        org_kde_kwin_fake_input_pointer_motion_absolute(fake_input, wl_fixed_from_double(x), wl_fixed_from_double(y));
    } else if (strncmp(line, "down", 4) == 0 || strncmp(line, "up", 2) == 0) {
        org_kde_kwin_fake_input_button(
            fake_input, BTN_LEFT, line[0] == 'd' ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    } else if (strncmp(line, "key ", 4) == 0) {
        return press_keys(line + 4);
    } else if (strncmp(line, "touch ", 6) == 0) {
        return touch(line + 6);
    } else {
        return 0;
    }
    return 1;
}

static int run_fake_input(struct wl_display* display) {
    org_kde_kwin_fake_input_authenticate(fake_input, "sorvane tests", "the test seat");
    if (!answer(display, "ready")) {
        return 1;
    }
    char line[128];
    while (fgets(line, sizeof line, stdin) != NULL) {
        if (!fake(line)) {
            printf("unknown\n");
            fflush(stdout);
            continue;
        }
        if (!answer(display, "ok")) {
            return 1;
        }
    }
    wl_display_disconnect(display);
    return 0;
}
#endif

int main(void) {
    struct wl_display* display = wl_display_connect(NULL);
    if (display == NULL) {
        fprintf(stderr, "seat: no compositor\n");
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
#ifdef SORVANE_FAKE_INPUT
    if ((manager == NULL || keyboards == NULL) && fake_input != NULL) {
        return run_fake_input(display);
    }
#endif
    if (manager == NULL || keyboards == NULL || seat == NULL) {
        fprintf(stderr, "seat: the compositor offers no virtual pointer or keyboard\n");
        return 1;
    }
    if (!add_keyboard()) {
        fprintf(stderr, "seat: no keymap\n");
        return 1;
    }
    struct zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    wl_display_roundtrip(display);
    printf("ready\n");
    fflush(stdout);
    char line[128];
    while (fgets(line, sizeof line, stdin) != NULL) {
        double x, y;
        unsigned width, height;
        if (sscanf(line, "move %lf %lf %u %u", &x, &y, &width, &height) == 4) {
            /* Half pixels through a finer layout. */
            zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), (uint32_t)(x * 2), (uint32_t)(y * 2), width * 2,
                                                    height * 2);
        } else if (strncmp(line, "down", 4) == 0 || strncmp(line, "up", 2) == 0) {
            zwlr_virtual_pointer_v1_button(
                pointer, now_ms(), BTN_LEFT,
                line[0] == 'd' ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
        } else {
            printf("unknown\n");
            fflush(stdout);
            continue;
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        if (wl_display_roundtrip(display) < 0) {
            return 1;
        }
        printf("ok\n");
        fflush(stdout);
    }
    wl_display_disconnect(display);
    return 0;
}
