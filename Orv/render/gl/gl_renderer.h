// The GL peer of the renderer table: every sprite is drawn by OpenGL 3.3 core into a game
// target (a framebuffer of the game size, row 0 the top of the picture), which present draws
// onto the window's back buffer through the point or linear filter and swaps.
//
// Images stay in the image store; the peer keeps a texture per image slot, a cache of the
// slot's CPU pixels uploaded again when the slot's revision changes (image_mark_changed) and
// dropped at close. All drawing follows the software peer's arithmetic closely enough that
// the two pictures agree within 2 per channel (the software peer is the reference).
//
// Thread: the game thread, with the context given by gl_renderer_use_context current on it,
// for every entry of the table (open included).
#pragma once

#include <cstdint>

#include "Orv/render/renderer.h"

namespace platform {
struct GlContext;
}

// The GL peer's table.
const Renderer& gl_renderer();

// The context the peer draws with (the window's), or null. Set before render_system_init.
void gl_renderer_use_context(platform::GlContext* context);

// Counters of the work done, for the benchmark and tests: texture uploads and draw calls
// since open (or the last reset).
struct GlRendererStats {
  uint64_t uploads = 0;
  uint64_t draws = 0;
};
GlRendererStats gl_renderer_stats();
void gl_renderer_reset_stats();
