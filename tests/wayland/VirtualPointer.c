/* Gives a headless compositor's seat a pointer, through the wlroots virtual-pointer protocol,
   and keeps it there until ended: without one the seat has no capabilities, and the
   compositor's own cursor commands ("swaymsg seat seat0 cursor ...") reach no client. The
   pointer itself sends nothing; the compositor moves and clicks it. */

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <stdio.h>
#include <string.h>
#include <wayland-client.h>

static struct wl_seat* seat;
static struct zwlr_virtual_pointer_manager_v1* manager;

static void announced (void* data, struct wl_registry* registry, uint32_t name, const char* interface, uint32_t version)
{
    (void) data;
    (void) version;
    if (strcmp (interface, wl_seat_interface.name) == 0)
        seat = wl_registry_bind (registry, name, &wl_seat_interface, 1);
    else if (strcmp (interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        manager = wl_registry_bind (registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}

static void withdrawn (void* data, struct wl_registry* registry, uint32_t name)
{
    (void) data;
    (void) registry;
    (void) name;
}

static const struct wl_registry_listener listener = { announced, withdrawn };

int main (void)
{
    struct wl_display* display = wl_display_connect (NULL);
    if (display == NULL)
    {
        fprintf (stderr, "virtual_pointer: no Wayland display\n");
        return 1;
    }
    wl_registry_add_listener (wl_display_get_registry (display), &listener, NULL);
    wl_display_roundtrip (display);
    if (manager == NULL || seat == NULL)
    {
        fprintf (stderr, "virtual_pointer: the compositor offers no virtual pointers\n");
        return 1;
    }
    zwlr_virtual_pointer_manager_v1_create_virtual_pointer (manager, seat);
    wl_display_roundtrip (display);
    while (wl_display_dispatch (display) != -1)
    {
    }
    return 0;
}
