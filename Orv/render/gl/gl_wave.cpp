// The raster wave: each pixel of the picture fetched from a place moved along its row by the
// sine of its row and along its column by the sine of its column, with the software peer's
// sine table and integer steps, then blended over the frame as the software peer blends.
#include <algorithm>
#include <string>

#include "Orv/render/gl/gl_device.h"
#include "Orv/render/image_store.h"
#include "Orv/render/sine_table.h"

namespace gl = platform::gl;

namespace {

// steps: the phase step m (0..511) and the two amplitudes g (rows) and h (columns) in pixels.
// A place outside the picture, or a texel of alpha 0, leaves the frame as it is.
constexpr const char* kFragment = R"(#version 330 core
uniform sampler2D tex;
uniform int sine[512];
uniform vec3 steps;
uniform ivec4 size;
uniform vec4 color;
out vec4 frag;
void main() {
  ivec2 p = ivec2(gl_FragCoord.xy);
  int m = int(steps.x);
  float du = floor(steps.y * float(sine[(m + p.y) & 511]) / 65536.0);
  float dv = floor(steps.z * float(sine[(m + p.x) & 511]) / 65536.0);
  ivec2 q = p + ivec2(int(du), int(dv));
  if (q.x < 0 || q.y < 0 || q.x >= size.x || q.y >= size.y) discard;
  vec4 s = floor(texelFetch(tex, q, 0) * 255.0 + 0.5);
  if (s.a == 0.0) discard;
  float a = floor(color.a * s.a / 256.0);
  frag = vec4(floor(s.rgb * color.rgb / 256.0) / 255.0, a / 256.0);
}
)";

// Script values saturated as the software peer saturates them.
float saturate(float v) {
  if (!(v == v)) return 0.0f;
  return static_cast<float>(static_cast<int64_t>(std::clamp(v, -1e9f, 1e9f)));
}

bool ensure_fx(GlRenderer* g) {
  return g->fx.fbo || gl_target_create(g, g->game_w, g->game_h, &g->fx);
}

// Warps the fx picture over the game target.
void warp_fx_over_game(GlRenderer* g, const FxResult& fx, uint32_t color) {
  const platform::GlFunctions& f = g->f;
  f.BindFramebuffer(gl::kFramebuffer, g->game.fbo);
  f.Viewport(0, 0, g->game_w, g->game_h);
  f.Disable(gl::kScissorTest);
  gl_set_blend(g, kGlModeAlpha);
  f.UseProgram(g->wave.id);
  f.ActiveTexture(gl::kTexture0);
  f.BindTexture(gl::kTexture2D, g->fx.texture);
  f.Uniform1i(g->wave.tex, 0);
  f.Uniform3f(g->wave.steps, saturate(fx.phase * 511.0f),
              saturate(static_cast<float>(g->game_h) * fx.amplitude1 * 0.1f),
              saturate(static_cast<float>(g->game_w) * fx.amplitude2 * 0.1f));
  f.Uniform4i(g->wave.size, g->game_w, g->game_h, 0, 0);
  auto ch = [color](int shift) { return static_cast<float>((color >> shift) & 255u); };
  f.Uniform4f(g->wave.color, ch(16), ch(8), ch(0), ch(24));
  f.Uniform2f(g->wave.target_size, static_cast<float>(g->game_w), static_cast<float>(g->game_h));
  const float w = static_cast<float>(g->game_w), h = static_cast<float>(g->game_h);
  const float quad[16] = {0, 0, 0, 0, w, 0, 0, 0, 0, h, 0, 0, w, h, 0, 0};
  f.BindVertexArray(g->vao);
  f.BindBuffer(gl::kArrayBuffer, g->vbo);
  f.BufferSubData(gl::kArrayBuffer, 0, sizeof quad, quad);
  f.DrawArrays(gl::kTriangleStrip, 0, 4);
  ++g->stats.draws;
}

}  // namespace

bool gl_build_wave_program(GlRenderer* g, std::string* error) {
  const platform::GlFunctions& f = g->f;
  const platform::GLuint program = gl_program_link(f, kGlTargetQuadVertex, kFragment, error);
  if (!program) return false;
  GlWaveProgram& p = g->wave;
  p.id = program;
  p.tex = f.GetUniformLocation(program, "tex");
  p.sine = f.GetUniformLocation(program, "sine");
  p.steps = f.GetUniformLocation(program, "steps");
  p.size = f.GetUniformLocation(program, "size");
  p.color = f.GetUniformLocation(program, "color");
  p.target_size = f.GetUniformLocation(program, "target_size");
  f.UseProgram(program);
  f.Uniform1iv(p.sine, 512, sine_table512());
  return true;
}

void gl_draw_frame_wave(GlRenderer* g, const FxResult& fx) {
  if (fx.effect != 1 || !ensure_fx(g)) return;
  const platform::GlFunctions& f = g->f;
  f.BindFramebuffer(gl::kReadFramebuffer, g->game.fbo);
  f.BindFramebuffer(gl::kDrawFramebuffer, g->fx.fbo);
  f.Disable(gl::kScissorTest);
  f.BlitFramebuffer(0, 0, g->game_w, g->game_h, 0, 0, g->game_w, g->game_h, gl::kColorBufferBit,
                    gl::kNearest);
  warp_fx_over_game(g, fx, 0xFFFFFFFFu);
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
  warp_fx_over_game(g, *req.fx, req.color);
  return 1;
}
