#include "Orv/render/fx_blend.h"

#include <cstring>
#include <new>

#include "Orv/render/last_error.h"
#include "Orv/render/render_list.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

namespace {

RenderState& rs() {
  return orv_render();
}

uint32_t block_bytes(int32_t type) {
  return (type == 0 || type == 1) ? 12u : 0u;
}

void free_blocks(FxRecord* r) {
  if (r->target) OrvMemoryFree(r->target);
  if (r->current) OrvMemoryFree(r->current);
  r->target = r->current = nullptr;
}

// Starts a forward blend; false (record left off) when memory is out.
bool fx_start(FxRecord* r, int32_t type, uint32_t duration, const void* block) {
  uint32_t bytes = block_bytes(type);
  if (bytes) {
    r->current = static_cast<uint32_t*>(OrvMemoryAlloc(bytes, 1));
    r->target = static_cast<uint32_t*>(OrvMemoryAlloc(bytes, 1));
    if (!r->current || !r->target) {
      free_blocks(r);
      return false;
    }
    if (block) std::memcpy(r->target, block, bytes);
  }
  r->duration = duration;
  r->reverse = 0;
  r->type = type;
  r->state = 1;
  r->start = OrvtimeGetTime();
  return true;
}

int32_t fx_command(FxRecord* r, int32_t type, int32_t command, uint32_t duration,
                   const void* block) {
  switch (command) {
    case 0:
      r->state = 0;
      free_blocks(r);
      return 1;
    case 1:
      if (r->state != 0) return 0;
      if (!fx_start(r, type, duration, block)) {
        orv_set_last_error(kErrorInvalidHandle);
        return 0;
      }
      return 1;
    case 2:
      r->duration = duration;
      r->state = 2;
      r->start = OrvtimeGetTime();
      r->reverse = 1;
      return 1;
    default:
      return 1;
  }
}

FxRecord* sprite_record(OrvSprite* s) {
  if (!s->fx) s->fx = new (std::nothrow) FxRecord;
  return s->fx;
}

}  // namespace

float timed_progress(uint32_t start, uint32_t duration, uint32_t now, bool* done) {
  uint32_t elapsed = now - start;
  if (elapsed >= duration) {
    if (done) *done = true;
    return 1.0f;
  }
  if (done) *done = false;
  return static_cast<float>(elapsed) / static_cast<float>(duration);
}

bool fx_evaluate(FxRecord* r, FxResult* out) {
  if (!r || r->state == 0) return false;
  uint32_t now = OrvtimeGetTime();
  bool done = false;
  float t = timed_progress(r->start, r->duration, now, &done);
  if (r->reverse) t = 1.0f - t;
  FxResult result;
  if (r->type == 0 && r->target && r->current) {
    float a1, a2;
    std::memcpy(&a1, &r->target[1], 4);
    std::memcpy(&a2, &r->target[2], 4);
    a1 *= t;
    a2 *= t;
    std::memcpy(&r->current[1], &a1, 4);
    std::memcpy(&r->current[2], &a2, 4);
    r->current[0] = r->target[0];
    uint32_t period = r->target[0];
    RenderState& st = rs();
    if (!st.raster_phase_set) {
      st.raster_phase_set = true;
      st.raster_phase_start = now;
    }
    uint32_t since = now - st.raster_phase_start;
    float phase;
    if (since < period) {
      phase = static_cast<float>(since) / static_cast<float>(period);
    } else {
      st.raster_phase_start = now;
      phase = 1.0f;
    }
    result.effect = 1;
    result.phase = phase;
    result.amplitude1 = a1;
    result.amplitude2 = a2;
  } else if (r->type == 1 && r->target && r->current) {
    std::memcpy(r->current, r->target, 12);
    result.effect = 2;  // drawn by a renderer that has the kernel (RendererCaps::radial_blur)
    std::memcpy(result.words, r->current, 12);
  }
  if (r->reverse && done) r->state = 0;
  if (!rs().effects_enabled.load()) return false;
  *out = result;
  return true;
}

void fx_record_free(FxRecord* r) {
  if (!r) return;
  free_blocks(r);
  delete r;
}

int32_t fullscreen_fx_callback(void*, uintptr_t) {
  const Renderer* renderer = render_renderer();
  FxResult fx;
  if (renderer && fx_evaluate(rs().fullscreen_fx, &fx)) renderer->draw_effect(fx);
  return 1;
}

extern "C" {

int32_t OrvSetFxEffect(const void* target, uint32_t flags, int32_t command, uint32_t duration,
                       const void* block) {
  if (!target) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  uint32_t word;
  std::memcpy(&word, target, 4);
  int32_t type = static_cast<int32_t>(flags & 0x0FFFFFFFu);
  RenderState& st = rs();
  FxRecord* r = nullptr;
  if (flags & kFxFullScreen) {
    if (!st.fullscreen_fx) st.fullscreen_fx = new (std::nothrow) FxRecord;
    r = st.fullscreen_fx;
    if (!r) return 0;
    if (command == 1) {
      if (st.fullscreen_fx_list) return 0;
      OrvHandle list = st.active_list.load();
      if (!OrvRenderInsert(list, 0, fullscreen_fx_callback, static_cast<int32_t>(word))) return 0;
      st.fullscreen_fx_list = list;
    }
  } else {
    OrvSprite* s = sprite_from(word);
    if (!s || !(r = sprite_record(s))) {
      orv_set_last_error(kErrorInvalidHandle);
      return 0;
    }
  }
  return fx_command(r, type, command, duration, block);
}

int32_t OrvSpriteSetFxEffect(OrvHandle sprite, int32_t type, int32_t command, uint32_t duration,
                             const void* block) {
  return OrvSetFxEffect(&sprite, static_cast<uint32_t>(type) & 0x0FFFFFFFu, command, duration,
                        block);
}

int32_t OrvReleaseFxEffect(const void* target, uint32_t flags) {
  RenderState& st = rs();
  if (flags & kFxFullScreen) {
    if (st.fullscreen_fx_list) {
      render_node_remove_locked(render_list_from(st.fullscreen_fx_list), 0);
    }
    fx_record_free(st.fullscreen_fx);
    st.fullscreen_fx = nullptr;
    st.fullscreen_fx_list = 0;
    return 1;
  }
  if (!target) return 0;
  uint32_t word;
  std::memcpy(&word, target, 4);
  OrvSprite* s = sprite_from(word);
  if (!s || !s->fx) return 0;
  fx_record_free(s->fx);
  s->fx = nullptr;
  return 1;
}

int32_t OrvGetFxEffectState(const void* target, uint32_t flags) {
  if (flags & kFxFullScreen) return rs().fullscreen_fx ? rs().fullscreen_fx->state : 0;
  if (!target) return 0;
  uint32_t word;
  std::memcpy(&word, target, 4);
  OrvSprite* s = sprite_from(word);
  return (s && s->fx) ? s->fx->state : 0;
}

int32_t OrvSpriteGetFxEffectState(OrvHandle sprite) {
  return OrvGetFxEffectState(&sprite, 0);
}

}  // extern "C"
