// The GL peer of the renderer table: every sprite is drawn by OpenGL 3.3 core into a game
// target (a square framebuffer of the frame side, gl_sizes.h, with the game picture centred in
// it, row 0 the top of the picture), which present draws onto the window's back buffer through
// the point, linear or bicubic filter and swaps.
//
// A window mode, size or aspect change, or power-of-two storage asked for, calls for a rebuild
// (render_targets_rebuild_soon): before the next frame's first draw the peer makes its
// targets, screen quad, own programs and raster grid again; images and their textures stay.
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
#include <vector>

#include "Orv/render/renderer.h"

namespace platform {
struct GlContext;
}

// The GL peer's table.
const Renderer& gl_renderer();

// The context the peer draws with (the window's), or null. Set before render_system_init.
void gl_renderer_use_context(platform::GlContext* context);

// The camera every sprite drawn in model space is seen through (gl_sprite_space.h): eye,
// target and up, three floats each. False (nothing kept) when the peer is not open. Game
// thread; the camera lasts until close.
bool gl_renderer_set_camera(const float eye[3], const float at[3], const float up[3]);

// Counters of the work done, for the benchmark and tests: texture uploads and draw calls
// since open (or the last reset).
struct GlRendererStats {
  uint64_t uploads = 0;
  uint64_t draws = 0;
};
GlRendererStats gl_renderer_stats();
void gl_renderer_reset_stats();
// Waits until the driver has finished every command given so far (benchmarks).
void gl_renderer_finish();

// For tests: whether the sprites that may be drawn from their texture in the alpha blend's
// form are (on at open); off, every sprite takes the sprite program's own modes.
void gl_renderer_use_blend_forms_for_test(bool on);
// For tests: the frame composed as present composes it, into a picture of width x height
// (top row first) with the game picture in `area`; empty when the peer is not open.
std::vector<uint32_t> gl_renderer_compose_for_test(int32_t width, int32_t height, OrvRect area);
// For tests: what the effects came to (GlEffects bits, and whether BICUBIC was built) and the
// sizes the peer derived.
struct GlRendererFacts {
  uint32_t effects = 0;
  bool bicubic = false;
  int32_t present_filter = 0;
  int32_t frame_side = 0, temp_side = 0;
  int32_t game_target_w = 0, game_target_h = 0;  // the game target's size
  int32_t temp_target_w = 0, temp_target_h = 0;  // the temporary target's, 0 until made
  uint32_t rebuilds = 0;  // rebuilds of the targets, screen quad and programs since open
  int32_t grid_columns = 0, grid_rows = 0, grid_vertices = 0, grid_triangles = 0;
};
GlRendererFacts gl_renderer_facts();
