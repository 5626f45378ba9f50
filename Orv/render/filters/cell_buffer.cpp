#include "Orv/render/filters/cell_buffer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "Orv/render/pixelops/pixel_access.h"
#include "Orv/render/render_lock.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

bool cell_alloc(CellBuffer* buffer, int32_t width, int32_t height) {
  buffer->width = buffer->height = 0;
  try {
    buffer->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0u);
  } catch (const std::bad_alloc&) {
    buffer->pixels = {};
    return false;
  }
  buffer->width = width;
  buffer->height = height;
  return true;
}

bool cell_size(OrvHandle sprite, int32_t* width, int32_t* height) {
  SpritePixels px(sprite_from(sprite), SpritePixels::kRead);
  if (!px.ok()) return false;
  *width = px.cell_width();
  *height = px.cell_height();
  return true;
}

bool cell_read(OrvHandle sprite, CellBuffer* out) {
  SpritePixels px(sprite_from(sprite), SpritePixels::kRead);
  if (!px.ok() || !cell_alloc(out, px.cell_width(), px.cell_height())) return false;
  for (int32_t y = 0; y < out->height; ++y) {
    std::memcpy(out->pixels.data() + static_cast<size_t>(y) * out->width, px.row(y),
                static_cast<size_t>(out->width) * 4);
  }
  return true;
}

bool cell_write(OrvHandle sprite, const CellBuffer& in) {
  SpritePixels px(sprite_from(sprite), SpritePixels::kWrite);
  if (!px.ok()) return false;
  int32_t w = std::min(in.width, px.cell_width()), h = std::min(in.height, px.cell_height());
  for (int32_t y = 0; y < h && w > 0; ++y) {
    std::memcpy(px.row(y), in.pixels.data() + static_cast<size_t>(y) * in.width,
                static_cast<size_t>(w) * 4);
  }
  return true;
}

WorkThreadLockGap::WorkThreadLockGap() {
  if (OrvIsWorkThreadId() && render_lock_held_here()) {
    render_lock_leave();
    left_ = true;
  }
}

WorkThreadLockGap::~WorkThreadLockGap() {
  if (left_) render_lock_enter();
}
