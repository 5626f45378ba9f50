#include "Orv/render/transition/screen_transition.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "Orv/render/image_store.h"
#include "Orv/render/render_lock.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "Orv/render/transition/transition_types.h"
#include "orv/orv.h"

namespace {

int32_t next_pow2(int32_t v) {
  int32_t p = 1;
  while (p < v && p < (1 << 30)) p <<= 1;
  return p;
}

// The effect surface's size: the game size, each side raised to a power of two while images are
// stored in power-of-two sizes (OrvSetPow, which only the GPU renderer takes).
void effect_surface_size(int32_t* w, int32_t* h) {
  const RenderState& rs = orv_render();
  const bool pow2 = image_store_pow2();
  *w = pow2 ? next_pow2(rs.game_w) : rs.game_w;
  *h = pow2 ? next_pow2(rs.game_h) : rs.game_h;
}

// Sizes the capture as the effect surface; a capture that cannot be made again keeps the old
// one and its size. False when there is no capture at all.
bool size_capture(ScreenTransition* t) {
  int32_t w = 0, h = 0;
  effect_surface_size(&w, &h);
  if (!t->capture || t->capture->width != w || t->capture->height != h) {
    if (ImageObject* made = image_create(w, h, "screen transition")) {
      image_release(t->capture);
      t->capture = made;
    }
  }
  if (!t->capture) return false;
  t->width = t->capture->width;
  t->height = t->capture->height;
  return true;
}

}  // namespace

ScreenTransition* screen_transition() {
  return orv_render().transition;
}

bool screen_transition_create() {
  RenderState& rs = orv_render();
  screen_transition_destroy();
  if (rs.game_w <= 0 || rs.game_h <= 0) return false;
  auto* t = new (std::nothrow) ScreenTransition;
  if (!t) return false;
  if (!size_capture(t)) {
    delete t;
    return false;
  }
  screen_transition_reset(t);
  rs.transition = t;
  rs.transition_step = screen_transition_frame;
  return true;
}

void screen_transition_destroy() {
  RenderState& rs = orv_render();
  ScreenTransition* t = rs.transition;
  if (!t) return;
  rs.transition_step = nullptr;
  rs.transition = nullptr;
  if (t->mask) image_release(t->mask);
  image_release(t->capture);
  delete t;
}

void screen_transition_reset(ScreenTransition* t) {
  t->started = false;
  t->running = 0;
  t->skippable = 0;
  t->type = -1;
  t->colour = 0xFFFFFFFFu;
  t->callback = nullptr;
  t->recaptured = false;
  t->saved = {};
  t->small = {};
  if (t->mask) {
    image_release(t->mask);
    t->mask = nullptr;
  }
  size_capture(t);
}

void screen_transition_capture(ScreenTransition* t) {
  const Renderer* r = render_renderer();
  if (!r || !r->read_back || !t->capture) return;
  BackBufferView frame = r->read_back();
  int32_t pitch = 0, rows = 0;
  uint32_t* p = image_pixels(t->capture, &pitch, &rows);
  // The game picture goes to the capture's top-left corner; a power-of-two capture keeps what
  // lay beyond it.
  if (!p || !frame.pixels || frame.width > t->width || frame.height > t->height) return;
  for (int32_t y = 0; y < frame.height; ++y) {
    const uint32_t* in = frame.pixels + static_cast<size_t>(y) * frame.width;
    uint32_t* out = p + static_cast<size_t>(y) * pitch;
    for (int32_t x = 0; x < frame.width; ++x) out[x] = in[x] | 0xFF000000u;
  }
  image_mark_changed(t->capture);
}

void screen_transition_frame() {
  ScreenTransition* t = screen_transition();
  if (!t || !t->running) return;
  if (t->callback) {
    if (t->callback(t)) t->callback = nullptr;
    return;
  }
  screen_transition_reset(t);
  if (t->wait_task) {
    OrvTaskFree(t->wait_task);
    t->wait_task = 0;
  }
}

void screen_transition_mode_changed() {
  RenderLockScope lock;
  if (ScreenTransition* t = screen_transition()) t->duration = 1;
}

extern "C" {

OrvBool OrvEffectEx(int32_t type, int32_t duration, int32_t skippable, int32_t wait) {
  RenderLockScope lock;
  ScreenTransition* t = screen_transition();
  if (t && (!t->enabled || type == 0)) return 1;
  if (!t || type < 0 || type > 99 || t->running) return 0;
  screen_transition_reset(t);
  screen_transition_capture(t);
  t->callback = transition_callback(type);
  t->skippable = skippable;
  t->type = type;
  t->duration = duration;
  t->running = 1;
  OrvUpdateTime();
  if (wait) t->wait_task = OrvWait(-1);
  return 1;
}

OrvBool OrvEffect(int32_t type, int32_t duration) {
  return OrvEffectEx(type, duration, 0, 0);
}

void OrvEffectEnable(int32_t flag) {
  RenderLockScope lock;
  if (ScreenTransition* t = screen_transition()) t->enabled = flag;
}

int32_t OrvEffectEnableIs(void) {
  ScreenTransition* t = screen_transition();
  return t ? t->enabled : 1;
}

int32_t OrvEffectIs(void) {
  ScreenTransition* t = screen_transition();
  return t ? t->running : 0;
}

}  // extern "C"
