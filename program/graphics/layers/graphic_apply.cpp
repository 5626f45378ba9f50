// The display defaults of a graphic.dat record applied to an image's sprite.
#include <cstring>

#include "engine/orv_api.h"
#include "graphics/animations/anim_player.h"
#include "graphics/layers/image_record.h"

namespace layers {

void image_apply_graphic_info(engine::VmContext& vm, ImageRecord& image, const GraphicInfo& info,
                              uint32_t mask) {
  if (info.flags == 0) return;
  image.graphicInfo = info;
  const uint32_t m = mask & info.flags;
  const uint32_t s = image.hSprite;
  if (!s) return;
  if (m & kGraphicRenderMode) orv.OrvSpriteSetRenderMode(s, info.renderMode + 1);
  if (m & kGraphicAnimation) {
    char name[sizeof info.aniName + 1] = {};
    std::memcpy(name, info.aniName, sizeof info.aniName);
    animations::anim_load(vm, name, &image);
  }
  if (m & kGraphicColor) orv.OrvSpriteSetColor(s, info.color);
  if (m & kGraphicScale) {
    const float scale = static_cast<float>(info.scalePercent) / 100.0f;
    orv.OrvSpriteSetScale(s, scale, scale);
  }
  if (m & kGraphicPosition) {
    orv.OrvSpriteMovePos(s, static_cast<float>(info.x), static_cast<float>(info.y), 0.0f);
  }
  if (m & kGraphicCenterOffset) orv.OrvSpriteSetCenterOffset(s, info.centerX, info.centerY);
}

}  // namespace layers
