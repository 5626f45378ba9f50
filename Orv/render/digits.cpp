// Digit sprites: a number shown with one sprite per decimal place, sprite 0 the ones place,
// each showing one cell of a digit strip (cells 0-9 digits, 10 plus, 11 minus, 12 and 13 marks).
#include <cstdint>

#include "Orv/render/last_error.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

namespace {

// The sprites of the array, skipping (and reporting) null entries.
template <typename F>
void each_sprite(const OrvHandle* sprites, int32_t count, F f) {
  if (!sprites) return;
  for (int32_t i = 0; i < count; ++i) {
    if (!sprites[i]) {
      orv_set_last_error(kErrorInvalidHandle);
      continue;
    }
    f(i, sprites[i]);
  }
}

int32_t digit_count(uint64_t magnitude) {
  int32_t n = 1;
  while (magnitude >= 10) {
    magnitude /= 10;
    ++n;
  }
  return n;
}

uint64_t magnitude_of(int32_t value) {
  return value < 0 ? uint64_t{0} - static_cast<uint64_t>(int64_t{value})
                   : static_cast<uint64_t>(value);
}

}  // namespace

extern "C" {

void OrvNumberCreate(OrvHandle list, const char* path, OrvHandle* sprites, int32_t count,
                     int32_t priority) {
  if (!sprites) return;
  for (int32_t i = 0; i < count; ++i) {
    sprites[i] = OrvSpriteLoad(list, path, priority);
    if (!sprites[i]) orv_set_last_error(kErrorInvalidHandle);
  }
}

void OrvNumberSetEx(const OrvHandle* sprites, int32_t x, int32_t y, int32_t step, int32_t count) {
  each_sprite(sprites, count, [&](int32_t i, OrvHandle s) {
    int64_t px = int64_t{x} + int64_t{count - 1 - i} * step;
    OrvSprite* p = sprite_from(s);
    if (!p) return;
    p->x = static_cast<float>(px);
    p->y = static_cast<float>(y);
    p->z = 0.0f;
    render_node_set_key(render_node_from(p->node), p->priority);
  });
}

void OrvNumberSet(const OrvHandle* sprites, int32_t x, int32_t y, int32_t count) {
  if (!sprites || count < 1) return;
  OrvSpriteInfo info{};
  OrvSpriteGetInfo(sprites[0], &info);
  OrvNumberSetEx(sprites, x, y, info.cell_width, count);
}

void OrvNumberAlphaType(const OrvHandle* sprites, int32_t count, uint32_t argb) {
  each_sprite(sprites, count, [&](int32_t, OrvHandle s) { OrvSpriteSetColor(s, argb); });
}

void OrvNumberDrawCtrl(const OrvHandle* sprites, int32_t count, int32_t visible) {
  each_sprite(sprites, count, [&](int32_t, OrvHandle s) { OrvSpriteViewCtrl(s, visible); });
}

void OrvSameNumberDraw(const OrvHandle* sprites, int32_t count, int32_t cell) {
  OrvNumberDrawCtrl(sprites, count, 0);
  each_sprite(sprites, count, [&](int32_t, OrvHandle s) {
    OrvSpriteViewCtrl(s, 1);
    OrvSpriteRectSetPos(s, cell, 0);
  });
}

int32_t OrvNumberDraw(const OrvHandle* sprites, int32_t value, int32_t count, int32_t flags) {
  if (!sprites) return 0;
  OrvNumberDrawCtrl(sprites, count, 0);
  uint64_t b = magnitude_of(value);
  if (!(flags & 2)) count = digit_count(b) + (flags & 1);
  int32_t result = 0;
  for (int32_t i = 0; i < count; ++i, b /= 10) {
    int32_t cell = static_cast<int32_t>(b % 10);
    if (i == count - 1) {
      if (flags & 1) {
        cell = value < 0 ? 11 : 10;
      } else if (flags & 4) {
        cell = 12;
      } else if (flags & 8) {
        cell = 13;
      }
    }
    if (!sprites[i]) {
      orv_set_last_error(kErrorInvalidHandle);
      continue;
    }
    OrvSpriteViewCtrl(sprites[i], 1);
    result = OrvSpriteRectSetPos(sprites[i], cell, 0);
  }
  return result;
}

int32_t OrvNumberGetPlace(int32_t value) {
  return digit_count(magnitude_of(value));
}

}  // extern "C"
