#include "Orv/render/crossfade.h"

#include <new>

#include "Orv/core/handle_table.h"
#include "Orv/render/fx_blend.h"
#include "Orv/render/last_error.h"
#include "Orv/render/render_list.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

namespace {

TransitionHandle* handle_from(OrvHandle id) {
  return orv_handles().get_as<TransitionHandle>(id, HandleKind::kTransition);
}

uint32_t with_alpha(uint32_t color, uint32_t alpha) {
  return (color & 0x00FFFFFFu) | (alpha << 24);
}

}  // namespace

bool crossfade_requests(TransitionHandle* h, DrawRequest* in, DrawRequest* out, float* t) {
  *in = DrawRequest{};
  *out = DrawRequest{};
  bool done = false;
  float progress = timed_progress(h->start, h->duration, OrvtimeGetTime(), &done);
  if (done && h->state == 1) h->state = 2;
  *t = progress;
  OrvSprite* si = sprite_from(h->incoming);
  OrvSprite* so = sprite_from(h->outgoing);
  // Either sprite hidden: nothing of the pair this frame.
  if ((si && !si->visible) || (so && !so->visible)) return false;
  if (!si && !so) return false;
  if (si) {
    sprite_draw_request(si, in);
    uint32_t a_in = si->color >> 24;
    uint32_t a_in_now = static_cast<uint32_t>(static_cast<float>(a_in) * progress);
    in->color = with_alpha(si->color, a_in_now);
    if (so && h->duration != 0) {
      sprite_draw_request(so, out);
      out->scale_x = si->scale_x;
      out->scale_y = si->scale_y;
      out->color = with_alpha(so->color, a_in - a_in_now);
    }
  } else {
    sprite_draw_request(so, out);
    uint32_t a_out = so->color >> 24;
    out->color =
        with_alpha(so->color, static_cast<uint32_t>(static_cast<float>(a_out) * (1.0f - progress)));
  }
  return true;
}

int32_t crossfade_callback(void*, uintptr_t handle_id) {
  TransitionHandle* h = handle_from(static_cast<OrvHandle>(handle_id));
  if (!h) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  if (h->kind != 1) return 1;
  DrawRequest in, out;
  float t = 0;
  const Renderer* renderer = render_renderer();
  if (renderer && crossfade_requests(h, &in, &out, &t)) renderer->draw_crossfade(in, out, t);
  return 1;
}

extern "C" {

OrvHandle OrvSpriteCreateTransitionHandle(void) {
  void* block = OrvMemoryAlloc(sizeof(TransitionHandle), 1);
  if (!block) {
    orv_set_last_error(kErrorAccessDenied);
    return 0;
  }
  auto* h = new (block) TransitionHandle;
  h->id = orv_handles().add(HandleKind::kTransition, h);
  if (!h->id) {
    OrvMemoryFree(block);
    orv_set_last_error(kErrorAccessDenied);
    return 0;
  }
  orv_set_last_error(0);
  return h->id;
}

OrvBool OrvSpriteCancelTransition(OrvHandle id) {
  TransitionHandle* h = handle_from(id);
  if (!h || !h->list) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  if (OrvSprite* in = sprite_from(h->incoming)) in->transition_mark = 0;
  if (sprite_from(h->outgoing)) OrvSpriteRelease(h->list, h->outgoing);
  render_node_remove_locked(render_list_from(h->list), id);
  *h = TransitionHandle{};
  h->id = id;
  return 1;
}

OrvBool OrvSpriteReleaseTransitionHandle(OrvHandle id) {
  TransitionHandle* h = handle_from(id);
  if (!h) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  if (h->state != 0) OrvSpriteCancelTransition(id);
  orv_handles().remove(id, HandleKind::kTransition);
  OrvMemoryFree(h);
  return 1;
}

OrvBool OrvSpriteSetTransition(OrvHandle list, OrvHandle incoming, OrvHandle outgoing, int32_t kind,
                               uint32_t start, uint32_t duration, OrvHandle id) {
  TransitionHandle* h = handle_from(id);
  if (!h) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  OrvSprite* si = sprite_from(incoming);
  OrvSprite* so = sprite_from(outgoing);
  if (!si && !so) {
    orv_set_last_error(kErrorInvalidFunction);
    return 0;
  }
  if (h->state != 0) OrvSpriteCancelTransition(id);
  h->start = start;
  h->state = 1;
  h->list = list;
  h->incoming = si ? incoming : 0;
  h->kind = kind;
  h->duration = duration;
  h->minus_one = -1;
  h->outgoing = so ? outgoing : 0;
  if (si) si->transition_mark = kind;
  if (so) so->transition_mark = kind;
  OrvHandle node = 0;
  if (si && so) {
    node = OrvRenderInsertNext(list, id, crossfade_callback, si->priority, incoming);
  } else if (si) {
    node = OrvRenderInsert(list, id, crossfade_callback, si->priority);
  } else {
    node = OrvRenderInsertNext(list, id, crossfade_callback, so->priority, outgoing);
  }
  if (!node) {
    // No node (a bad list or no memory): the marked sprites would vanish with nothing drawing
    // them, so the handle is left unset and the call fails.
    if (si) si->transition_mark = 0;
    if (so) so->transition_mark = 0;
    *h = TransitionHandle{};
    h->id = id;
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  orv_set_last_error(0);
  return 1;
}

int32_t OrvSpriteGetTransitionState(OrvHandle id) {
  TransitionHandle* h = handle_from(id);
  return h ? h->state : 3;
}

}  // extern "C"
