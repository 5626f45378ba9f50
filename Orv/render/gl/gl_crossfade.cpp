// The cross-fade pair: both pictures mixed texel by texel into the work target with the
// software peer's integer formula, then drawn as one sprite at the incoming place.
#include <algorithm>
#include <string>

#include "Orv/render/gl/gl_device.h"
#include "Orv/render/image_store.h"

namespace gl = platform::gl;

namespace {

// side: left and top of the clipped rectangle in its texture, its width, and its offset in
// the pair (the narrower picture is centred). weight: F of 255 for the incoming picture.
// alphas: the colour alphas of the incoming and outgoing sprites, 0..255. Where both texels
// are seen the alpha is the sum of both weighted alphas, at most 255.
constexpr const char* kFragment = R"(#version 330 core
uniform sampler2D tex_in;
uniform sampler2D tex_out;
uniform ivec4 side_in;
uniform ivec4 side_out;
uniform float weight;
uniform vec2 alphas;
out vec4 frag;
vec4 fetch(sampler2D t, ivec4 side, ivec2 p) {
  int x = p.x - side.w;
  if (x < 0 || x >= side.z) return vec4(0.0);
  return floor(texelFetch(t, ivec2(side.x + x, side.y + p.y), 0) * 255.0 + 0.5);
}
void main() {
  ivec2 p = ivec2(gl_FragCoord.xy);
  vec4 f = fetch(tex_in, side_in, p);
  vec4 g = fetch(tex_out, side_out, p);
  float F = weight;
  vec4 o;
  if (f.a == 0.0 && g.a == 0.0) {
    o = vec4(0.0);
  } else if (f.a == 0.0 || g.a == 0.0) {
    o = vec4(f.a != 0.0 ? f.rgb : g.rgb, floor((f.a * F + g.a * (255.0 - F)) / 256.0));
  } else {
    o.rgb = floor((f.rgb * F + g.rgb * (255.0 - F)) / 256.0);
    o.a = min(255.0, floor(alphas.x * f.a / 256.0) + floor(g.a * alphas.y / 256.0));
  }
  frag = o / 255.0;
}
)";

struct Side {
  const GlTexture* tex = nullptr;
  int32_t left = 0, top = 0, width = 0, height = 0;
};

bool side_of(GlRenderer* g, const DrawRequest& req, Side* side) {
  if (!image_pixels(req.image, nullptr, nullptr)) return false;
  int32_t l = std::max(req.rect.left, 0), t = std::max(req.rect.top, 0);
  int32_t r = std::min(req.rect.right, req.image->width);
  int32_t b = std::min(req.rect.bottom, req.image->height);
  if (r <= l || b <= t) return false;
  side->tex = gl_texture_for(g, req.image);
  side->left = l;
  side->top = t;
  side->width = r - l;
  side->height = b - t;
  return side->tex != nullptr;
}

}  // namespace

bool gl_build_crossfade_program(GlRenderer* g, std::string* error) {
  const platform::GlFunctions& f = g->f;
  const platform::GLuint program = gl_program_link(f, kGlTargetQuadVertex, kFragment, error);
  if (!program) return false;
  GlCrossfadeProgram& p = g->crossfade;
  p.id = program;
  p.tex_in = f.GetUniformLocation(program, "tex_in");
  p.tex_out = f.GetUniformLocation(program, "tex_out");
  p.side_in = f.GetUniformLocation(program, "side_in");
  p.side_out = f.GetUniformLocation(program, "side_out");
  p.weight = f.GetUniformLocation(program, "weight");
  p.alphas = f.GetUniformLocation(program, "alphas");
  p.target_size = f.GetUniformLocation(program, "target_size");
  return true;
}

int32_t gl_draw_crossfade_pair(GlRenderer* g, const DrawRequest& in, const DrawRequest& out,
                               float t) {
  Side fs, gs;
  bool has_in = side_of(g, in, &fs), has_out = side_of(g, out, &gs);
  if (!has_in && !has_out) return 1;
  if (!has_in) return gl_draw_sprite_into(g, out, g->game_w, g->game_h);
  if (!has_out) return gl_draw_sprite_into(g, in, g->game_w, g->game_h);
  if (fs.height != gs.height) return 0;
  const int32_t w = std::max(fs.width, gs.width), h = fs.height;
  constexpr int32_t kMaxPair = 4096;  // the software peer's largest work surface
  bool fits = w <= kMaxPair && h <= kMaxPair;
  if (fits && (g->work.width < w || g->work.height < h)) {
    int32_t ww = std::max(w, g->work.width), wh = std::max(h, g->work.height);
    gl_target_destroy(g, &g->work);
    fits = gl_target_create(g, ww, wh, &g->work);
  }
  if (!fits) {
    // No work target for the pair: the two drawn as plain sprites, the outgoing one behind.
    gl_bind_current(g);
    gl_draw_sprite_into(g, out, g->game_w, g->game_h);
    gl_draw_sprite_into(g, in, g->game_w, g->game_h);
    return 1;
  }
  const platform::GlFunctions& f = g->f;
  f.BindFramebuffer(gl::kFramebuffer, g->work.fbo);
  f.Viewport(0, 0, g->work.width, g->work.height);
  f.Disable(gl::kScissorTest);
  f.Disable(gl::kBlend);
  f.UseProgram(g->crossfade.id);
  f.ActiveTexture(gl::kTexture0);
  f.BindTexture(gl::kTexture2D, fs.tex->id);
  f.ActiveTexture(gl::kTexture0 + 1);
  f.BindTexture(gl::kTexture2D, gs.tex->id);
  f.ActiveTexture(gl::kTexture0);
  f.Uniform1i(g->crossfade.tex_in, 0);
  f.Uniform1i(g->crossfade.tex_out, 1);
  f.Uniform4i(g->crossfade.side_in, fs.left, fs.top, fs.width, (w - fs.width) / 2);
  f.Uniform4i(g->crossfade.side_out, gs.left, gs.top, gs.width, (w - gs.width) / 2);
  float weight = static_cast<float>(static_cast<uint32_t>(std::clamp(t, 0.0f, 1.0f) * 255.0f));
  f.Uniform1f(g->crossfade.weight, weight);
  f.Uniform2f(g->crossfade.alphas, static_cast<float>(in.color >> 24),
              static_cast<float>(out.color >> 24));
  f.Uniform2f(g->crossfade.target_size, static_cast<float>(g->work.width),
              static_cast<float>(g->work.height));
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  const float quad[16] = {0, 0, 0, 0, fw, 0, 0, 0, 0, fh, 0, 0, fw, fh, 0, 0};
  gl_draw_strip(g, quad);

  // Back to the target that was current (the temporary one inside the target list).
  gl_bind_current(g);
  DrawRequest pair = in;
  pair.image = nullptr;
  pair.x = in.x - (gs.width > fs.width ? (gs.width - fs.width) / 2 : 0);
  pair.rect = OrvRect{0, 0, w, h};
  pair.color = in.color | 0xFF000000u;
  pair.render_mode = kGlModeAlpha;
  // The mixed pair is drawn with the incoming sprite's place, scale and turns, unleaned, flat,
  // and never repeated.
  pair.skew_x = pair.skew_y = 0;
  pair.perspective = 0;
  pair.address_mode = 0;
  gl_draw_texture_into(g, g->work.texture, g->work.width, g->work.height, pair, g->game_w,
                       g->game_h);
  return 1;
}
