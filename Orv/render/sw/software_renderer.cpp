// The software peer's table: each entry runs the DibRenderer that open made.
#include "Orv/render/sw/software_renderer.h"

#include "Orv/render/render_state.h"
#include "Orv/render/sw/dib_renderer.h"

namespace {

DibRenderer* dib() {
  return orv_render().dib;
}

void sw_close() {
  dib_renderer_destroy(orv_render().dib);
  orv_render().dib = nullptr;
}

bool sw_open(const RendererSetup& s) {
  sw_close();
  orv_render().dib = dib_renderer_create(s.game_width, s.game_height, s.window_width,
                                         s.window_height, s.device_flags);
  return orv_render().dib != nullptr;
}

RendererCaps sw_caps() {
  return RendererCaps{};  // no textures, no radial blur
}

void sw_clear(uint32_t argb) {
  if (DibRenderer* d = dib()) dib_clear(d, argb);
}

int32_t sw_draw_sprite(const DrawRequest& request) {
  DibRenderer* d = dib();
  return d ? draw_sprite_dib(d, request) : 0;
}

int32_t sw_draw_crossfade(const DrawRequest& incoming, const DrawRequest& outgoing, float t) {
  DibRenderer* d = dib();
  return d ? draw_crossfade_dib(d, incoming, outgoing, t) : 0;
}

void sw_draw_effect(const FxResult& fx) {
  if (DibRenderer* d = dib()) draw_effect_dib(d, fx);
}

BackBufferView sw_read_back() {
  DibRenderer* d = dib();
  if (!d) return {};
  dib_settle(d);
  return BackBufferView{d->back.data(), d->game_w, d->game_h, (d->device_flags & 1) != 0};
}

bool sw_present(PresentFn sink) {
  DibRenderer* d = dib();
  if (!d) return false;
  dib_settle(d);
  return !sink || sink(d->back.data(), d->game_w, d->game_h);
}

constexpr Renderer kSoftware{
    .name = "software",
    .open = sw_open,
    .close = sw_close,
    .caps = sw_caps,
    .clear = sw_clear,
    .draw_sprite = sw_draw_sprite,
    .draw_crossfade = sw_draw_crossfade,
    .draw_effect = sw_draw_effect,
    .read_back = sw_read_back,
    .present = sw_present,
};

}  // namespace

const Renderer& software_renderer() {
  return kSoftware;
}
