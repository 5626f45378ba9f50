#include "graphics/layers/layer_text_items.h"

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/layer_slots.h"

namespace layers {
namespace {

std::vector<TagText> lists[kLayers];

}  // namespace

std::vector<TagText>& layer_text_items(uint32_t layer) {
  return lists[layer < kLayers ? layer : 0];
}

void layer_text_items_clear(uint32_t layer) {
  if (layer < kLayers) std::vector<TagText>().swap(lists[layer]);
}

void layer_text_items_redraw(engine::VmContext& vm, uint32_t layer) {
  if (layer >= kLayers) return;
  const ImageRecord* image = vm.layers[layer].lpImage;
  for (const TagText& item : lists[layer]) {
    if (!image || !image->hSprite) {
      engine::vm_log(engine::kLogMain, "error hSprite or lpImage = nullptr");
      continue;
    }
    const int32_t type = orv.OrvFontGetType(), effect = orv.OrvFontGetEffect();
    const int32_t size = orv.OrvFontGetFontSize();
    int32_t colour = 0, colour2 = 0;
    orv.OrvFontGetColor(&colour, &colour2);
    orv.OrvFontSetType(static_cast<int32_t>(item.fontType));
    orv.OrvFontSetEffect(static_cast<int32_t>(item.fontEffect & 0xFFFF));
    orv.OrvFontSetFontSize(static_cast<int32_t>(item.fontSize & 0xFFFF));
    orv.OrvFontSetColor(item.colour, item.colour2);
    orv.OrvSpriteCreateTextEx(image->hSprite, item.text.c_str(), item.x, item.y, 0xFFFFFFFFu);
    orv.OrvFontSetType(type);
    orv.OrvFontSetEffect(effect);
    orv.OrvFontSetFontSize(size);
    orv.OrvFontSetColor(static_cast<uint32_t>(colour), static_cast<uint32_t>(colour2));
  }
}

}  // namespace layers
