#include "Orv/render/render_system.h"

#include "Orv/render/fx_blend.h"
#include "Orv/render/image_store.h"
#include "Orv/render/render_state.h"
#include "Orv/render/sprite.h"
#include "Orv/render/sw/software_renderer.h"
#include "orv/orv.h"
#include "platform/window.h"

namespace {

// The one choice of peer: GL only when asked for and available.
const Renderer& choose_renderer(const RenderParams& params) {
  if ((params.display_flags & kDisplayFlagDirect3D) && params.gl) return *params.gl;
  return software_renderer();
}

// The presentation filter the display flags choose: bit 11 bicubic, bit 10 linear, bit 9 point;
// without any of them the smooth-stretch setting (device flag bit 0) gives linear, else none.
int32_t present_filter(uint32_t display_flags, uint32_t device_flags) {
  if (display_flags & 0x800u) return 3;
  if (display_flags & 0x400u) return 2;
  if (display_flags & 0x200u) return 1;
  return (device_flags & 1u) ? 2 : 0;
}

// The sprite sampling filter: bit 14 linear, bit 13 point; without either the smooth-stretch
// setting gives linear, else none.
int32_t sprite_filter(uint32_t display_flags, uint32_t device_flags) {
  if (display_flags & 0x4000u) return 2;
  if (display_flags & 0x2000u) return 1;
  return (device_flags & 1u) ? 2 : 0;
}

}  // namespace

uint32_t render_system_init(const RenderParams& params, bool* ok) {
  RenderState& st = orv_render();
  render_system_uninit();
  image_pool_init(params.texture_count > 0 ? params.texture_count : 256);
  const Renderer* chosen = &choose_renderer(params);
  RendererSetup setup;
  setup.game_width = params.game_width;
  setup.game_height = params.game_height;
  setup.window_width = params.window_width;
  setup.window_height = params.window_height;
  setup.device_flags = params.device_flags;
  setup.present_filter = present_filter(params.display_flags, params.device_flags);
  setup.sprite_filter = sprite_filter(params.display_flags, params.device_flags);
  bool opened = chosen->open && chosen->open(setup);
  if (!opened && chosen != &software_renderer()) {
    // The GL peer could not start (a program the driver refuses, no memory for a target):
    // the software peer draws instead and the Direct3D bit goes.
    chosen = &software_renderer();
    opened = chosen->open(setup);
  }
  st.renderer = opened ? *chosen : Renderer{};
  st.present_failed = false;
  st.game_w = params.game_width;
  st.game_h = params.game_height;
  st.raster_phase_set = false;
  if (ok) *ok = opened;
  if (opened && chosen == params.gl) return params.display_flags;
  return params.display_flags & ~kDisplayFlagDirect3D;
}

void render_system_uninit() {
  RenderState& st = orv_render();
  sprite_release_all();
  if (st.renderer.close) st.renderer.close();
  st.renderer = Renderer{};
  fx_record_free(st.fullscreen_fx);
  st.fullscreen_fx = nullptr;
  st.fullscreen_fx_list = 0;
  image_pool_uninit();
}

const Renderer* render_renderer() {
  const Renderer& r = orv_render().renderer;
  return r.open ? &r : nullptr;
}

BackBufferView render_back_buffer() {
  const Renderer* r = render_renderer();
  return r ? r->read_back() : BackBufferView{};
}

void render_present_restored() {
  orv_render().present_failed = false;
}

void render_aspect_crop_set(bool active, int32_t monitor_w, int32_t monitor_h, int32_t picture_w,
                            int32_t picture_h, int32_t game_w, int32_t game_h) {
  RenderState& rs = orv_render();
  rs.crop_active = active;
  rs.monitor_w = monitor_w;
  rs.monitor_h = monitor_h;
  rs.picture_w = picture_w;
  rs.picture_h = picture_h;
  rs.game_w = game_w;
  rs.game_h = game_h;
}

void render_targets_rebuild_soon() {
  orv_render().targets_generation.fetch_add(1);
}

// With the GPU renderer, images made from now on are stored in power-of-two sizes (the
// textures made from them follow); the software renderer draws images at their own size, so
// there the flag changes nothing.
void OrvSetPow(int32_t flag) {
  const Renderer* renderer = render_renderer();
  if (!renderer || renderer->draw_sprite == software_renderer().draw_sprite) return;
  image_store_set_pow2(flag != 0);
  render_targets_rebuild_soon();  // the frame target takes a power-of-two side too
}

namespace {

// The active renderer when it keeps textures (the GL peer), else null.
const Renderer* gpu_renderer() {
  const Renderer* renderer = render_renderer();
  if (!renderer || !renderer->caps || renderer->caps().max_texture_side <= 0) return nullptr;
  return renderer;
}

}  // namespace

int32_t Orv3DGetCaps(Orv3DCaps* caps) {
  if (!caps) return 0;
  *caps = Orv3DCaps{};
  const Renderer* renderer = gpu_renderer();
  if (!renderer) return 0;
  const RendererCaps c = renderer->caps();
  caps->max_texture_width = c.max_texture_side;
  caps->max_texture_height = c.max_texture_side;
  caps->pow2_required = c.pow2_textures ? 1 : 0;
  caps->texture_memory = c.texture_memory;
  return 1;
}

uint32_t Orv3DGetDisplayMode(uint32_t field, uint32_t adapter) {
  if (!gpu_renderer() || field > 3) return 0;
  if (field == 0) return static_cast<uint32_t>(platform::display_count());
  platform::DisplayMode mode;
  if (adapter > 0x7FFFFFFFu || !platform::display_mode(static_cast<int>(adapter), &mode)) return 0;
  const int32_t value = field == 1 ? mode.width : field == 2 ? mode.height : mode.refresh;
  return static_cast<uint32_t>(value);
}
