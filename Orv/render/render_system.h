// Starting and stopping the rendering subsystem, and what the window code needs of it.
//
// The system initialisation (on the window thread, before the game thread runs) calls
// render_system_init, which chooses the renderer table (renderer.h) once; the frame loop then
// calls render_frame_draw once per frame on the game thread, which draws the render list
// (render_list.h) through that table and presents through RenderState::present. This is the
// header the window code includes; it sees no render records.
#pragma once

#include <cstdint>

#include "Orv/render/renderer.h"

struct RenderParams {
  int32_t game_width = 0, game_height = 0;
  int32_t window_width = 0, window_height = 0;
  uint32_t display_flags = 0;  // bit 3 asks for the GL renderer; bit 0 of device_flags smooths
  uint32_t device_flags = 0;
  int32_t texture_count = 256;  // slots of the image pool
  // The GL peer's table when the window got a GL context; null when there is none (always,
  // until the GL peer exists).
  const Renderer* gl = nullptr;
};

constexpr uint32_t kDisplayFlagDirect3D = 8;

// Makes the image pool and opens the renderer: the GL peer when the display flags ask for it
// (bit 3) and params.gl is given and opens, else the software peer. Returns the display flags as
// they are in effect: with the software peer the Direct3D bit is cleared (so that Orv3DIs, which
// tests it, tells the truth). Returns false in *ok (when given) when the renderer cannot be
// opened; no renderer is active then.
uint32_t render_system_init(const RenderParams& params, bool* ok);
// Releases the sprites the game left, then closes the renderer and frees the image pool and
// the full-screen effect blend.
void render_system_uninit();

// The active renderer's table; null before a successful render_system_init and after
// render_system_uninit. Game thread, under the render lock, for the drawing entries.
const Renderer* render_renderer();

// The frame as drawn so far (the active renderer's read_back); empty without a renderer. Read
// it on the game thread after render_frame_draw returned (or while holding the render lock).
BackBufferView render_back_buffer();

// The frame draw, called once per frame by the game thread: through the active renderer's
// table (render_renderer()) it clears the frame to the clear colour, calls every node's
// callback, runs the screen-transition step and presents (the software peer through
// RenderState::present). Returns false when the frame was not drawn: no active list, another
// thread holds the render lock (the frame is skipped, never waited for), no renderer, or
// presenting has failed before. True also while a full-screen movie plays (nothing is drawn
// then).
bool render_frame_draw();

// After a failed present every frame is skipped; the window code calls this once the display
// has been restored (the window is active again) so that frames are drawn again.
void render_present_restored();

// The aspect crop that sprite positions are corrected for (OrvSpriteConvertAspectPosition),
// kept by the window code whenever the client area changes: while `active` (full screen in
// aspect mode 3), the game picture (picture_w x picture_h) covers the monitor (monitor_w x
// monitor_h) and reaches beyond it. Window thread.
void render_aspect_crop_set(bool active, int32_t monitor_w, int32_t monitor_h, int32_t picture_w,
                            int32_t picture_h, int32_t game_w, int32_t game_h);

// Exports of the 3D renderer's facts (render_system.cpp), any thread:
//   int32_t Orv3DGetCaps(Orv3DCaps* caps)  with the GL renderer fills caps from its context
//     (largest texture side both ways, whether sides must be powers of two, texture memory
//     still free of its budget) and returns 1; otherwise zeroes caps and returns 0.
//   uint32_t Orv3DGetDisplayMode(uint32_t field, uint32_t adapter)  with the GL renderer: field
//     0 the number of displays, 1, 2, 3 the width, height and refresh rate (hertz, 0 when
//     unknown) of display `adapter`'s current mode; 0 otherwise, for a field above 3 or for no
//     such display.
// Asks the renderer to make its targets again before the next frame: the window's mode, size
// or aspect changed, or power-of-two storage was asked for. The GL peer rebuilds its targets,
// screen quad and programs on the game thread at the next frame's start; images survive. The
// software peer has nothing to rebuild. Any thread.
void render_targets_rebuild_soon();
