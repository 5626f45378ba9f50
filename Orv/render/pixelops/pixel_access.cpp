#include "Orv/render/pixelops/pixel_access.h"

#include <algorithm>

#include "Orv/render/image_store.h"
#include "Orv/render/sprite.h"

SpritePixels::SpritePixels(OrvSprite* sprite, Access access, const SpritePixels* shared)
    : sprite_(sprite), writes_(access == kWrite) {
  if (!sprite || !sprite->image) return;
  if (shared && shared->sprite_ == sprite) {
    pixels_ = shared->pixels_;
    pitch_ = shared->pitch_;
  } else {
    sprite->busy.store(1);
    owns_busy_ = true;
    int32_t rows = 0;
    pixels_ = image_pixels(sprite->image, &pitch_, &rows);
    if (!pixels_) return;
  }
  width_ = sprite->image->width;
  height_ = sprite->image->height;
  cell_w_ = std::clamp(sprite->cell_width, 0, width_);
  cell_h_ = std::clamp(sprite->cell_height, 0, height_);
}

SpritePixels::~SpritePixels() {
  if (pixels_ && writes_) image_mark_changed(sprite_->image);
  if (owns_busy_) sprite_->busy.store(0);
}

bool clip_span(PixelSpan* s, int64_t dst_w, int64_t dst_h, int64_t src_w, int64_t src_h) {
  if (s->dx < 0) {
    s->sx -= s->dx;
    s->w += s->dx;
    s->dx = 0;
  }
  if (s->sx < 0) {
    s->dx -= s->sx;
    s->w += s->sx;
    s->sx = 0;
  }
  if (s->dy < 0) {
    s->sy -= s->dy;
    s->h += s->dy;
    s->dy = 0;
  }
  if (s->sy < 0) {
    s->dy -= s->sy;
    s->h += s->sy;
    s->sy = 0;
  }
  s->w = std::min({s->w, dst_w - s->dx, src_w - s->sx});
  s->h = std::min({s->h, dst_h - s->dy, src_h - s->sy});
  return s->w > 0 && s->h > 0;
}

void apply_copy_origin_rule(PixelSpan* s) {
  if (s->sx < 0) {
    s->dx = -s->sx;
    s->sx = 0;
  }
  if (s->sy < 0) {
    s->dy = -s->sy;
    s->sy = 0;
  }
}
