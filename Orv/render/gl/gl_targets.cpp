// The current target and the target list's temporary target.
#include <cstring>
#include <vector>

#include "Orv/render/gl/gl_device.h"
#include "Orv/render/render_state.h"

namespace gl = platform::gl;

const GlTarget& gl_current_target(GlRenderer* g) {
  return g->drawing_targets ? g->temp : g->game;
}

void gl_target_origin(const GlRenderer* g, const GlTarget& t, int32_t* x, int32_t* y) {
  const bool centred = &t == &g->temp;
  *x = centred ? (t.width - g->game_w) / 2 : 0;
  *y = centred ? (t.height - g->game_h) / 2 : 0;
}

void gl_bind_current(GlRenderer* g) {
  const GlTarget& t = gl_current_target(g);
  g->f.BindFramebuffer(gl::kFramebuffer, t.fbo);
  // Sprites are placed in game pixels: the viewport puts the game picture where it lies in
  // the target (centred in the temporary one, integer halves).
  int32_t x = 0, y = 0;
  gl_target_origin(g, t, &x, &y);
  g->f.Viewport(x, y, g->game_w, g->game_h);
}

bool gl_targets_begin() {
  GlRenderer* g = gl_device();
  if (!g) return false;
  if (!g->temp.fbo) {
    const int32_t side = gl_temp_side(g->game_w, g->game_h);
    if (!gl_target_create(g, side, side, &g->temp)) return false;
  }
  const platform::GlFunctions& f = g->f;
  f.BindFramebuffer(gl::kFramebuffer, g->temp.fbo);
  f.Viewport(0, 0, g->temp.width, g->temp.height);
  f.Disable(gl::kScissorTest);
  f.ClearColor(0, 0, 0, 0);
  f.Clear(gl::kColorBufferBit);
  g->drawing_targets = true;
  return true;
}

void gl_targets_end() {
  GlRenderer* g = gl_device();
  if (!g) return;
  g->drawing_targets = false;
  gl_bind_current(g);
}

bool gl_read_render_buffer(uint32_t* buffer, int32_t width, int32_t height) {
  GlRenderer* g = gl_device();
  if (!g || !buffer || !g->temp.fbo) return false;
  // A buffer larger than the temporary target would read beyond it: refused.
  if (width < g->game_w || height < g->game_h || width > g->temp.width || height > g->temp.height) {
    return false;
  }
  const platform::GlFunctions& f = g->f;
  f.BindFramebuffer(gl::kFramebuffer, g->temp.fbo);
  f.PixelStorei(gl::kPackAlignment, 4);
  f.ReadPixels((g->temp.width - width) / 2, (g->temp.height - height) / 2, width, height, gl::kBgra,
               gl::kUnsignedByte, buffer);
  gl_bind_current(g);
  return true;
}
