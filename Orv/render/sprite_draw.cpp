// Drawing sprites, hit tests and the text tag.
#include <cmath>
#include <cstring>

#include "Orv/render/float_int.h"
#include "Orv/render/fx_blend.h"
#include "Orv/render/image_store.h"
#include "Orv/render/last_error.h"
#include "Orv/render/render_state.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"
#include "platform/clock.h"
#include "shared/utility.h"

void sprite_draw_request(const OrvSprite* s, DrawRequest* r) {
  r->image = s->image;
  r->x = add_sat(trunc_to_int(s->x), s->offset_x);
  r->y = add_sat(trunc_to_int(s->y), s->offset_y);
  r->rotation = trunc_to_int(s->rotation_z);
  r->scale_x = s->scale_x;
  r->scale_y = s->scale_y;
  r->rect = s->rect;
  r->color = s->color;
  r->render_mode = s->render_mode;
  r->fx = nullptr;
  r->rotation_fraction =
      std::isfinite(s->rotation_z) ? s->rotation_z - std::trunc(s->rotation_z) : 0.0f;
  r->rotation_x = s->rotation_x;
  r->rotation_y = s->rotation_y;
  r->rotation_units = s->rotation_resolution;
  r->center_x = s->center_x;
  r->center_y = s->center_y;
  r->skew_x = s->skew_x;
  r->skew_y = s->skew_y;
  r->perspective = s->perspective;
  r->address_mode = s->address_mode;
}

int32_t sprite_draw_callback(void*, uintptr_t sprite_id) {
  OrvSprite* s = sprite_from(static_cast<OrvHandle>(sprite_id));
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  // The target list draws the sprites it names whether they are shown or not.
  if (s->transition_mark || (!s->visible && !orv_render().drawing_targets)) return 1;
  while (s->busy.load() != 0) platform::sleep_ms(1);
  FxResult fx;
  bool has_fx = s->fx && fx_evaluate(s->fx, &fx);
  const Renderer* renderer = render_renderer();
  if (!renderer) return 1;
  DrawRequest request;
  sprite_draw_request(s, &request);
  request.fx = has_fx ? &fx : nullptr;
  renderer->draw_sprite(request);
  return 1;
}

const char* sprite_text_tag(const char* text, uint32_t* background, int32_t* size) {
  if (!text || text[0] != '<') return text;
  const char* p = text + 1;
  while (*p && *p != '>') {
    if (std::strncmp(p, "bkcolor=", 8) == 0) {
      int32_t used = 0;
      uint32_t color = parse_color(p + 8, &used);
      if (background) *background = color;
      p += 8 + used;
    } else if (std::strncmp(p, "size=", 5) == 0) {
      int32_t digits = 0;
      int32_t value = str_to_int(p + 5, &digits);
      if (size) *size = value;
      p += 5;
      if (*p == '-' || *p == '+') ++p;
      p += digits;
    } else {
      ++p;
    }
  }
  return *p == '>' ? p + 1 : p;
}

extern "C" {

OrvBool OrvSpriteHit(OrvHandle handle, int32_t x, int32_t y, int32_t alpha_test) {
  OrvSprite* s = sprite_from(handle);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  if (!s->visible) return 0;
  int64_t u = int64_t{x} - (int64_t{trunc_to_int(s->x)} + s->offset_x);
  int64_t v = int64_t{y} - (int64_t{trunc_to_int(s->y)} + s->offset_y);
  int64_t w = int64_t{s->rect.right} - s->rect.left, h = int64_t{s->rect.bottom} - s->rect.top;
  if (u < 0 || v < 0 || u >= w || v >= h) return 0;
  if (!alpha_test) return 1;
  int32_t pitch = 0, rows = 0;
  const uint32_t* pixels = image_pixels(s->image, &pitch, &rows);
  int64_t px = u + s->rect.left, py = v + s->rect.top;
  if (!pixels || px < 0 || py < 0 || px >= pitch || py >= rows) return 1;
  return (pixels[py * pitch + px] >> 24) != 0 ? 1 : 0;
}

OrvHandle OrvSpriteGetForeground(int32_t x, int32_t y, int32_t alpha_test) {
  RenderList* list = render_list_active();
  if (!list) return 0;
  std::lock_guard<std::recursive_mutex> guard(orv_render().list_lock);
  OrvHandle best = 0;
  int32_t best_priority = 0;
  for (RenderNode* n = list->head.next; n; n = n->next) {
    // Sprite nodes are the ones drawn by the sprite callback; cross-fades and effects are not.
    const bool sprite_node = n->callback == sprite_draw_callback ||
                             (n->callback && n->callback == orv_render().movie_sprite_draw);
    if (n->dead || !sprite_node) continue;
    OrvHandle id = static_cast<OrvHandle>(n->user_data);
    OrvSprite* s = sprite_from(id);
    if (!s || !OrvSpriteHit(id, x, y, alpha_test)) continue;
    if (!best || s->priority <= best_priority) {
      best = id;
      best_priority = s->priority;
    }
  }
  return best;
}

}  // extern "C"
