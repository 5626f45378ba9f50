// Grabbing the frame into a sprite.
#include <cstring>

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
  // The software renderer has no render target to read.
  if (!sprite_from(sprite)) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  return 1;
}

}  // extern "C"
