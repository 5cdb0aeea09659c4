// SPDX-License-Identifier: GPL-3.0-or-later
// A dock, as much of one as the Wayland desktop checks need. It covers the screen with a
// full-screen surface; on a button press there, it asks the compositor for an activation token
// made from that press, as a dock does for the program it starts, and prints the token on
// standard output. It then stays mapped until it is ended: were it gone, the compositor would
// hand the focus back to the game by itself, and the token would prove nothing.
// Usage: activation_token [app id]   (the compositor: WAYLAND_DISPLAY)
#define _GNU_SOURCE
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include "xdg-activation-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

// The script finds the dock on its screenshots by this colour, rgb(30,90,60).
static const uint32_t kColour = 0xff1e5a3c;
enum { kWidth = 640, kHeight = 480 };

static struct {
    struct wl_compositor* compositor;
    struct wl_shm* shm;
    struct wl_seat* seat;
    struct xdg_wm_base* wm_base;
    struct xdg_activation_v1* activation;
    struct wl_surface* surface;
    struct wl_buffer* buffer;
    int width, height;
    const char* app_id;
    int asked;
} dock;

static void die(const char* what)
{
    fprintf(stderr, "activation_token: %s\n", what);
    exit(1);
}

static struct wl_buffer* filled_buffer(int width, int height)
{
    const int stride = width * 4;
    const size_t size = (size_t)stride * height;
    const int fd = memfd_create("dock", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, (off_t)size) < 0)
        die("no shared memory");
    uint32_t* pixels = mmap(NULL, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED)
        die("no shared memory");
    for (size_t i = 0; i < size / 4; i++)
        pixels[i] = kColour;
    munmap(pixels, size);
    struct wl_shm_pool* pool = wl_shm_create_pool(dock.shm, fd, (int32_t)size);
    struct wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

static void token_done(void* data, struct xdg_activation_token_v1* token, const char* text)
{
    (void)data;
    printf("%s\n", text);
    fflush(stdout);
    xdg_activation_token_v1_destroy(token);
}

static const struct xdg_activation_token_v1_listener token_listener = {.done = token_done};

static void pointer_enter(void* d, struct wl_pointer* p, uint32_t s, struct wl_surface* w, wl_fixed_t x, wl_fixed_t y)
{
    (void)d, (void)p, (void)s, (void)w, (void)x, (void)y;
}

static void pointer_leave(void* d, struct wl_pointer* p, uint32_t s, struct wl_surface* w)
{
    (void)d, (void)p, (void)s, (void)w;
}

static void pointer_motion(void* d, struct wl_pointer* p, uint32_t t, wl_fixed_t x, wl_fixed_t y)
{
    (void)d, (void)p, (void)t, (void)x, (void)y;
}

static void pointer_button(void* d, struct wl_pointer* p, uint32_t serial, uint32_t t, uint32_t b, uint32_t state)
{
    (void)d, (void)p, (void)t, (void)b;
    // The press's serial: mutter grants no token for a release's.
    if (state != WL_POINTER_BUTTON_STATE_PRESSED || dock.asked)
        return;
    dock.asked = 1;
    struct xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(dock.activation);
    xdg_activation_token_v1_add_listener(token, &token_listener, NULL);
    xdg_activation_token_v1_set_serial(token, serial, dock.seat);
    xdg_activation_token_v1_set_surface(token, dock.surface);
    if (dock.app_id)
        xdg_activation_token_v1_set_app_id(token, dock.app_id);
    xdg_activation_token_v1_commit(token);
}

static void pointer_axis(void* d, struct wl_pointer* p, uint32_t t, uint32_t a, wl_fixed_t v)
{
    (void)d, (void)p, (void)t, (void)a, (void)v;
}

// Bound at version 1: these are all the events it sends, and each needs a handler.
static const struct wl_pointer_listener pointer_listener = {
    .enter = pointer_enter, .leave = pointer_leave, .motion = pointer_motion, .button = pointer_button, .axis = pointer_axis};

static void seat_capabilities(void* data, struct wl_seat* seat, uint32_t caps)
{
    (void)data;
    static struct wl_pointer* pointer;
    if ((caps & WL_SEAT_CAPABILITY_POINTER) && !pointer) {
        pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(pointer, &pointer_listener, NULL);
    }
}

static const struct wl_seat_listener seat_listener = {.capabilities = seat_capabilities};

static void wm_base_ping(void* data, struct xdg_wm_base* wm_base, uint32_t serial)
{
    (void)data;
    xdg_wm_base_pong(wm_base, serial);
}

static const struct xdg_wm_base_listener wm_base_listener = {.ping = wm_base_ping};

static void toplevel_configure(void* d, struct xdg_toplevel* t, int32_t width, int32_t height, struct wl_array* states)
{
    (void)d, (void)t, (void)states;
    dock.width = width > 0 ? width : kWidth;
    dock.height = height > 0 ? height : kHeight;
}

static void toplevel_close(void* d, struct xdg_toplevel* t)
{
    (void)d, (void)t;
}

static const struct xdg_toplevel_listener toplevel_listener = {.configure = toplevel_configure, .close = toplevel_close};

static void surface_configure(void* data, struct xdg_surface* xdg_surface, uint32_t serial)
{
    (void)data;
    static int width, height;
    xdg_surface_ack_configure(xdg_surface, serial);
    if (dock.width != width || dock.height != height) {
        width = dock.width, height = dock.height;
        if (dock.buffer)
            wl_buffer_destroy(dock.buffer);
        dock.buffer = filled_buffer(width, height);
        wl_surface_attach(dock.surface, dock.buffer, 0, 0);
        wl_surface_damage(dock.surface, 0, 0, width, height);
    }
    wl_surface_commit(dock.surface);
}

static const struct xdg_surface_listener surface_listener = {.configure = surface_configure};

static void global(void* data, struct wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    (void)data, (void)version;
    if (strcmp(interface, wl_compositor_interface.name) == 0)
        dock.compositor = wl_registry_bind(registry, name, &wl_compositor_interface, 1);
    else if (strcmp(interface, wl_shm_interface.name) == 0)
        dock.shm = wl_registry_bind(registry, name, &wl_shm_interface, 1);
    else if (strcmp(interface, wl_seat_interface.name) == 0 && !dock.seat)
        dock.seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (strcmp(interface, xdg_wm_base_interface.name) == 0)
        dock.wm_base = wl_registry_bind(registry, name, &xdg_wm_base_interface, 1);
    else if (strcmp(interface, xdg_activation_v1_interface.name) == 0)
        dock.activation = wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1);
}

static void global_remove(void* data, struct wl_registry* registry, uint32_t name)
{
    (void)data, (void)registry, (void)name;
}

static const struct wl_registry_listener registry_listener = {.global = global, .global_remove = global_remove};

int main(int argc, char** argv)
{
    dock.app_id = argc > 1 ? argv[1] : NULL;
    struct wl_display* display = wl_display_connect(NULL);
    if (!display)
        die("no Wayland display");
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);
    if (!dock.compositor || !dock.shm || !dock.seat || !dock.wm_base)
        die("the compositor lacks a core interface");
    if (!dock.activation)
        die("the compositor has no xdg_activation_v1");
    wl_seat_add_listener(dock.seat, &seat_listener, NULL);
    xdg_wm_base_add_listener(dock.wm_base, &wm_base_listener, NULL);

    dock.surface = wl_compositor_create_surface(dock.compositor);
    struct xdg_surface* xdg_surface = xdg_wm_base_get_xdg_surface(dock.wm_base, dock.surface);
    xdg_surface_add_listener(xdg_surface, &surface_listener, NULL);
    struct xdg_toplevel* toplevel = xdg_surface_get_toplevel(xdg_surface);
    xdg_toplevel_add_listener(toplevel, &toplevel_listener, NULL);
    xdg_toplevel_set_title(toplevel, "dock");
    // Full screen: over whatever is open, wherever the compositor would place a new window.
    xdg_toplevel_set_fullscreen(toplevel, NULL);
    wl_surface_commit(dock.surface);

    while (wl_display_dispatch(display) != -1) {
    }
    die("the compositor closed the connection");
}
