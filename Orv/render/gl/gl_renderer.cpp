// The GL peer's table: open makes the record (functions, program, screen quad buffer, game
// target), each entry draws into the game target, present shows it on the window.
#include "Orv/render/gl/gl_renderer.h"

#include <algorithm>
#include <cassert>
#include <new>
#include <string>

#include "Orv/render/gl/gl_device.h"
#include "Orv/render/gl/gl_overlay.h"
#include "Orv/render/gl/gl_sizes.h"
#include "Orv/render/image_store.h"
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

// Everything the peer makes from the context except the textures: the targets, the screen
// quad's buffers, its own programs and the raster grid. Made at open and again at a rebuild
// (window mode, size or aspect changed, power-of-two storage asked for); the effect programs
// from the library do not depend on the window and stay.
void drop_device_objects(GlRenderer* g) {
  const platform::GlFunctions& f = g->f;
  gl_target_destroy(g, &g->game);
  gl_target_destroy(g, &g->work);
  gl_target_destroy(g, &g->fx);
  gl_target_destroy(g, &g->temp);
  gl_effects_drop_grid(g);
  if (g->crossfade.id) f.DeleteProgram(g->crossfade.id);
  g->crossfade = GlCrossfadeProgram{};
  if (g->present.id) f.DeleteProgram(g->present.id);
  g->present = GlPresentProgram{};
  if (g->vbo) f.DeleteBuffers(1, &g->vbo);
  if (g->vao) f.DeleteVertexArrays(1, &g->vao);
  g->vao = g->vbo = 0;
  if (g->sprite.id) f.DeleteProgram(g->sprite.id);
  g->sprite = GlSpriteProgram{};
  if (g->space.id) f.DeleteProgram(g->space.id);
  g->space = GlSpaceProgram{};
  for (GlSpriteProgram& p : g->sprite_modes) {
    if (p.id) f.DeleteProgram(p.id);
    p = GlSpriteProgram{};
  }
}

bool make_device_objects(GlRenderer* g) {
  const platform::GlFunctions& f = g->f;
  std::string error;
  g->frame_side = gl_frame_side(g->game_w, g->game_h, g->pow2 || image_store_pow2());
  if (!gl_build_sprite_program(g, &error) || !gl_build_space_program(g, &error) ||
      !gl_build_crossfade_program(g, &error) || !gl_build_present_program(g, &error)) {
    return false;
  }
  f.GenVertexArrays(1, &g->vao);
  f.GenBuffers(1, &g->vbo);
  f.BindVertexArray(g->vao);
  f.BindBuffer(gl::kArrayBuffer, g->vbo);
  f.BufferData(gl::kArrayBuffer, 24 * sizeof(float), nullptr, gl::kStreamDraw);  // 6 corners
  f.VertexAttribPointer(0, 2, gl::kFloat, 0, 4 * sizeof(float), nullptr);
  f.VertexAttribPointer(1, 2, gl::kFloat, 0, 4 * sizeof(float),
                        reinterpret_cast<const void*>(2 * sizeof(float)));
  f.EnableVertexAttribArray(0);
  f.EnableVertexAttribArray(1);
  f.Disable(gl::kDepthTest);
  f.Disable(gl::kCullFace);
  // The game target is the square of the frame side with the game picture in its corner; a
  // driver that refuses the square still gets a target of the game size.
  if (!gl_target_create(g, g->frame_side, g->frame_side, &g->game) &&
      !gl_target_create(g, g->game_w, g->game_h, &g->game)) {
    return false;
  }
  return gl_effects_make_grid(g);
}

// A rebuild asked for since the last frame (render_targets_rebuild_soon) is done before the
// frame's first draw. Images and their textures survive it; a rebuild that fails leaves the
// peer without targets, and the frame's present reports it.
void rebuild_if_asked(GlRenderer* g) {
  const uint32_t asked = orv_render().targets_generation.load();
  // Never in the middle of the target list, whose temporary target is current.
  // A rebuild that failed is tried again at every frame the window code lets draw.
  if ((asked == g->targets_generation && !g->lost) || g->drawing_targets) return;
  g->targets_generation = asked;
  drop_device_objects(g);
  g->lost = !make_device_objects(g);
  if (g->lost) drop_device_objects(g);
  ++g->rebuilds;
}

void gl_close() {
  GlRenderer* g = orv_render().gl;
  if (!g) return;
  gl_overlays_release(g);
  if (platform::gl_context_current_here(g->context)) {
    gl_textures_clear(g);
    drop_device_objects(g);
    gl_effects_release(g);
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
  g->present_filter = s.present_filter;
  g->targets_generation = orv_render().targets_generation.load();
  g->f.GetIntegerv(gl::kMaxTextureSize, &g->max_texture);
  g->pow2 = s.pow2;
  g->sprite_filter = s.sprite_filter;
  if (!make_device_objects(g) || !gl_effects_load(g)) {
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
  caps.radial_blur = (g->effects.loaded & kGlEffectRadialBlur) != 0;
  return caps;
}

void gl_clear(uint32_t argb) {
  GlRenderer* g = gl_device();
  if (!g) return;
  rebuild_if_asked(g);
  g->f.BindFramebuffer(gl::kFramebuffer, g->game.fbo);
  g->f.Viewport(0, 0, g->game_w, g->game_h);
  g->f.Disable(gl::kScissorTest);
  auto ch = [argb](int shift) { return static_cast<float>((argb >> shift) & 255u) / 255.0f; };
  g->f.ClearColor(ch(16), ch(8), ch(0), ch(24));
  g->f.Clear(gl::kColorBufferBit);
}

int32_t gl_draw_sprite(const DrawRequest& request) {
  GlRenderer* g = gl_device();
  if (!g || !request.image) return 0;
  gl_bind_current(g);
  if (request.fx && request.fx->effect == 1) return gl_draw_sprite_wave(g, request);
  if (request.fx && request.fx->effect == 2) {
    // Without its program the sprite is not drawn while its radial blur runs.
    if (!(g->effects.loaded & kGlEffectRadialBlur)) return 1;
    const GlTexture* tex = gl_texture_for(g, request.image);
    if (!image_pixels(request.image, nullptr, nullptr)) return 0;
    if (!tex) return 1;
    gl_draw_texture_into(g, tex->id, tex->width, tex->height, request, g->game_w, g->game_h, 0,
                         request.fx);
    return 1;
  }
  return gl_draw_sprite_into(g, request, g->game_w, g->game_h);
}

int32_t gl_draw_crossfade(const DrawRequest& incoming, const DrawRequest& outgoing, float t) {
  GlRenderer* g = gl_device();
  if (!g) return 0;
  gl_bind_current(g);
  return gl_draw_crossfade_pair(g, incoming, outgoing, t);
}

void gl_draw_effect(const FxResult& fx) {
  GlRenderer* g = gl_device();
  if (!g) return;
  if (fx.effect == 1) gl_draw_frame_wave(g, fx);
  if (fx.effect == 2) gl_draw_frame_radial(g, fx);
}

BackBufferView gl_read_back() {
  GlRenderer* g = gl_device();
  if (!g) return {};
  const platform::GlFunctions& f = g->f;
  g->read_back.resize(static_cast<size_t>(g->game_w) * static_cast<size_t>(g->game_h));
  f.BindFramebuffer(gl::kFramebuffer, g->game.fbo);
  f.PixelStorei(gl::kPackAlignment, 4);
  int32_t x = 0, y = 0;
  gl_target_origin(g, g->game, &x, &y);
  f.ReadPixels(x, y, g->game_w, g->game_h, gl::kBgra, gl::kUnsignedByte, g->read_back.data());
  // The game target is opaque: it is read as X8R8G8B8 whatever alpha the blends left.
  for (uint32_t& p : g->read_back) p |= 0xFF000000u;
  return BackBufferView{g->read_back.data(), g->game_w, g->game_h, (g->device_flags & 1) != 0};
}

bool gl_present(PresentFn) {
  GlRenderer* g = gl_device();
  if (!g || g->lost) return false;
  gl_textures_purge(g);
  int32_t w = 0, h = 0;
  platform::gl_context_drawable_size(g->context, &w, &h);
  if (w <= 0 || h <= 0) return true;  // minimised: nothing to show
  // The frame fills the window's picture area (the aspect rectangle), the rest stays black.
  OrvRect area{0, 0, w, h};
  auto present_area = orv_render().present_area;
  if (!present_area || !present_area(&area)) area = OrvRect{0, 0, w, h};
  gl_compose(g, 0, w, h, area, -1.0f);
  gl_draw_overlays(g, w, h);
  platform::gl_context_swap(g->context);
  return true;
}

bool gl_get_camera(float eye[3], float at[3], float up[3]) {
  GlRenderer* g = gl_device();
  if (!g || !eye || !at || !up) return false;
  for (int i = 0; i < 3; ++i) {
    eye[i] = g->camera.eye[i];
    at[i] = g->camera.at[i];
    up[i] = g->camera.up[i];
  }
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
    .targets_begin = gl_targets_begin,
    .targets_end = gl_targets_end,
    .read_render_buffer = gl_read_render_buffer,
    .get_camera = gl_get_camera,
    .set_camera = gl_renderer_set_camera,
    .present = gl_present,
};

}  // namespace

const Renderer& gl_renderer() {
  return kGl;
}

void gl_renderer_use_context(platform::GlContext* context) {
  orv_render().gl_context = context;
}

bool gl_renderer_set_camera(const float eye[3], const float at[3], const float up[3]) {
  GlRenderer* g = gl_device();
  if (!g || !eye || !at || !up) return false;
  for (int i = 0; i < 3; ++i) {
    g->camera.eye[i] = eye[i];
    g->camera.at[i] = at[i];
    g->camera.up[i] = up[i];
  }
  return true;
}

void gl_renderer_finish() {
  if (GlRenderer* g = gl_device()) g->f.Finish();
}

GlRendererStats gl_renderer_stats() {
  GlRenderer* g = gl_device();
  return g ? g->stats : GlRendererStats{};
}

void gl_renderer_reset_stats() {
  if (GlRenderer* g = gl_device()) g->stats = GlRendererStats{};
}

void gl_renderer_use_blend_forms_for_test(bool on) {
  if (GlRenderer* g = gl_device()) g->blend_forms = on;
}

std::vector<uint32_t> gl_renderer_compose_for_test(int32_t width, int32_t height, OrvRect area) {
  GlRenderer* g = gl_device();
  GlTarget t;
  if (!g || !gl_target_create(g, width, height, &t)) return {};
  gl_compose(g, t.fbo, width, height, area, 1.0f);
  std::vector<uint32_t> out(static_cast<size_t>(width) * static_cast<size_t>(height));
  g->f.BindFramebuffer(gl::kFramebuffer, t.fbo);
  g->f.PixelStorei(gl::kPackAlignment, 4);
  g->f.ReadPixels(0, 0, width, height, gl::kBgra, gl::kUnsignedByte, out.data());
  gl_target_destroy(g, &t);
  return out;
}

GlRendererFacts gl_renderer_facts() {
  GlRendererFacts facts;
  GlRenderer* g = gl_device();
  if (!g) return facts;
  facts.effects = g->effects.loaded;
  facts.bicubic = g->effects.has_bicubic;
  facts.present_filter = g->present_filter;
  facts.frame_side = g->frame_side;
  facts.game_target_w = g->game.width;
  facts.game_target_h = g->game.height;
  facts.temp_target_w = g->temp.width;
  facts.temp_target_h = g->temp.height;
  facts.rebuilds = g->rebuilds;
  facts.temp_side = gl_temp_side(g->game_w, g->game_h);
  facts.grid_columns = g->effects.mesh.columns;
  facts.grid_rows = g->effects.mesh.rows;
  facts.grid_vertices = g->effects.mesh.vertex_count;
  facts.grid_triangles = g->effects.mesh.triangle_count;
  return facts;
}
