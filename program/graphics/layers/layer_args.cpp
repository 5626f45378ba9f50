#include "graphics/layers/layer_args.h"

#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/layer_slots.h"

namespace layers {

void log_range_error(uint32_t value) {
  engine::vm_log(engine::kLogMain,
                 "graph error : \x94\xCD\x88\xCD\x8A\x4F\x82\xCC\x92\x6C\x82\xF0\x8E\x77\x92\xE8"
                 "\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42no = %d",
                 as_int(value));
}

bool layer_in_range(uint32_t layer) {
  return number_in_range(layer, kLayers);
}

bool number_in_range(uint32_t value, uint32_t limit) {
  if (value < limit) return true;
  log_range_error(value);
  return false;
}

ImageRecord* layer_image(engine::VmContext& vm, uint32_t layer) {
  return layer < kLayers ? vm.layers[layer].lpImage : nullptr;
}

uint32_t layer_sprite(engine::VmContext& vm, uint32_t layer) {
  const ImageRecord* image = layer_image(vm, layer);
  return image ? image->hSprite : 0;
}

ImageRecord* image_by_number(uint32_t image_no) {
  return image_record_at(decode_image_no(image_no));
}

bool skipping_scene(engine::VmContext& vm) {
  return (engine::get_skip_state(vm) & engine::kSkipAny) != 0;
}

ScreenSize screen_size() {
  uint32_t w = 0, h = 0;
  engine::game_screen_size(&w, &h);
  return {as_int(w), as_int(h)};
}

}  // namespace layers
