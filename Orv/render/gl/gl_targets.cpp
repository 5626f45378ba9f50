// The current target, the target list's temporary target, and composing the frame onto a
// framebuffer.
#include <cstring>
#include <vector>

#include "Orv/render/gl/gl_device.h"
#include "Orv/render/render_state.h"

namespace gl = platform::gl;

const GlTarget& gl_current_target(GlRenderer* g) {
  return g->drawing_targets ? g->temp : g->game;
}

void gl_bind_current(GlRenderer* g) {
  const GlTarget& t = gl_current_target(g);
  g->f.BindFramebuffer(gl::kFramebuffer, t.fbo);
  // Sprites are placed in game pixels: the viewport puts the game picture where it lies in
  // the target (centred in the temporary one, integer halves).
  g->f.Viewport((t.width - g->game_w) / 2, (t.height - g->game_h) / 2, g->game_w, g->game_h);
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

void gl_compose(GlRenderer* g, platform::GLuint fbo, int32_t width, int32_t height,
                const OrvRect& area, float flip) {
  const platform::GlFunctions& f = g->f;
  f.BindFramebuffer(gl::kFramebuffer, fbo);
  f.Viewport(0, 0, width, height);
  f.Disable(gl::kScissorTest);
  f.ClearColor(0, 0, 0, 1);
  f.Clear(gl::kColorBufferBit);
  f.ActiveTexture(gl::kTexture0);
  f.BindTexture(gl::kTexture2D, g->game.texture);
  // A picture shown at its own size meets the window pixel for pixel.
  const bool own_size = area.right - area.left == g->game_w && area.bottom - area.top == g->game_h;
  const int32_t filter = own_size ? 1 : g->present_filter;
  const bool bicubic = filter == 3 && g->effects.has_bicubic;
  const platform::GLint sampling = filter == 2 ? gl::kLinear : gl::kNearest;
  f.TexParameteri(gl::kTexture2D, gl::kTextureMinFilter, sampling);
  f.TexParameteri(gl::kTexture2D, gl::kTextureMagFilter, sampling);
  gl_set_blend(g, kGlModeOpaque);
  const float l = static_cast<float>(area.left), t = static_cast<float>(area.top);
  const float r = static_cast<float>(area.right), b = static_cast<float>(area.bottom);
  GlQuad q{{l, r, l, r}, {t, t, b, b}, {0, 1, 0, 1}, {0, 0, 1, 1}};
  if (!bicubic) {
    gl_draw_quad(g, q, width, height, flip, 0xFFFFFFFFu, kGlModeOpaque);
    return;
  }
  const GlEffectProgram& p = g->effects.bicubic;
  f.UseProgram(p.id);
  f.Uniform2f(p.target_size, static_cast<float>(width), static_cast<float>(height));
  f.Uniform1f(p.flip, flip);
  f.Uniform1i(p.texture, 0);
  const float gw = static_cast<float>(g->game_w), gh = static_cast<float>(g->game_h);
  f.Uniform4f(p.tex_size, gw, gh, 0, 0);
  f.Uniform4f(p.tex_diff_u, 2.0f / gw, 0, 0, 0);
  float v[16];
  for (int i = 0; i < 4; ++i) {
    v[i * 4 + 0] = q.x[i];
    v[i * 4 + 1] = q.y[i];
    v[i * 4 + 2] = q.u[i];
    v[i * 4 + 3] = q.v[i];
  }
  f.BindVertexArray(g->vao);
  f.BindBuffer(gl::kArrayBuffer, g->vbo);
  f.BufferSubData(gl::kArrayBuffer, 0, sizeof v, v);
  f.DrawArrays(gl::kTriangleStrip, 0, 4);
  ++g->stats.draws;
}
