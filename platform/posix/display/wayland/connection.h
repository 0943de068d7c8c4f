// The one connection to the Wayland compositor and the surfaces living on
// it, shared by the files of the Wayland backend.
//
// Divisions:
//   wayland.h      what tests may use beyond the display interface
//   backend.cpp    the connection, its globals, the hook table
//   outputs.cpp    wl_output: the screen's size and integer scale
//   scale.h, .cpp  each surface's device scale: the outputs' integer one or
//                  the compositor's fractional one, and how buffers show it
//   surfaces.cpp   wl_surface and xdg_toplevel: showing, titles, owners
//   buffers.cpp    wl_shm buffers and whether the compositor still reads them
//   present.cpp    frames into buffers, one commit per frame, frame callbacks
//   client_frame.cpp  the classic frame the window layer draws where the
//                  compositor draws no decorations, and clicks on it
//   pointer.cpp    wl_pointer to input, the cursor image
//   keyboard.cpp   wl_keyboard through xkbcommon to input, key repeat
//   input.cpp      the wait for input
//
// No client may place its window on Wayland: the compositor does. The
// positions the program gives are kept for it (GetWindowRect answers them)
// and never sent, and no Moved input ever comes.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "fractional-scale-v1-client-protocol.h"
#include "platform/posix/display/display.h"
#include "viewporter-client-protocol.h"
#include "xdg-decoration-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace display::wayland {

// One wl_shm buffer with its own pool; `busy` from the commit that hands it
// to the compositor until the compositor releases it.
struct Buffer {
    wl_buffer* buffer = nullptr;
    uint32_t* pixels = nullptr;
    size_t bytes = 0;
    int width = 0, height = 0;  // device pixels
    bool busy = false;
    bool retired = false;  // of an old size: destroyed once released
};

struct Area {
    int left, top, right, bottom;
};

struct Output {
    wl_output* output = nullptr;
    uint32_t name = 0;
    int scale = 1;
    int width = 0, height = 0;  // the current mode, in pixels
};

struct Surface {
    SurfaceId id = 0;
    wl_surface* surface = nullptr;
    xdg_surface* xdg = nullptr;
    xdg_toplevel* toplevel = nullptr;
    zxdg_toplevel_decoration_v1* decoration = nullptr;
    std::string title;          // UTF-8
    int x = 0, y = 0;           // where the program believes it is, device pixels
    int width = 0, height = 0;  // the client area, in device pixels
    bool resizable = false;
    bool configured = false;  // the toplevel's first configure was acknowledged
    bool needs_commit = false;
    SurfaceId owner = 0;
    bool modal = false;
    // The device scale in quarters the layer is told, and the one its frame
    // and sizes here are drawn at: they differ from a change of scale until
    // the layer sizes the surface anew (move_surface).
    int quarters = 4, drawn = 4;
    // Shown through the viewport at the compositor's fractional scale,
    // rather than at a whole buffer scale: wanted, and as drawn.
    bool fractional_wanted = false, fractional_drawn = false;
    uint32_t preferred_120ths = 0;  // 0 until the compositor names one
    wp_viewport* viewport = nullptr;
    wp_fractional_scale_v1* fractional = nullptr;
    int committed_width = 0, committed_height = 0;  // the last buffer's size
    std::vector<wl_output*> outputs;
    std::vector<std::unique_ptr<Buffer>> buffers;
    // What was presented since the last commit, and the frame it is in.
    std::vector<Area> damage;
    Frame frame{nullptr, 0, 0, 0};
    wl_callback* frame_callback = nullptr;  // the compositor has not shown the last commit yet
    bool activated = false;                 // the compositor's last configure says so

    // The classic frame drawn by the window layer (client_frame.cpp), when
    // the compositor draws no decorations: the buffers hold the whole
    // window, the client area at the insets.
    bool client_frame = false;
    bool client_side = false;  // the compositor draws no decorations
    int inset_left = 0, inset_top = 0, inset_right = 0, inset_bottom = 0;
    std::vector<uint32_t> framed;        // the whole window, in device pixels
    bool frame_dirty = false;            // the frame is to be drawn again
    unsigned frame_state = 0;            // FrameState
    FramePart held = FramePart::Client;  // where the button held went down on the frame
};

struct Repeat {
    uint32_t key = 0;  // the evdev code held, 0 when none repeats
    int64_t next_ms = 0;
    int rate = 25, delay_ms = 600;  // keys a second, 0: no repeat
};

struct Connection {
    wl_display* display = nullptr;
    wl_registry* registry = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* wm_base = nullptr;
    wl_seat* seat = nullptr;
    zxdg_decoration_manager_v1* decorations = nullptr;
    wp_viewporter* viewporter = nullptr;
    wp_fractional_scale_manager_v1* fractional_scales = nullptr;
    bool broken = false;
    // The window layer's painter of the frame it draws where the compositor
    // draws no decorations (client_frame.cpp).
    const FramePainter* frame_painter = nullptr;

    std::vector<std::unique_ptr<Output>> outputs;

    wl_pointer* pointer = nullptr;
    SurfaceId pointer_surface = 0;
    int pointer_x = 0, pointer_y = 0;  // client coordinates (device pixels), beyond the frame
    int client_buttons = 0;            // held since they went down on a client area
    wl_surface* cursor = nullptr;
    std::unique_ptr<Buffer> cursor_buffer;
    int cursor_quarters = 0;                 // the device scale the arrow is drawn at
    wp_viewport* cursor_viewport = nullptr;  // made at the first fractional scale

    wl_keyboard* keyboard = nullptr;
    SurfaceId keyboard_surface = 0;
    bool keyboard_new = false;  // no focus came to it yet
    xkb_context* xkb = nullptr;
    xkb_keymap* keymap = nullptr;
    xkb_state* key_state = nullptr;
    Repeat repeat;

    std::deque<Input> queue;  // input translated and not yet taken
    std::unordered_map<SurfaceId, Surface> surfaces;
};

Connection& connection();
Surface* find_surface(SurfaceId id);
Surface* surface_of(wl_surface* surface);

// Hooks, one file each.
bool create_surface(SurfaceId id, const char* title, int x, int y, int width, int height, bool resizable);
void destroy_surface(SurfaceId id);
void show_surface(SurfaceId id, bool visible);
void move_surface(SurfaceId id, int x, int y, int width, int height);
void set_title(SurfaceId id, const char* title);
void set_owner(SurfaceId id, SurfaceId owner);
void set_modal(SurfaceId id, bool modal);
void present(SurfaceId id, const Frame& frame, int x, int y, int width, int height);
bool next_input(Input* input);
void screen_size(int* width, int* height);

void queue_input(const Input& input);
// Asks the window layer to present the whole surface again.
void queue_expose(const Surface& surface);

// Outputs: bound from the registry; the largest integer scale of those the
// surface is on (null, or on none yet: of all).
void add_output(wl_registry* registry, uint32_t name, uint32_t version);
void remove_output(uint32_t name);
int output_scale(const Surface* surface);

// The device scale (scale.cpp): the hook's answer, the compositor's
// fractional scale watched while the surface lives, and following a change
// of either scale (Rescaled to the layer).
int device_quarters(SurfaceId id);
void watch_fractional_scale(Surface* surface);
void forget_fractional_scale(Surface* surface);
void follow_scale(Surface* surface);

// Buffers: a free one of the size, made when none is; null when every one
// is still read by the compositor and no more may be made.
Buffer* free_buffer(Surface* surface, int width, int height);
std::unique_ptr<Buffer> make_buffer(int width, int height, uint32_t format);
void destroy_buffer(Buffer* buffer);
// Of an old size: freed now, or when the compositor lets go of them.
void retire_buffers(Surface* surface);

// Commits every surface whose frame changed and whose last frame the
// compositor has shown.
void commit_frames();
// The whole surface is to be committed again.
void damage_whole(Surface* surface);

// The frame: whether the surface gets one (the decoration mode is the
// compositor's answer; no decoration object, client side), its size
// around the client area (device pixels; logical_* in the compositor's
// coordinates), and drawing it again.
void choose_frame(Surface* surface, bool client_side);
// The fixed size of a window without a sizing border, its frame included.
void set_size_limits(const Surface& surface);
int outer_width(const Surface& surface);
int outer_height(const Surface& surface);
int logical_width(const Surface& surface);
int logical_height(const Surface& surface);
void frame_changed(Surface* surface);
// The whole window: the frame, drawn if it changed, around the client area.
Frame compose_frame(Surface* surface);
// A button on the frame (surface coordinates of the whole window); true when
// the frame took it.
bool frame_button(Surface* surface, int x, int y, bool pressed, uint32_t serial);
// The pointer moved over the whole window; true when the frame holds it.
bool frame_motion(Surface* surface, int x, int y);

void add_seat(wl_registry* registry, uint32_t name, uint32_t version);
void follow_pointer(bool present);
void follow_keyboard(bool present);
void forget_input_surface(SurfaceId id);

// Key input: the evdev code as the keymap's state types it.
bool translate_key(xkb_state* state, uint32_t key, bool pressed, uint32_t time, Input* input);
// Queues the held key's repeats that are due; the milliseconds until the
// next, -1 when none repeats.
int run_repeat(int64_t now_ms);
int64_t now_ms();

}  // namespace display::wayland

namespace display::x11 {
// Shared with the X11 backend: xkbcommon's key symbols are X's.
int virtual_key(unsigned long keysym);
std::string utf8_of_cp1252(const char* text);
}  // namespace display::x11
