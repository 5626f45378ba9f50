// Grabbing the frame into a sprite.
#include <cstring>
#include <vector>

#include "Orv/render/last_error.h"
#include "Orv/render/pixelops/pixel_access.h"
#include "Orv/render/render_system.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

extern "C" {

OrvBool OrvSpriteBackBafferCopy(OrvHandle sprite) {
  OrvSprite* s = sprite_from(sprite);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  BackBufferView frame = render_back_buffer();
  if (!frame.pixels) return 1;
  SpritePixels px(s, SpritePixels::kWrite);
  // An image smaller than the frame gets nothing, as the GPU side does.
  if (!px.ok() || px.width() < frame.width || px.height() < frame.height) return 1;
  for (int32_t y = 0; y < frame.height; ++y) {
    std::memcpy(px.row(y), frame.pixels + static_cast<int64_t>(y) * frame.width,
                static_cast<size_t>(frame.width) * 4);
  }
  return 1;
}

OrvBool OrvSpriteRenderCopy(OrvHandle sprite) {
  OrvSprite* s = sprite_from(sprite);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  // The target list's picture, centred at the image's size; a renderer without a temporary
  // target (software) or an image outside its bounds leaves the image as it is.
  const Renderer* renderer = render_renderer();
  if (!renderer || !renderer->read_render_buffer) return 1;
  SpritePixels px(s, SpritePixels::kWrite);
  if (!px.ok()) return 1;
  std::vector<uint32_t> picture(static_cast<size_t>(px.width()) * static_cast<size_t>(px.height()));
  if (!renderer->read_render_buffer(picture.data(), px.width(), px.height())) return 1;
  for (int32_t y = 0; y < px.height(); ++y) {
    std::memcpy(px.row(y), picture.data() + static_cast<int64_t>(y) * px.width(),
                static_cast<size_t>(px.width()) * 4);
  }
  return 1;
}

}  // extern "C"
