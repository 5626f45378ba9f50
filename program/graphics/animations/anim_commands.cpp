#include "graphics/animations/anim_commands.h"

#include <cstring>

#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/animations/anim_command_list.h"
#include "graphics/animations/anim_player.h"
#include "graphics/layers/display_ops.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/layer_args.h"

namespace animations {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::vm_log;
using engine::vm_pop;
using engine::VmContext;

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

struct SetAnime {
  uint32_t layer, file, later;
  char name[33];
};

SetAnime pop_set_anime(VmContext& vm) {
  SetAnime a{};
  a.layer = vm_pop(vm);
  a.file = vm_pop(vm);
  a.later = vm_pop(vm);
  engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(a.name), sizeof a.name, a.file, 1);
  a.name[32] = 0;
  return a;
}

// Replaces the animation of the layer's picture; the caller has checked the layer.
void set_anime(VmContext& vm, const SetAnime& a, const char* command) {
  layers::ImageRecord* image = vm.layers[a.layer].lpImage;
  if (!image) {
    vm_log(kLogMain, "not image : %s %d", command, as_int(a.layer));
    return;
  }
  AdvAnimUnload(vm, image->dwAnimeNo);
  layers::GraphicInfo info = image->graphicInfo;
  info.flags |= layers::kGraphicAnimation;
  std::memcpy(info.aniName, a.name, sizeof info.aniName);
  layers::image_apply_graphic_info(vm, *image, info, layers::kGraphicAnimation);
  if (a.later) {
    layers::display_op_queue_anim_start(vm, image->dwAnimeNo);
  } else {
    AdvAnimStart(vm, image->dwAnimeNo);
  }
}

uint32_t cmd_sp_set_anime(VmContext& vm) {
  const SetAnime a = pop_set_anime(vm);
  vm_log(kLogHistory, "sp_set_anime  %d, %s, %d", as_int(a.layer), a.name, as_int(a.later));
  if (!layers::layer_in_range(a.layer)) return 0;
  set_anime(vm, a, "sp_set_anime");
  return 1;
}

uint32_t cmd_sp_set_anime_ex(VmContext& vm) {
  const SetAnime a = pop_set_anime(vm);
  int32_t more[8];
  for (int32_t& v : more) v = as_int(vm_pop(vm));
  vm_log(kLogHistory, "sp_set_anime_ex  %d, %s, %d, %d, %d, %d, %d, %d, %d, %d, %d",
         as_int(a.layer), a.name, as_int(a.later), more[0], more[1], more[2], more[3], more[4],
         more[5], more[6], more[7]);
  if (a.layer >= 128) {
    vm_log(kLogMain, "illegal layer : sp_set_anime_ex %d", as_int(a.layer));
    return 0;
  }
  set_anime(vm, a, "sp_set_anime_ex");
  return 1;
}

uint32_t cmd_sp_anime_clear(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  if (!layers::layer_in_range(layer)) return 0;
  if (layers::ImageRecord* image = vm.layers[layer].lpImage) {
    AdvAnimUnload(vm, image->dwAnimeNo);
    vm_log(kLogHistory, "sp_anime_clear %d", as_int(layer));
  }
  return 1;
}

constexpr engine::CommandEntry kEntries[] = {ANIM_LAYER_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList anim_layer_commands = engine::command_list(kEntries);

}  // namespace animations
