// The full-screen effect blends (the raster wave and the radial blur) and the raster wave of one
// sprite: the picture is put into the effect work target and drawn back over the frame through
// the raster grid or the RADIAL_BLUR program (gl_effects.h).
#include "Orv/render/gl/gl_device.h"
#include "Orv/render/gl/gl_effects.h"
#include "Orv/render/image_store.h"

namespace gl = platform::gl;

namespace {

bool ensure_fx(GlRenderer* g) {
  return g->fx.fbo || gl_target_create(g, g->game_w, g->game_h, &g->fx);
}

// Warps the fx picture over the current target (the game target or the temporary one).
void warp_fx_over_current(GlRenderer* g, const FxResult& fx, uint32_t color) {
  // The grid's clip space is the game picture: the viewport is its place in the target.
  gl_bind_current(g);
  gl_draw_raster(g, g->fx.texture, fx.phase, fx.amplitude1, fx.amplitude2, color, g->game_w,
                 g->game_h);
}

// Copies the picture drawn so far in the current target (the game picture's place in it) into
// the fx target.
void copy_current_into_fx(GlRenderer* g) {
  const platform::GlFunctions& f = g->f;
  const GlTarget& from = gl_current_target(g);
  int32_t x0 = 0, y0 = 0;
  gl_target_origin(g, from, &x0, &y0);
  f.BindFramebuffer(gl::kReadFramebuffer, from.fbo);
  f.BindFramebuffer(gl::kDrawFramebuffer, g->fx.fbo);
  f.Disable(gl::kScissorTest);
  f.BlitFramebuffer(x0, y0, x0 + g->game_w, y0 + g->game_h, 0, 0, g->game_w, g->game_h,
                    gl::kColorBufferBit, gl::kNearest);
}

}  // namespace

void gl_draw_frame_wave(GlRenderer* g, const FxResult& fx) {
  if (fx.effect != 1 || !ensure_fx(g)) return;
  copy_current_into_fx(g);
  warp_fx_over_current(g, fx, 0xFFFFFFFFu);
}

void gl_draw_frame_radial(GlRenderer* g, const FxResult& fx) {
  // Without its program the frame stays as it is.
  if (fx.effect != 2 || !(g->effects.loaded & kGlEffectRadialBlur) || !ensure_fx(g)) return;
  const platform::GlFunctions& f = g->f;
  copy_current_into_fx(g);
  // The frame's picture is opaque whatever alpha the blends left in it: the blur, which
  // weighs its samples by alpha, reads it so.
  f.BindFramebuffer(gl::kFramebuffer, g->fx.fbo);
  f.ColorMask(0, 0, 0, 1);
  f.ClearColor(0, 0, 0, 1);
  f.Clear(gl::kColorBufferBit);
  f.ColorMask(1, 1, 1, 1);
  // The picture drawn back over itself as one unturned sprite at the origin, seen without the
  // camera (the full-screen blend has no view of its own).
  gl_bind_current(g);
  DrawRequest whole;
  whole.rect = OrvRect{0, 0, g->game_w, g->game_h};
  const GlCamera camera = g->camera;
  g->camera = GlCamera{};
  gl_draw_texture_into(g, g->fx.texture, g->game_w, g->game_h, whole, g->game_w, g->game_h, 0, &fx);
  g->camera = camera;
}

int32_t gl_draw_sprite_wave(GlRenderer* g, const DrawRequest& req) {
  if (!image_pixels(req.image, nullptr, nullptr)) return 0;
  if (!ensure_fx(g)) return 1;
  const platform::GlFunctions& f = g->f;
  f.BindFramebuffer(gl::kFramebuffer, g->fx.fbo);
  f.Viewport(0, 0, g->game_w, g->game_h);
  f.Disable(gl::kScissorTest);
  f.ClearColor(0, 0, 0, 0);
  f.Clear(gl::kColorBufferBit);
  const GlTexture* tex = gl_texture_for(g, req.image);
  if (!tex) return 1;
  f.BindFramebuffer(gl::kFramebuffer, g->fx.fbo);
  gl_draw_texture_into(g, tex->id, tex->width, tex->height, req, g->game_w, g->game_h, kGlModeCopy);
  warp_fx_over_current(g, *req.fx, req.color);
  return 1;
}
