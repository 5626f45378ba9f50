// OrvSpriteSetOption: reversible whole-image filters over a kept copy of the unfiltered pixels.
#include <cstring>

#include "Orv/render/filters/cell_buffer.h"
#include "Orv/render/filters/kernels.h"
#include "Orv/render/last_error.h"
#include "Orv/render/pixel_kernels.h"
#include "Orv/render/pixelops/pixel_access.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

namespace {

// The blur level of options 0x105 .. 0x805, or -1 for any other option.
int32_t blur_level_of(int32_t option) {
  if ((option & 0xFF) != 5) return -1;
  int32_t level = (option >> 8) - 1;
  return level >= 0 && level < kBlurLevels ? level : -1;
}

bool option_filters(int32_t option) {
  return (option >= 1 && option <= 4) || blur_level_of(option) >= 0;
}

// The blur of the option: half size, blurred, scaled back bilinearly over the picture.
void half_size_blur(CellBuffer* image, int32_t level) {
  int32_t hw = image->width / 2, hh = image->height / 2;
  if (hw < 1 || hh < 1) return;
  CellBuffer half, blurred;
  if (!cell_alloc(&half, hw, hh) || !cell_alloc(&blurred, hw, hh)) return;
  scale_nearest32(half.pixels.data(), hw, hh, image->pixels.data(), image->width, image->height,
                  0.5f, 0.5f);
  if (!BlurKernel16(blurred.pixels.data(), half.pixels.data(), hw, hh, hw, level)) return;
  scale_bilinear32(image->pixels.data(), image->width, image->height, blurred.pixels.data(), hw, hh,
                   2.0f, 2.0f);
}

void apply_option(CellBuffer* image, int32_t option) {
  uint32_t* p = image->pixels.data();
  int64_t count = int64_t{image->width} * image->height;
  switch (option) {
    case 1:
      ToneOrGreyPixels(p, count, tone_table());
      return;
    case 2:
      ToneOrGreyPixels(p, count, nullptr);
      return;
    case 3:
      Filter3x3(p, image->width, image->height, image->width);
      return;
    case 4:
      NegativePixels(p, image->width, image->height, image->width);
      return;
    default:
      if (int32_t level = blur_level_of(option); level >= 0) half_size_blur(image, level);
  }
}

// Restores the backup into the image and frees it.
void restore_backup(OrvSprite* s) {
  {
    SpritePixels px(s, SpritePixels::kWrite);
    if (px.ok()) {
      CopyRectPixels(px.pixels(), px.width(), px.height(), px.pitch(), s->backup, 0, 0, s->backup_w,
                     s->backup_h, s->backup_w);
    }
  }
  OrvMemoryFree(s->backup);
  s->backup = nullptr;
  s->backup_bytes = 0;
  s->backup_w = s->backup_h = 0;
}

// Keeps a copy of the unfiltered image; false when memory is out.
bool take_backup(OrvSprite* s) {
  SpritePixels px(s, SpritePixels::kRead);
  if (!px.ok()) return false;
  uint64_t bytes =
      uint64_t{4} * static_cast<uint32_t>(px.width()) * static_cast<uint32_t>(px.height());
  if (bytes > UINT32_MAX) return false;
  auto* copy = static_cast<uint32_t*>(OrvMemoryAlloc(static_cast<uint32_t>(bytes), 0));
  if (!copy) return false;
  for (int32_t y = 0; y < px.height(); ++y) {
    std::memcpy(copy + static_cast<size_t>(y) * px.width(), px.row(y),
                static_cast<size_t>(px.width()) * 4);
  }
  s->backup = copy;
  s->backup_bytes = static_cast<uint32_t>(bytes);
  s->backup_w = px.width();
  s->backup_h = px.height();
  return true;
}

}  // namespace

extern "C" {

OrvBool OrvSpriteSetOption(OrvHandle sprite, int32_t option) {
  OrvSprite* s = sprite_from(sprite);
  if (!s || !s->image) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  s->option = option;
  if (option == 0) {
    if (s->backup) {
      restore_backup(s);
      orv_set_last_error(0);
    } else {
      orv_set_last_error(kErrorInvalidHandle);
    }
    return 1;
  }
  if (!s->backup) orv_set_last_error(take_backup(s) ? 0 : kErrorAccessDenied);
  if (!option_filters(option)) return 1;
  // The whole image is filtered in a private copy, so that the work thread can leave the
  // render lock while it works without keeping the sprite busy.
  CellBuffer image;
  {
    SpritePixels px(s, SpritePixels::kRead);
    if (!cell_alloc(&image, px.width(), px.height())) return 1;
    for (int32_t y = 0; y < px.height(); ++y) {
      std::memcpy(image.pixels.data() + static_cast<size_t>(y) * px.width(), px.row(y),
                  static_cast<size_t>(px.width()) * 4);
    }
  }
  {
    WorkThreadLockGap gap;
    apply_option(&image, option);
  }
  SpritePixels px(sprite_from(sprite), SpritePixels::kWrite);
  if (px.ok()) {
    CopyRectPixels(px.pixels(), px.width(), px.height(), px.pitch(), image.pixels.data(), 0, 0,
                   image.width, image.height, image.width);
  }
  return 1;
}

}  // extern "C"
