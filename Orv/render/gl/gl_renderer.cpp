// The GL peer's table: open makes the record (functions, program, screen quad buffer, game
// target), each entry draws into the game target, present shows it on the window.
#include "Orv/render/gl/gl_renderer.h"

#include <algorithm>
#include <cassert>
#include <new>
#include <string>

#include "Orv/render/gl/gl_device.h"
#include "Orv/render/render_state.h"
#include "platform/gl_context.h"

namespace gl = platform::gl;

GlRenderer* gl_device() {
  GlRenderer* g = orv_render().gl;
#ifndef NDEBUG
  // Debug builds: a GL entry on a thread without the context is a fault of the caller.
  assert(!g || platform::gl_context_current_here(g->context));
#endif
  return g;
}

namespace {

void gl_close() {
  GlRenderer* g = orv_render().gl;
  if (!g) return;
  const platform::GlFunctions& f = g->f;
  if (platform::gl_context_current_here(g->context)) {
    gl_textures_clear(g);
    gl_target_destroy(g, &g->game);
    gl_target_destroy(g, &g->work);
    gl_target_destroy(g, &g->fx);
    if (g->wave.id) f.DeleteProgram(g->wave.id);
    if (g->crossfade.id) f.DeleteProgram(g->crossfade.id);
    if (g->vbo) f.DeleteBuffers(1, &g->vbo);
    if (g->vao) f.DeleteVertexArrays(1, &g->vao);
    if (g->sprite.id) f.DeleteProgram(g->sprite.id);
  }
  // Without the context current its objects go with the context itself.
  delete g;
  orv_render().gl = nullptr;
}

bool gl_open(const RendererSetup& s) {
  gl_close();
  platform::GlContext* context = orv_render().gl_context;
  if (!platform::gl_context_current_here(context)) return false;
  auto* g = new (std::nothrow) GlRenderer;
  if (!g) return false;
  g->context = context;
  std::string error;
  if (!platform::gl_functions_load(&g->f, &error)) {
    delete g;
    return false;
  }
  orv_render().gl = g;
  g->game_w = s.game_width;
  g->game_h = s.game_height;
  g->window_w = s.window_width;
  g->window_h = s.window_height;
  g->device_flags = s.device_flags;
  const platform::GlFunctions& f = g->f;
  f.GetIntegerv(gl::kMaxTextureSize, &g->max_texture);
  if (!gl_build_sprite_program(g, &error) || !gl_build_crossfade_program(g, &error) ||
      !gl_build_wave_program(g, &error)) {
    gl_close();
    return false;
  }
  f.GenVertexArrays(1, &g->vao);
  f.GenBuffers(1, &g->vbo);
  f.BindVertexArray(g->vao);
  f.BindBuffer(gl::kArrayBuffer, g->vbo);
  f.BufferData(gl::kArrayBuffer, 16 * sizeof(float), nullptr, gl::kStreamDraw);
  f.VertexAttribPointer(0, 2, gl::kFloat, 0, 4 * sizeof(float), nullptr);
  f.VertexAttribPointer(1, 2, gl::kFloat, 0, 4 * sizeof(float),
                        reinterpret_cast<const void*>(2 * sizeof(float)));
  f.EnableVertexAttribArray(0);
  f.EnableVertexAttribArray(1);
  f.Disable(gl::kDepthTest);
  f.Disable(gl::kCullFace);
  if (!gl_target_create(g, g->game_w, g->game_h, &g->game)) {
    gl_close();
    return false;
  }
  platform::gl_context_set_swap_interval(context, (s.device_flags & 2) ? 1 : 0);
  return true;
}

// GL has no portable query of free video memory: the peer keeps a budget and counts what its
// textures and targets take from it.
constexpr uint64_t kTextureBudget = uint64_t{512} << 20;

RendererCaps gl_caps() {
  RendererCaps caps;
  GlRenderer* g = orv_render().gl;  // any thread may ask: no GL call here
  if (!g) return caps;
  caps.max_texture_side = g->max_texture;
  uint64_t used = g->texture_bytes.load();
  caps.texture_memory = used < kTextureBudget ? kTextureBudget - used : 0;
  return caps;
}

void bind_game(GlRenderer* g) {
  g->f.BindFramebuffer(gl::kFramebuffer, g->game.fbo);
  g->f.Viewport(0, 0, g->game_w, g->game_h);
}

void gl_clear(uint32_t argb) {
  GlRenderer* g = gl_device();
  if (!g) return;
  bind_game(g);
  g->f.Disable(gl::kScissorTest);
  auto ch = [argb](int shift) { return static_cast<float>((argb >> shift) & 255u) / 255.0f; };
  g->f.ClearColor(ch(16), ch(8), ch(0), ch(24));
  g->f.Clear(gl::kColorBufferBit);
}

int32_t gl_draw_sprite(const DrawRequest& request) {
  GlRenderer* g = gl_device();
  if (!g || !request.image) return 0;
  bind_game(g);
  // The radial blur has no program here yet: such a sprite is drawn plainly.
  if (request.fx && request.fx->effect == 1) return gl_draw_sprite_wave(g, request);
  return gl_draw_sprite_into(g, request, g->game_w, g->game_h);
}

int32_t gl_draw_crossfade(const DrawRequest& incoming, const DrawRequest& outgoing, float t) {
  GlRenderer* g = gl_device();
  if (!g) return 0;
  return gl_draw_crossfade_pair(g, incoming, outgoing, t);
}

void gl_draw_effect(const FxResult& fx) {
  // The raster wave; no other full-screen effect is drawn yet (the frame stays as it is).
  if (GlRenderer* g = gl_device()) gl_draw_frame_wave(g, fx);
}

BackBufferView gl_read_back() {
  GlRenderer* g = gl_device();
  if (!g) return {};
  const platform::GlFunctions& f = g->f;
  g->read_back.resize(static_cast<size_t>(g->game_w) * static_cast<size_t>(g->game_h));
  f.BindFramebuffer(gl::kFramebuffer, g->game.fbo);
  f.PixelStorei(gl::kPackAlignment, 4);
  f.ReadPixels(0, 0, g->game_w, g->game_h, gl::kBgra, gl::kUnsignedByte, g->read_back.data());
  // The game target is opaque: it is read as X8R8G8B8 whatever alpha the blends left.
  for (uint32_t& p : g->read_back) p |= 0xFF000000u;
  return BackBufferView{g->read_back.data(), g->game_w, g->game_h, (g->device_flags & 1) != 0};
}

bool gl_present(PresentFn) {
  GlRenderer* g = gl_device();
  if (!g) return false;
  gl_textures_purge(g);
  const platform::GlFunctions& f = g->f;
  int32_t w = 0, h = 0;
  platform::gl_context_drawable_size(g->context, &w, &h);
  if (w <= 0 || h <= 0) return true;  // minimised: nothing to show
  f.BindFramebuffer(gl::kFramebuffer, 0);
  f.Viewport(0, 0, w, h);
  f.Disable(gl::kScissorTest);
  f.ClearColor(0, 0, 0, 1);
  f.Clear(gl::kColorBufferBit);
  // The frame fills the window's picture area (the aspect rectangle), the rest stays black.
  OrvRect area{0, 0, w, h};
  auto present_area = orv_render().present_area;
  if (!present_area || !present_area(&area)) area = OrvRect{0, 0, w, h};
  f.ActiveTexture(gl::kTexture0);
  f.BindTexture(gl::kTexture2D, g->game.texture);
  platform::GLint filter = (g->device_flags & 1) ? gl::kLinear : gl::kNearest;
  f.TexParameteri(gl::kTexture2D, gl::kTextureMinFilter, filter);
  f.TexParameteri(gl::kTexture2D, gl::kTextureMagFilter, filter);
  gl_set_blend(g, kGlModeOpaque);
  float l = static_cast<float>(area.left), t = static_cast<float>(area.top);
  float r = static_cast<float>(area.right), b = static_cast<float>(area.bottom);
  GlQuad q{{l, r, l, r}, {t, t, b, b}, {0, 1, 0, 1}, {0, 0, 1, 1}};
  gl_draw_quad(g, q, w, h, -1.0f, 0xFFFFFFFFu, kGlModeOpaque);
  platform::gl_context_swap(g->context);
  return true;
}

constexpr Renderer kGl{
    .name = "gl",
    .open = gl_open,
    .close = gl_close,
    .caps = gl_caps,
    .clear = gl_clear,
    .draw_sprite = gl_draw_sprite,
    .draw_crossfade = gl_draw_crossfade,
    .draw_effect = gl_draw_effect,
    .read_back = gl_read_back,
    .present = gl_present,
};

}  // namespace

const Renderer& gl_renderer() {
  return kGl;
}

void gl_renderer_use_context(platform::GlContext* context) {
  orv_render().gl_context = context;
}

GlRendererStats gl_renderer_stats() {
  GlRenderer* g = gl_device();
  return g ? g->stats : GlRendererStats{};
}

void gl_renderer_reset_stats() {
  if (GlRenderer* g = gl_device()) g->stats = GlRendererStats{};
}
