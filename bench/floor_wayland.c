/* The Wayland floor: the least a program can do to show a 540 x 300 window
 * of its own pixels with wl_shm. It connects, makes an xdg toplevel of a
 * fixed size (as the tool's window is), and on the first configure commits
 * one frame, button-face grey with the watched pixel in the colour the tool
 * leaves there; then it waits to be ended.
 *
 * Usage: floor_wayland X,Y,RRGGBB */
#define _GNU_SOURCE
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "xdg-shell-client-protocol.h"

enum { client_width = 540, client_height = 300 };

static struct wl_compositor* compositor;
static struct wl_shm* shm;
static struct xdg_wm_base* wm_base;
static int configured;

static void on_ping(void* data, struct xdg_wm_base* base, uint32_t serial) {
    (void)data;
    xdg_wm_base_pong(base, serial);
}

static const struct xdg_wm_base_listener wm_base_listener = {on_ping};

static void on_global(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                      uint32_t version) {
    (void)data;
    (void)version;
    if (strcmp(interface, wl_compositor_interface.name) == 0) {
        compositor = wl_registry_bind(registry, name, &wl_compositor_interface, 4);
    } else if (strcmp(interface, wl_shm_interface.name) == 0) {
        shm = wl_registry_bind(registry, name, &wl_shm_interface, 1);
    } else if (strcmp(interface, xdg_wm_base_interface.name) == 0) {
        wm_base = wl_registry_bind(registry, name, &xdg_wm_base_interface, 1);
        xdg_wm_base_add_listener(wm_base, &wm_base_listener, NULL);
    }
}

static void on_global_remove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {on_global, on_global_remove};

static void on_configure(void* data, struct xdg_surface* surface, uint32_t serial) {
    (void)data;
    xdg_surface_ack_configure(surface, serial);
    configured = 1;
}

static const struct xdg_surface_listener surface_listener = {on_configure};

static void on_toplevel_configure(void* data, struct xdg_toplevel* toplevel, int32_t width, int32_t height,
                                  struct wl_array* states) {
    (void)data;
    (void)toplevel;
    (void)width;
    (void)height;
    (void)states;
}

static void on_close(void* data, struct xdg_toplevel* toplevel) {
    (void)data;
    (void)toplevel;
}

/* Bound at version 1: the later events never come. */
static const struct xdg_toplevel_listener toplevel_listener = {.configure = on_toplevel_configure, .close = on_close};

static struct wl_buffer* make_frame(unsigned int mark, int mark_x, int mark_y) {
    const int stride = client_width * 4, size = stride * client_height;
    int fd = memfd_create("floor", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) < 0) {
        return NULL;
    }
    uint32_t* pixels = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) {
        return NULL;
    }
    for (int i = 0; i < client_width * client_height; i++) {
        pixels[i] = 0xD4D0C8;
    }
    pixels[mark_y * client_width + mark_x] = mark;
    struct wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    struct wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, client_width, client_height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

int main(int argc, char** argv) {
    int mark_x = 0, mark_y = 0;
    unsigned int mark = 0;
    if (argc != 2 || sscanf(argv[1], "%d,%d,%x", &mark_x, &mark_y, &mark) != 3 || mark_x < 0 ||
        mark_x >= client_width || mark_y < 0 || mark_y >= client_height) {
        fprintf(stderr, "usage: floor_wayland X,Y,RRGGBB\n");
        return 2;
    }
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        return 1;
    }
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    if (wl_display_roundtrip(display) < 0 || !compositor || !shm || !wm_base) {
        return 1;
    }
    struct wl_surface* surface = wl_compositor_create_surface(compositor);
    struct xdg_surface* xdg = xdg_wm_base_get_xdg_surface(wm_base, surface);
    xdg_surface_add_listener(xdg, &surface_listener, NULL);
    struct xdg_toplevel* toplevel = xdg_surface_get_toplevel(xdg);
    xdg_toplevel_add_listener(toplevel, &toplevel_listener, NULL);
    xdg_toplevel_set_title(toplevel, "floor");
    xdg_toplevel_set_app_id(toplevel, "floor");
    xdg_toplevel_set_min_size(toplevel, client_width, client_height);
    xdg_toplevel_set_max_size(toplevel, client_width, client_height);
    wl_surface_commit(surface);

    struct wl_buffer* buffer = make_frame(mark, mark_x, mark_y);
    if (!buffer) {
        return 1;
    }
    while (!configured) {
        if (wl_display_dispatch(display) < 0) {
            return 1;
        }
    }
    wl_surface_attach(surface, buffer, 0, 0);
    wl_surface_damage_buffer(surface, 0, 0, client_width, client_height);
    wl_surface_commit(surface);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
