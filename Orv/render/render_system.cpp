#include "Orv/render/render_system.h"

#include "Orv/core/core_record.h"
#include "Orv/render/fx_blend.h"
#include "Orv/render/image_store.h"
#include "Orv/render/sprite.h"
#include "Orv/render/sw/dib_renderer.h"

uint32_t render_system_init(const RenderParams& params, bool* ok) {
  RenderState& st = orv_core().render;
  render_system_uninit();
  image_pool_init(params.texture_count > 0 ? params.texture_count : 256);
  st.dib = dib_renderer_create(params.game_width, params.game_height, params.window_width,
                               params.window_height, params.device_flags);
  st.game_w = params.game_width;
  st.game_h = params.game_height;
  st.raster_phase_set = false;
  if (ok) *ok = st.dib != nullptr;
  return params.display_flags & ~kDisplayFlagDirect3D;
}

void render_system_uninit() {
  RenderState& st = orv_core().render;
  sprite_release_all();
  dib_renderer_destroy(st.dib);
  st.dib = nullptr;
  fx_record_free(st.fullscreen_fx);
  st.fullscreen_fx = nullptr;
  st.fullscreen_fx_list = 0;
  image_pool_uninit();
}

BackBufferView render_back_buffer() {
  DibRenderer* dib = orv_core().render.dib;
  if (!dib) return {};
  return BackBufferView{dib->back.data(), dib->game_w, dib->game_h, (dib->device_flags & 1) != 0};
}

void render_present_restored() {
  if (DibRenderer* dib = orv_core().render.dib) dib->present_failed = false;
}
