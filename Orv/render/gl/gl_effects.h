// The GL peer's effects: the programs of the effect library (libLumo.so), the raster grid,
// and the draws that use them (gl/ only).
//
// At open the peer lays the raster grid over its square frame target and, when device-flag
// bit 2 asks for effects, builds "DRAW_PRIMITIVE_UP2D", "RASTER" and "RADIAL_BLUR" from the
// library (dll/libLumo.so beside the program, else libLumo.so on the loader's search path);
// the present filter 3 builds "BICUBIC" (dll/ only). A missing library or a program the
// driver refuses leaves its bit clear with one line on stderr:
//   "Load Library Error : libLumo.so"
//   "Load Effect Error : LUMO_EFFECT_TYPE_DRAW" / "..._RASTER" / "..._RADIAL_BLUE"
// Without the RASTER program the raster wave is drawn through the grid moved on the CPU;
// without RADIAL_BLUR a sprite is not drawn while its radial blur runs and the full-screen
// radial blur leaves the frame as it is; without BICUBIC the
// present filter 3 shows with nearest sampling.
#pragma once

#include <cstdint>
#include <vector>

#include "Orv/render/gl/gl_sizes.h"
#include "platform/gl_functions.h"

struct GlRenderer;

// Bits of GlEffects::loaded.
constexpr uint32_t kGlEffectDraw = 1, kGlEffectRaster = 2, kGlEffectRadialBlur = 4;

// A program with the uniform places of every effect (-1 where a program has none).
struct GlEffectProgram {
  platform::GLuint id = 0;
  platform::GLint texture = -1, color = -1, target_size = -1, flip = -1;
  platform::GLint offset = -1, undulate_x = -1, undulate_y = -1, grid = -1, clip_scale = -1,
                  uv_map = -1;
  platform::GLint texture_width = -1, texture_height = -1, offset_x = -1, offset_y = -1, level = -1;
  platform::GLint tex_size = -1, tex_diff_u = -1;
  platform::GLint transform = -1;  // RADIAL_BLUR: the sprite's model space to clip space
};

struct GlEffects {
  uint32_t loaded = 0;  // kGlEffect* bits
  GlEffectProgram draw2d, raster, radial_blur, bicubic;
  bool has_bicubic = false;
  // The grid's places on the CPU and its GL buffers: `base` holds the undisplaced vertices
  // (for the RASTER program), `moved` the vertices the CPU path rewrites each draw.
  GlGridMesh mesh;
  std::vector<float> moved;
  platform::GLuint grid_vao = 0, grid_base = 0, grid_moved_vao = 0, grid_moved = 0,
                   grid_indices = 0;
  GlEffectProgram grid_program;  // the CPU path's program, built into the library
};

// Builds the effects asked for (see above) from the library. Missing effects are not
// failures: true always.
bool gl_effects_load(GlRenderer* gl);
// Deletes every program and buffer of the effects, the grid's too.
void gl_effects_release(GlRenderer* gl);
// The raster grid over the square of the frame side, with its built-in program (the CPU
// path's). The grid does not depend on the library: without it the raster wave still shows.
// False when it cannot be made (then open fails); gl_effects_drop_grid deletes it (harmless
// when there is none), for a rebuild at another frame side.
bool gl_effects_make_grid(GlRenderer* gl);
void gl_effects_drop_grid(GlRenderer* gl);

// Draws `texture` (tex_w x tex_h, row 0 the top; the picture of the square's centred game
// region) warped by the raster wave over the bound target of target_w x target_h, blended as
// a sprite of mode 1 with `color`. Through RASTER when loaded, else the grid moved on the CPU.
void gl_draw_raster(GlRenderer* gl, platform::GLuint texture, float phase, float amplitude1,
                    float amplitude2, uint32_t color, int32_t target_w, int32_t target_h);
