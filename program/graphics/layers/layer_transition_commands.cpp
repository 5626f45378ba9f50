// The layer transition commands (layer_transition_command_list.h).
#include <cstring>

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/display_ops.h"
#include "graphics/layers/graph_child.h"
#include "graphics/layers/graphic_dat.h"
#include "graphics/layers/layer_args.h"
#include "graphics/layers/layer_commands.h"
#include "graphics/layers/layer_slots.h"
#include "graphics/layers/layer_transition_command_list.h"
#include "graphics/layers/sprite_loader.h"

namespace layers {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::LayerSlot;
using engine::vm_log;
using engine::vm_pop;
using engine::VmContext;

constexpr uint32_t kNoFile = engine::kNoText;
constexpr uint32_t kFadeOut = 1;
constexpr uint32_t kCrossFade = 2;

// Type 1 is the platform's cross-fade; 0, 2 and any other type the plain kind 0.
int32_t transition_kind(int32_t type) {
  return type == 1 ? 1 : 0;
}

// The platform draws the fade unless the player skips or screen effects are off.
bool fades(VmContext& vm) {
  const bool effects_on = !orv.OrvEffectEnableIs || orv.OrvEffectEnableIs();
  return effects_on && engine::get_skip_state(vm) == 0;
}

// A source picture that an earlier preparation kept and no commit took: it goes with the next
// commit, so that a second preparation before run cannot leave it on screen for good.
void drop_kept_source(VmContext& vm, LayerSlot& slot) {
  const uint32_t own = slot.lpImage ? slot.lpImage->hSprite : 0;
  if (slot.bTransQueued && slot.hTransOut && slot.hTransOut != own) {
    display_op_queue(vm, kOpReleaseSprite, slot.hTransOut);
  }
  slot.hTransOut = 0;
}

uint32_t cmd_sp_set_transition(VmContext& vm) {
  const uint32_t file = vm_pop(vm);
  const uint32_t layer = vm_pop(vm);
  const int32_t type = as_int(vm_pop(vm));
  const int32_t time = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  LayerSlot& slot = vm.layers[layer];
  slot.nMovieLoop = 0;
  // The recorded image operations belong to the old picture; child links stay.
  for (uint32_t k = 0; k < kGraphChildSlots; ++k) slot.graphChild[k][0] &= 0xF0000000u;
  if (file == kNoFile) return 1;
  auto no_image = [&] {
    vm_log(kLogMain, "sprite transition error : no image [%d]", as_int(layer));
    return 0u;
  };
  if (!slot.lpImage) return no_image();
  char name[33] = {};
  engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(name), sizeof name, file, 1);
  name[32] = 0;
  vm_log(kLogHistory, "sp_set_transition  %s, %d, %d, %d", name, as_int(layer), type, time);
  if (!layer_transition_handle(slot)) {
    vm_log(kLogMain, "sprite create transition handle error [%s]", name);
    return 0;
  }
  layer_transition_cancel(vm, slot);
  // Cancelling a fade-out clears the layer: nothing is left to fade from.
  if (!slot.lpImage) return no_image();
  if (!layer_transition_handle(slot)) return 0;
  ImageRecord& image = *slot.lpImage;
  OrvRect old_rect{};
  OrvSpriteInfo old_info{};
  orv.OrvSpriteGetRect(image.hSprite, &old_rect);
  orv.OrvSpriteGetInfo(image.hSprite, &old_info);
  drop_kept_source(vm, slot);
  slot.bTransQueued = 1;
  slot.hTransOut = image.hSprite;
  slot.nTransKind = transition_kind(type);
  slot.nTransTime = time;

  char field[32];
  graphic_name_field(name, field);
  GraphicInfo found{};
  char load[33] = {};
  std::memcpy(load, name, 32);
  // The old picture's priority holds its own step already; only a new record adds one.
  int32_t step = 0;
  if (graphic_dat.find(field, &found)) {
    step = found.priorityStep;
    std::memcpy(load, found.loadName, 32);
    image.graphicInfo = found;
  }
  const ScreenSize sc = screen_size();
  image.hSprite = 0;
  const uint32_t sprite =
      sprite_load_by_name_unlocked(vm, load, sc.w, sc.h, old_info.priority + 134 * step);
  if (!sprite) return 0;
  image.hSprite = sprite;
  slot.hTransIn = sprite;
  image_keep_file(image, file, load, name);
  orv.OrvSpriteSetRenderMode(sprite, old_info.render_mode);
  if (image.base.bRect) {
    const OrvRect rect{image.base.rect.left, image.base.rect.top, image.base.rect.right,
                       image.base.rect.bottom};
    orv.OrvSpriteSetRect(sprite, &rect);
  }
  // Keep the two pictures centred on each other.
  OrvRect new_rect{};
  orv.OrvSpriteGetRect(sprite, &new_rect);
  const int32_t dx = (new_rect.right - old_rect.right) >> 1;
  const int32_t dy = ((new_rect.bottom - new_rect.top) - (old_rect.bottom - old_rect.top)) >> 1;
  image.base.pos.x -= dx;
  image.base.pos.y -= dy;
  image.base.fPos.x -= static_cast<float>(dx);
  image.base.fPos.y -= static_cast<float>(dy);
  image_apply_transform(vm, image);
  image_apply_graphic_info(vm, image, image.graphicInfo,
                           image.dwAnimeNo ? ~kGraphicAnimation : 0xFFFFFFFFu);
  if (fades(vm)) {
    slot.dwTransState = kCrossFade;
    display_op_queue(vm, kOpTransition, layer);
  } else {
    display_op_queue(vm, kOpReleaseSprite, slot.hTransOut);
    slot.hTransOut = 0;
    slot.hTransIn = 0;
    slot.bTransQueued = 0;
    slot.dwTransState = 0;
    display_op_queue(vm, kOpShowSet, layer);
  }
  return 1;
}

uint32_t cmd_sp_cls_transition(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t type = as_int(vm_pop(vm));
  const int32_t time = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  LayerSlot& slot = vm.layers[layer];
  if (!slot.lpImage || slot.dwTransState == kFadeOut) return 1;
  if (!fades(vm)) {
    if (!layer_release(vm, slot)) vm_log(kLogMain, "sprite cls error [%d]", as_int(layer));
    vm_log(kLogHistory, "sp_cls_transition  %d, %d, %d", as_int(layer), type, time);
    return 1;
  }
  if (!layer_transition_handle(slot)) {
    vm_log(kLogMain, "sprite create transition handle error [cls]");
    return 0;
  }
  layer_transition_cancel(vm, slot);
  drop_kept_source(vm, slot);
  slot.dwTransState = kFadeOut;
  slot.bTransQueued = 1;
  slot.hTransIn = 0;
  slot.hTransOut = slot.lpImage->hSprite;
  slot.nTransKind = transition_kind(type);
  slot.nTransTime = time;
  slot.lpImage->hSprite = 0;  // the transition owns the picture now
  display_op_queue(vm, kOpClsTransition, layer);
  vm_log(kLogHistory, "sp_cls_transition  %d, %d, %d", as_int(layer), type, time);
  return 1;
}

uint32_t cmd_sp_copy_image(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  LayerSlot& slot = vm.layers[layer];
  if (slot.dwTransState) layer_transition_cancel(vm, slot);
  drop_kept_source(vm, slot);
  slot.bTransQueued = 1;
  if (slot.lpImage) {
    slot.hTransOut = slot.lpImage->hSprite;
    slot.lpImage->hSprite = 0;
  }
  vm_log(kLogHistory, "sp_copy_image %d", as_int(layer));
  return 1;
}

uint32_t cmd_sp_transition(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t type = as_int(vm_pop(vm));
  const int32_t time = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  LayerSlot& slot = vm.layers[layer];
  if (!layer_transition_handle(slot)) {
    vm_log(kLogMain, "sprite create transition handle error");
    return 0;
  }
  if (!slot.lpImage) return 1;
  slot.hTransIn = slot.lpImage->hSprite;
  slot.nTransTime = time;
  slot.nTransKind = transition_kind(type);
  if (fades(vm)) {
    slot.dwTransState = kCrossFade;
    display_op_queue(vm, kOpTransition, layer);
    vm_log(kLogHistory, "sp_transition %d, %d, %d", as_int(layer), type, time);
  } else {
    if (slot.hTransOut && slot.hTransOut != slot.hTransIn) {
      orv.OrvSpriteRelease(orv.OrvRenderGetActive(), slot.hTransOut);
    }
    slot.hTransOut = 0;
    slot.hTransIn = 0;
    slot.bTransQueued = 0;
    slot.dwTransState = 0;
    display_op_queue(vm, kOpShowSet, layer);
    vm_log(kLogHistory, "[skip]sp_transition %d, %d, %d", as_int(layer), type, time);
  }
  return 1;
}

constexpr engine::CommandEntry kEntries[] = {LAYER_TRANSITION_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList layer_transition_commands = engine::command_list(kEntries);

}  // namespace layers
