// The raster wave of the whole frame or of one sprite: the picture is put into the effect
// work target and drawn back over the frame through the raster grid (gl_effects.h).
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

}  // namespace

void gl_draw_frame_wave(GlRenderer* g, const FxResult& fx) {
  if (fx.effect != 1 || !ensure_fx(g)) return;
  const platform::GlFunctions& f = g->f;
  // The picture drawn so far in the current target (the game picture's place in it).
  const GlTarget& from = gl_current_target(g);
  int32_t x0 = 0, y0 = 0;
  gl_target_origin(g, from, &x0, &y0);
  f.BindFramebuffer(gl::kReadFramebuffer, from.fbo);
  f.BindFramebuffer(gl::kDrawFramebuffer, g->fx.fbo);
  f.Disable(gl::kScissorTest);
  f.BlitFramebuffer(x0, y0, x0 + g->game_w, y0 + g->game_h, 0, 0, g->game_w, g->game_h,
                    gl::kColorBufferBit, gl::kNearest);
  warp_fx_over_current(g, fx, 0xFFFFFFFFu);
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
