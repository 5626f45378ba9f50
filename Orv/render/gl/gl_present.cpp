// Composing the frame onto a framebuffer: the game picture (the corner of the game target)
// into the window's picture area through the present filter, the rest black.
//
// A picture shown at its own size is copied by a framebuffer blit. Scaled, the point and
// linear filters draw through a program of their own that does nothing but fetch the texel:
// presenting is a full-window pass every frame, and on a software GL every instruction of the
// fragment program counts per pixel.
#include <algorithm>
#include <string>

#include "Orv/render/gl/gl_device.h"

namespace gl = platform::gl;

namespace {

// Drawn through the flat quad stage (kGlFlatQuadVertex); flip -1 turns the picture over for
// the window's framebuffer, whose row 0 is the bottom. Texture coordinates are held inside the
// game picture, so that the linear filter takes its edge texels and nothing of the rest of the
// square target.
constexpr const char* kPresentFragment = R"(#version 330 core
noperspective in vec2 v_uv;
uniform sampler2D tex;
uniform vec4 uv_box;
out vec4 frag;
void main() {
  frag = vec4(texture(tex, clamp(v_uv, uv_box.xy, uv_box.zw)).rgb, 1.0);
}
)";

}  // namespace

bool gl_build_present_program(GlRenderer* g, std::string* error) {
  const platform::GlFunctions& f = g->f;
  const platform::GLuint program = gl_program_link(f, kGlFlatQuadVertex, kPresentFragment, error);
  if (!program) return false;
  GlPresentProgram& p = g->present;
  p.id = program;
  p.target_size = f.GetUniformLocation(program, "target_size");
  p.flip = f.GetUniformLocation(program, "flip");
  p.tex = f.GetUniformLocation(program, "tex");
  p.uv_box = f.GetUniformLocation(program, "uv_box");
  return true;
}

void gl_compose(GlRenderer* g, platform::GLuint fbo, int32_t width, int32_t height,
                const OrvRect& area, float flip) {
  const platform::GlFunctions& f = g->f;
  f.BindFramebuffer(gl::kFramebuffer, fbo);
  f.Viewport(0, 0, width, height);
  f.Disable(gl::kScissorTest);
  // A picture shown at its own size meets the window pixel for pixel.
  const bool own_size = area.right - area.left == g->game_w && area.bottom - area.top == g->game_h;
  const bool covered =
      area.left <= 0 && area.top <= 0 && area.right >= width && area.bottom >= height;
  if (!covered || !g->game.fbo || !own_size) {
    f.ClearColor(0, 0, 0, 1);
    f.Clear(gl::kColorBufferBit);
  }
  if (!g->game.texture) return;
  if (own_size && g->game.fbo) {
    // Pixel for pixel the picture is copied by a framebuffer blit (rows turned over for the
    // window), which a software GL does as row copies where a textured pass would run a
    // fragment program for every pixel.
    const int32_t y0 = flip < 0 ? height - area.top : area.top;
    const int32_t y1 = flip < 0 ? height - area.bottom : area.bottom;
    f.BindFramebuffer(gl::kReadFramebuffer, g->game.fbo);
    f.BlitFramebuffer(0, 0, g->game_w, g->game_h, area.left, y0, area.right, y1,
                      gl::kColorBufferBit, gl::kNearest);
    f.BindFramebuffer(gl::kFramebuffer, fbo);
    ++g->stats.draws;
    // The copy brings the game target's alpha, whatever the blends left there; the frame
    // shown is opaque.
    f.ColorMask(0, 0, 0, 1);
    f.ClearColor(0, 0, 0, 1);
    f.Clear(gl::kColorBufferBit);
    f.ColorMask(1, 1, 1, 1);
    return;
  }
  f.ActiveTexture(gl::kTexture0);
  f.BindTexture(gl::kTexture2D, g->game.texture);
  const int32_t filter = own_size ? 1 : g->present_filter;
  const bool bicubic = filter == 3 && g->effects.has_bicubic;
  const platform::GLint sampling = filter == 2 ? gl::kLinear : gl::kNearest;
  f.TexParameteri(gl::kTexture2D, gl::kTextureMinFilter, sampling);
  f.TexParameteri(gl::kTexture2D, gl::kTextureMagFilter, sampling);
  f.Disable(gl::kBlend);
  const float l = static_cast<float>(area.left), t = static_cast<float>(area.top);
  const float r = static_cast<float>(area.right), b = static_cast<float>(area.bottom);
  const float gw = static_cast<float>(g->game_w), gh = static_cast<float>(g->game_h);
  const float tw = static_cast<float>(g->game.width), th = static_cast<float>(g->game.height);
  if (!bicubic) {
    // The game picture's part of the texture, and the box of texel centres inside it.
    const float u1 = gw / tw, v1 = gh / th;
    GlQuad q{{l, r, l, r}, {t, t, b, b}, {0, u1, 0, u1}, {0, 0, v1, v1}};
    const GlPresentProgram& p = g->present;
    f.UseProgram(p.id);
    f.Uniform2f(p.target_size, static_cast<float>(width), static_cast<float>(height));
    f.Uniform1f(p.flip, flip);
    f.Uniform1i(p.tex, 0);
    f.Uniform4f(p.uv_box, 0.5f / tw, 0.5f / th, (gw - 0.5f) / tw, (gh - 0.5f) / th);
    gl_draw_strip(g, q);
    return;
  }
  // BICUBIC fetches whole texels from the picture's corner of the texture, scaled by its
  // TexSize: its coordinates run over the game picture, 0..1.
  GlQuad q{{l, r, l, r}, {t, t, b, b}, {0, 1, 0, 1}, {0, 0, 1, 1}};
  const GlEffectProgram& p = g->effects.bicubic;
  f.UseProgram(p.id);
  f.Uniform2f(p.target_size, static_cast<float>(width), static_cast<float>(height));
  f.Uniform1f(p.flip, flip);
  f.Uniform1i(p.texture, 0);
  f.Uniform4f(p.tex_size, gw, gh, 0, 0);
  f.Uniform4f(p.tex_diff_u, 2.0f / gw, 0, 0, 0);
  gl_draw_strip(g, q);
}
