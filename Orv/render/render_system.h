// Starting and stopping the rendering subsystem, and what the window code needs of it.
//
// The system initialisation (on the window thread, before the game thread runs) calls
// render_system_init; the frame loop then calls render_frame_draw (render_list.h) once per
// frame on the game thread and shows render_back_buffer() through RenderState::present, or by
// reading the pixels itself after the draw.
#pragma once

#include <cstdint>

struct RenderParams {
  int32_t game_width = 0, game_height = 0;
  int32_t window_width = 0, window_height = 0;
  uint32_t display_flags = 0;  // bit 3 asks for the GL renderer; bit 0 of device_flags smooths
  uint32_t device_flags = 0;
  int32_t texture_count = 256;  // slots of the image pool
};

constexpr uint32_t kDisplayFlagDirect3D = 8;

// Makes the image pool and the software renderer. Returns the display flags as they are in
// effect: the GL renderer does not exist yet, so the software renderer serves both settings
// and the Direct3D bit is cleared (so that Orv3DIs, which tests it, tells the truth).
// Returns false in *ok (when given) when the renderer cannot be made.
uint32_t render_system_init(const RenderParams& params, bool* ok);
// Releases the sprites the game left, then frees the renderer, the image pool and the
// full-screen effect blend.
void render_system_uninit();

// The software back buffer: game_width x game_height ARGB pixels, top row first, rows
// game_width pixels apart. Valid between render_system_init and render_system_uninit; read it
// on the game thread after render_frame_draw returned (or while holding the render lock).
struct BackBufferView {
  const uint32_t* pixels = nullptr;
  int32_t width = 0, height = 0;
  bool smooth = false;  // device flag bit 0: stretch smoothly both ways when showing it
};
BackBufferView render_back_buffer();

// After a failed present every frame is skipped; the window code calls this once the display
// has been restored (the window is active again) so that frames are drawn again.
void render_present_restored();
