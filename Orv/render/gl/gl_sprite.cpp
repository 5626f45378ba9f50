// Sprite geometry and the draw of one textured quad.
//
// A sprite at rotation 0 and scale 1 is a quad on whole pixels: each pixel meets its texel one
// to one. A sprite turned (in whole 512ths of a turn) or scaled, sampled at the nearest texel,
// is the source rectangle scaled about its centre and turned about it, placed where the
// software peer centres its box, with the software peer's sine values and 8.8 step sizes. The
// 3D device turns positive values counterclockwise on screen and the software peer clockwise,
// so a turn here picks, for nearly every pixel, the texel that the software peer picks for the
// opposite turn (they may differ on an edge where a texel boundary falls on a pixel centre).
// Everything else the sprite's transform holds (turns about x and y, other rotation units, skew,
// perspective, centre offset, a moved camera, linear sampling) is drawn in model space
// (gl_sprite_space.h), and so is every sprite under a radial blur.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "Orv/render/gl/gl_device.h"
#include "Orv/render/image_store.h"
#include "Orv/render/sine_table.h"

namespace gl = platform::gl;

namespace {

// The software peer's largest box side.
constexpr int32_t kMaxBox = 4096;
// The software peer's sample positions are exact fractions, often whole texels, which it
// truncates; interpolated in floats they land a hair either side of the texel edge. A
// 1/128-texel nudge makes the GPU's nearest texel the truncated one.
constexpr double kTexelBias = 1.0 / 128.0;

inline float channel(uint32_t argb, int shift) {
  return static_cast<float>((argb >> shift) & 255u) / 255.0f;
}

}  // namespace

void gl_set_blend(GlRenderer* g, int32_t mode) {
  const platform::GlFunctions& f = g->f;
  if (mode == kGlModeOpaque || mode == kGlModeCopy) {
    f.Disable(gl::kBlend);
    return;
  }
  f.Enable(gl::kBlend);
  f.BlendEquation(gl::kFuncAdd);
  switch (mode) {
    case kGlModeAdd:
      f.BlendFuncSeparate(gl::kOne, gl::kOne, gl::kOne, gl::kOne);
      break;
    case kGlModeMultiply:
      f.BlendFuncSeparate(gl::kDstColor, gl::kZero, gl::kOne, gl::kOne);
      break;
    case kGlModeBlendForm:
      // Premultiplied: llvmpipe has a path of its own for this blend of a bare texture fetch.
      f.BlendFuncSeparate(gl::kOne, gl::kOneMinusSrcAlpha, gl::kOne, gl::kOneMinusSrcAlpha);
      break;
    default:
      f.BlendFuncSeparate(gl::kSrcAlpha, gl::kOneMinusSrcAlpha, gl::kOne, gl::kOneMinusSrcAlpha);
      break;
  }
}

bool gl_set_table_blend(GlRenderer* g, int32_t render_mode) {
  const platform::GlFunctions& f = g->f;
  platform::GLenum equation = gl::kFuncAdd, source = gl::kOne, destination = gl::kOne;
  switch (render_mode) {
    case 4:  // the destination squared
      source = gl::kZero;
      destination = gl::kDstColor;
      break;
    case 6:  // screen
      source = gl::kOneMinusDstColor;
      break;
    case 7:  // the darker of the two
      equation = gl::kMin;
      break;
    case 8:  // the lighter of the two
      equation = gl::kMax;
      break;
    case 9:  // plain add
      break;
    case 10:  // destination minus source
      equation = gl::kFuncReverseSubtract;
      break;
    case 11:  // opaque
      f.Disable(gl::kBlend);
      return true;
    default:
      return false;
  }
  f.Enable(gl::kBlend);
  f.BlendEquation(equation);
  f.BlendFuncSeparate(source, destination, source, destination);
  return true;
}

void gl_draw_strip(GlRenderer* g, const float (&corners)[16]) {
  const platform::GlFunctions& f = g->f;
  // The strip's two triangles, drawn as a plain triangle list: the same triangles (so the same
  // pixels), but a software rasteriser recognises an axis-aligned pair of them as a rectangle
  // and fills it along rows, where a strip takes the general path.
  constexpr int kOrder[6] = {0, 1, 2, 2, 1, 3};
  float v[24];
  for (int i = 0; i < 6; ++i) {
    for (int k = 0; k < 4; ++k) v[i * 4 + k] = corners[kOrder[i] * 4 + k];
  }
  f.BindVertexArray(g->vao);
  f.BindBuffer(gl::kArrayBuffer, g->vbo);
  f.BufferSubData(gl::kArrayBuffer, 0, sizeof v, v);
  f.DrawArrays(gl::kTriangles, 0, 6);
  ++g->stats.draws;
}

void gl_draw_strip(GlRenderer* g, const GlQuad& q) {
  float v[16];
  for (int i = 0; i < 4; ++i) {
    v[i * 4 + 0] = q.x[i];
    v[i * 4 + 1] = q.y[i];
    v[i * 4 + 2] = q.u[i];
    v[i * 4 + 3] = q.v[i];
  }
  gl_draw_strip(g, v);
}

void gl_draw_quad(GlRenderer* g, const GlQuad& q, int32_t target_w, int32_t target_h, float flip,
                  uint32_t color, int32_t mode) {
  const platform::GlFunctions& f = g->f;
  // The program with the mode built in when there is one (the general one otherwise).
  const bool own = mode > 0 && mode < kGlModeCount && g->sprite_modes[mode].id;
  const GlSpriteProgram& p = own ? g->sprite_modes[mode] : g->sprite;
  f.UseProgram(p.id);
  f.Uniform2f(p.target_size, static_cast<float>(target_w), static_cast<float>(target_h));
  f.Uniform1f(p.flip, flip);
  f.Uniform4f(p.color, channel(color, 16), channel(color, 8), channel(color, 0),
              channel(color, 24));
  if (!own) f.Uniform1i(p.mode, mode);
  f.Uniform1i(p.tex, 0);
  gl_draw_strip(g, q);
}

namespace {

// The fragment mode of a render mode: 2, 3 and 5 (multiply, as 3) blend in the fragment
// program as the software peer does; 4 and 6-11 take their own blend; 0, 1 and every other
// value blend by alpha.
int32_t fragment_mode(int32_t render_mode) {
  if (render_mode == 2) return kGlModeAdd;
  if (render_mode == 3 || render_mode == 5) return kGlModeMultiply;
  if (render_mode == 4 || (render_mode >= 6 && render_mode <= 10)) return kGlModeModulate;
  if (render_mode == 11) return kGlModeTexel;
  return kGlModeAlpha;
}

// Whether a sprite is drawn from its texture in the blend's form (kGlModeBlendForm): blended
// by alpha under a white colour, placed one texel to a pixel (so that the texture coordinates
// fall on texel centres, wherever a rasteriser's own arithmetic puts them), the picture not
// repeated. This is the common sprite, and the form lets llvmpipe draw it on its fast path.
bool in_blend_form(const GlRenderer* g, const DrawRequest& req) {
  return g->blend_forms && fragment_mode(req.render_mode) == kGlModeAlpha &&
         req.color == 0xFFFFFFFFu && req.rotation == 0 && req.scale_x == 1.0f &&
         req.scale_y == 1.0f && req.address_mode != 1 &&
         !gl_sprite_needs_space(req, false, g->camera);
}

// The request cut to the box of the texture's visible texels (in the blend's form a texel of
// alpha 0 leaves its pixel as it was) and moved as the software peer moves a rectangle cut on
// the top and left; false when nothing of it is left. A place that no longer fits stays whole.
bool cut_to_visible(const GlTexture& tex, DrawRequest* part) {
  const DrawRequest req = *part;
  const OrvRect& box = tex.visible;
  part->rect.left = std::max(req.rect.left, box.left);
  part->rect.top = std::max(req.rect.top, box.top);
  part->rect.right = std::min(req.rect.right, box.right);
  part->rect.bottom = std::min(req.rect.bottom, box.bottom);
  if (part->rect.right <= part->rect.left || part->rect.bottom <= part->rect.top) return false;
  const int64_t x = int64_t{req.x} + part->rect.left - req.rect.left;
  const int64_t y = int64_t{req.y} + part->rect.top - req.rect.top;
  if (x == static_cast<int32_t>(x) && y == static_cast<int32_t>(y)) {
    part->x = static_cast<int32_t>(x);
    part->y = static_cast<int32_t>(y);
  } else {
    *part = req;
  }
  return true;
}

}  // namespace

int32_t gl_draw_sprite_into(GlRenderer* g, const DrawRequest& req, int32_t target_w,
                            int32_t target_h) {
  const bool form = in_blend_form(g, req);
  const GlTexture* tex = form ? gl_blend_texture_for(g, req.image) : gl_texture_for(g, req.image);
  if (!image_pixels(req.image, nullptr, nullptr)) return 0;
  if (!tex) return 1;  // larger than a texture may be: nothing drawn
  if (!form) {
    gl_draw_texture_into(g, tex->id, tex->width, tex->height, req, target_w, target_h);
    return 1;
  }
  DrawRequest part = req;
  if (!cut_to_visible(*tex, &part)) return 1;
  gl_draw_texture_into(g, tex->id, tex->width, tex->height, part, target_w, target_h,
                       kGlModeBlendForm);
  return 1;
}

namespace {

// The side of the square render target the sprite's model space is measured in: the
// temporary target's while the target list is drawn, else the square frame target's.
int32_t space_side(const GlRenderer* g) {
  if (g->drawing_targets && g->temp.width > 0) return g->temp.width;
  return g->frame_side > 0 ? g->frame_side : std::max(g->game_w, g->game_h);
}

void set_sampler(GlRenderer* g, platform::GLuint texture, bool linear, bool wrap) {
  const platform::GlFunctions& f = g->f;
  const platform::GLint filter = static_cast<platform::GLint>(linear ? gl::kLinear : gl::kNearest);
  const platform::GLint address =
      static_cast<platform::GLint>(wrap ? gl::kRepeat : gl::kClampToEdge);
  f.ActiveTexture(gl::kTexture0);
  f.BindTexture(gl::kTexture2D, texture);
  f.TexParameteri(gl::kTexture2D, gl::kTextureMinFilter, filter);
  f.TexParameteri(gl::kTexture2D, gl::kTextureMagFilter, filter);
  f.TexParameteri(gl::kTexture2D, gl::kTextureWrapS, address);
  f.TexParameteri(gl::kTexture2D, gl::kTextureWrapT, address);
}

// Sets the RADIAL_BLUR program's parameters: the block's level, then the centre's offset in
// texels, as floats (a value that is not a number counts as 0); the texture's size.
void use_radial_program(GlRenderer* g, const FxResult& radial, uint32_t color, float tw, float th,
                        const float (&matrix)[16]) {
  const platform::GlFunctions& f = g->f;
  float level = 0, ox = 0, oy = 0;
  std::memcpy(&level, &radial.words[0], 4);
  std::memcpy(&ox, &radial.words[1], 4);
  std::memcpy(&oy, &radial.words[2], 4);
  const GlEffectProgram& p = g->effects.radial_blur;
  f.UseProgram(p.id);
  f.UniformMatrix4fv(p.transform, 1, 1, matrix);
  f.Uniform4f(p.color, channel(color, 16), channel(color, 8), channel(color, 0),
              channel(color, 24));
  f.Uniform1i(p.texture, 0);
  f.Uniform1f(p.texture_width, tw);
  f.Uniform1f(p.texture_height, th);
  f.Uniform1f(p.level, level == level ? level : 0.0f);
  f.Uniform1f(p.offset_x, ox == ox ? ox : 0.0f);
  f.Uniform1f(p.offset_y, oy == oy ? oy : 0.0f);
}

// The quad in model space through the space program, or with `radial` through the RADIAL_BLUR
// program.
void draw_in_space(GlRenderer* g, const DrawRequest& req, const GlSpritePlace& place, int64_t l,
                   int64_t t, float tw, float th, int32_t mode, const FxResult* radial) {
  const platform::GlFunctions& f = g->f;
  const GlMatrix m = gl_sprite_matrix(req, place, g->camera);
  float matrix[16];
  for (int i = 0; i < 16; ++i) matrix[i] = static_cast<float>(m.m[i]);
  const float hx = static_cast<float>(static_cast<double>(place.w) / place.side);
  const float hy = static_cast<float>(static_cast<double>(place.h) / place.side);
  const float u0 = static_cast<float>(static_cast<double>(l) / tw);
  const float u1 = static_cast<float>(static_cast<double>(l + place.w) / tw);
  const float v0 = static_cast<float>(static_cast<double>(t) / th);
  const float v1 = static_cast<float>(static_cast<double>(t + place.h) / th);
  // Top-left, top-right, bottom-left, bottom-right; y runs upwards in model space.
  const float v[16] = {-hx, hy, u0, v0, hx, hy, u1, v0, -hx, -hy, u0, v1, hx, -hy, u1, v1};
  if (radial) {
    use_radial_program(g, *radial, req.color, tw, th, matrix);
  } else {
    f.UseProgram(g->space.id);
    f.UniformMatrix4fv(g->space.transform, 1, 1, matrix);
    f.Uniform4f(g->space.color, channel(req.color, 16), channel(req.color, 8),
                channel(req.color, 0), channel(req.color, 24));
    f.Uniform1i(g->space.mode, mode);
    f.Uniform1i(g->space.tex, 0);
  }
  gl_draw_strip(g, v);
}

}  // namespace

void gl_draw_texture_into(GlRenderer* g, platform::GLuint texture, int32_t tex_w, int32_t tex_h,
                          const DrawRequest& req, int32_t target_w, int32_t target_h,
                          int32_t mode_override, const FxResult* radial) {
  // The source rectangle clipped to the picture; the part cut off the top and left moves the
  // sprite so that the remaining pixels keep their place. With address mode 1 the picture
  // repeats over the whole rectangle instead.
  const bool wrap = req.address_mode == 1;
  int32_t pic_w = req.image ? req.image->width : tex_w;
  int32_t pic_h = req.image ? req.image->height : tex_h;
  int64_t l = req.rect.left, t = req.rect.top, r = req.rect.right, b = req.rect.bottom;
  if (!wrap) {
    l = std::max<int64_t>(l, 0);
    t = std::max<int64_t>(t, 0);
    r = std::min<int64_t>(r, pic_w);
    b = std::min<int64_t>(b, pic_h);
  }
  if (r <= l || b <= t) return;
  int64_t x = int64_t{req.x} + (l - req.rect.left);
  int64_t y = int64_t{req.y} + (t - req.rect.top);
  int64_t w = r - l, h = b - t;

  const platform::GlFunctions& f = g->f;
  const int32_t rm = req.render_mode;
  const int32_t mode = mode_override ? mode_override : fragment_mode(rm);
  const float tw = static_cast<float>(tex_w), th = static_cast<float>(tex_h);
  const bool plain = req.rotation == 0 && req.scale_x == 1.0f && req.scale_y == 1.0f;
  if (!plain && (!(req.scale_x > 0.0f) || !(req.scale_y > 0.0f))) return;
  // Filter 2 samples linearly whenever a scale is not exactly 1; every other filter (and
  // every draw that is not a sprite's own) takes the nearest texel.
  const bool linear =
      g->sprite_filter == 2 && !mode_override && (req.scale_x != 1.0f || req.scale_y != 1.0f);
  // A radial blur is always drawn through the sprite's whole transform: the software peer has
  // no picture of it to agree with.
  if (radial || gl_sprite_needs_space(req, linear, g->camera)) {
    f.Disable(gl::kScissorTest);
    set_sampler(g, texture, linear, wrap);
    if (mode_override || !gl_set_table_blend(g, rm)) gl_set_blend(g, mode);
    GlSpritePlace place{space_side(g), target_w, target_h, x, y, w, h};
    draw_in_space(g, req, place, l, t, tw, th, mode, radial);
    return;
  }
  GlQuad q;
  f.Disable(gl::kScissorTest);
  if (plain) {
    float x0 = static_cast<float>(x), y0 = static_cast<float>(y);
    float x1 = static_cast<float>(x + w), y1 = static_cast<float>(y + h);
    float u0 = static_cast<float>(l) / tw, u1 = static_cast<float>(r) / tw;
    float v0 = static_cast<float>(t) / th, v1 = static_cast<float>(b) / th;
    q = GlQuad{{x0, x1, x0, x1}, {y0, y0, y1, y1}, {u0, u1, u0, u1}, {v0, v0, v1, v1}};
  } else {
    const int32_t* sine = sine_table512();
    // The software peer's mapping of the opposite turn: sine in 1/256 steps, the scale as a 8.8
    // step per pixel.
    int32_t a = static_cast<int32_t>((int64_t{req.rotation} % 512 + 512) % 512);
    double sn = static_cast<double>(sine[a] / 256) / 256.0;
    double cs = static_cast<double>(sine[(a + 128) & 511] / 256) / 256.0;
    int64_t sw = std::min<int64_t>(w, kMaxBox), sh = std::min<int64_t>(h, kMaxBox);
    double d = std::trunc(std::sqrt(static_cast<double>(sw * sw + sh * sh)));
    int64_t bw = static_cast<int64_t>(std::min<double>(std::trunc(req.scale_x * d), kMaxBox));
    int64_t bh = static_cast<int64_t>(std::min<double>(std::trunc(req.scale_y * d), kMaxBox));
    if (bw <= 0 || bh <= 0) return;
    int64_t fx = static_cast<int64_t>(std::min(256.0f / req.scale_x, 1e9f));
    int64_t fy = static_cast<int64_t>(std::min(256.0f / req.scale_y, 1e9f));
    if (fx <= 0 || fy <= 0) return;
    int64_t bx0 = x - ((bw - sw) >> 1), by0 = y - ((bh - sh) >> 1);
    // The software peer maps pixel (px, py) to texel floor(M (p - C) + c); a pixel centre is
    // p + 0.5, so the quad's centre lies half a pixel further on.
    double cx_screen = static_cast<double>(bx0 + (bw >> 1)) + 0.5;
    double cy_screen = static_cast<double>(by0 + (bh >> 1)) + 0.5;
    double cu = static_cast<double>(sw >> 1), cv = static_cast<double>(sh >> 1);
    // Screen from source: the inverse of the source step (cs, -sn; sn, cs) / (256 / f).
    double det = cs * cs + sn * sn;
    double ex = 256.0 / static_cast<double>(fx), ey = 256.0 / static_cast<double>(fy);
    const double su[4] = {0, static_cast<double>(sw), 0, static_cast<double>(sw)};
    const double sv[4] = {0, 0, static_cast<double>(sh), static_cast<double>(sh)};
    for (int i = 0; i < 4; ++i) {
      double du = (su[i] - cu) * ex, dv = (sv[i] - cv) * ey;
      double px = (cs * du + sn * dv) / det, py = (-sn * du + cs * dv) / det;
      q.x[i] = static_cast<float>(cx_screen + px);
      q.y[i] = static_cast<float>(cy_screen + py);
      q.u[i] = static_cast<float>((static_cast<double>(l) + su[i] + kTexelBias) / tw);
      q.v[i] = static_cast<float>((static_cast<double>(t) + sv[i] + kTexelBias) / th);
    }
    // The software peer draws nothing outside its box.
    int64_t x0 = std::max<int64_t>(bx0, 0), x1 = std::min<int64_t>(bx0 + bw, target_w);
    int64_t y0 = std::max<int64_t>(by0, 0), y1 = std::min<int64_t>(by0 + bh, target_h);
    if (x0 >= x1 || y0 >= y1) return;
    // The scissor is in framebuffer pixels: the viewport's origin (the game picture's place
    // in the temporary target) moves it.
    platform::GLint view[4] = {0, 0, 0, 0};
    f.GetIntegerv(gl::kViewport, view);
    x0 += view[0];
    y0 += view[1];
    f.Enable(gl::kScissorTest);
    f.Scissor(static_cast<platform::GLint>(x0), static_cast<platform::GLint>(y0),
              static_cast<platform::GLsizei>(x1 - x0), static_cast<platform::GLsizei>(y1 - y0));
  }
  set_sampler(g, texture, false, wrap);
  if (mode_override || !gl_set_table_blend(g, rm)) gl_set_blend(g, mode);
  gl_draw_quad(g, q, target_w, target_h, 1.0f, req.color, mode);
  f.Disable(gl::kScissorTest);
  return;
}
