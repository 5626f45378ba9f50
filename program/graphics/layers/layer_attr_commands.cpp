// The layer attribute and query commands (layer_attr_command_list.h).
#include <cstring>

#include "engine/formats/startup_info.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/layer_args.h"
#include "graphics/layers/layer_attr_command_list.h"
#include "graphics/layers/layer_commands.h"
#include "graphics/layers/layer_filters.h"
#include "graphics/layers/layer_layout.h"
#include "graphics/layers/layer_slots.h"

namespace layers {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::LayerSlot;
using engine::vm_log;
using engine::vm_pop;
using engine::vm_set_result;
using engine::VmContext;

constexpr uint32_t kLayerLocked = 0x1000000;
constexpr uint32_t kEndless = 0xFFFFFFFFu;

void set_pos(ImageRecord& image, int32_t x, int32_t y, int32_t z) {
  image.base.pos = {x, y, z};
  image.base.fPos = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

LayoutGrid layout_grid() {
  return engine::startup_settings().bLayoutGrid ? LayoutGrid::kTwentyColumns
                                                : LayoutGrid::kEightColumns;
}

// ---- setters ----

uint32_t cmd_sp_set_pos(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t code = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  if (ImageRecord* image = layer_image(vm, layer)) {
    OrvSpriteInfo si{};
    orv.OrvSpriteGetInfo(image->hSprite, &si);
    const ScreenSize sc = screen_size();
    const LayoutGrid grid = layout_grid();
    image->base.pos.x = layout_x(grid, code, sc.w, si.width);
    image->base.pos.y = layout_y(2, sc.h, si.height);
    image->base.fPos.x = layout_x_float(grid, code, sc.w, si.width);
    image->base.fPos.y = layout_y_float(2, sc.h, si.height);
  }
  vm_log(kLogHistory, "sp_set_pos %d, %d", as_int(layer), code);
  return 1;
}

uint32_t cmd_sp_set_pos_ex(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  const int32_t z = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  if (ImageRecord* image = layer_image(vm, layer)) set_pos(*image, x, y, z);
  vm_log(kLogHistory, "sp_set_pos_ex %d, %d, %d, %d", as_int(layer), x, y, z);
  return 1;
}

uint32_t cmd_sp_set_pos_move(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const int32_t dx = as_int(vm_pop(vm));
  const int32_t dy = as_int(vm_pop(vm));
  const int32_t dz = as_int(vm_pop(vm));
  if (ImageRecord* image = image_by_number(number)) {
    image->base.pos.x += dx;
    image->base.pos.y += dy;
    image->base.pos.z += dz;
    image->base.fPos.x += static_cast<float>(dx);
    image->base.fPos.y += static_cast<float>(dy);
    image->base.fPos.z += static_cast<float>(dz);
  }
  vm_log(kLogHistory, "sp_set_pos_move  %d, %d, %d, %d", as_int(number), dx, dy, dz);
  return 1;
}

uint32_t cmd_sp_set_child_pos(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  ImageRecord* image = image_by_number(number);
  if (!image) return 0;
  image->base.posOfs.x = x;
  image->base.posOfs.y = y;
  image->base.fPosOfs.x = static_cast<float>(x);
  image->base.fPosOfs.y = static_cast<float>(y);
  return 1;
}

uint32_t cmd_sp_set_scale(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const int32_t percent = as_int(vm_pop(vm));
  if (ImageRecord* image = image_by_number(number)) {
    const float s = static_cast<float>(percent) / 100.0f;
    image->base.scale = {s, s};
    image->base.scaleOfs = {0.0f, 0.0f};
  }
  vm_log(kLogHistory, "sp_set_scale  %d, %d", as_int(number), percent);
  return 1;
}

uint32_t cmd_sp_set_rotate(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  const int32_t z = as_int(vm_pop(vm));
  if (ImageRecord* image = image_by_number(number)) {
    image->base.rot = {x, y, z};
    image->base.fRot = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
    image->base.rotOfs = {0, 0, 0};
    image->base.fRotOfs = {0.0f, 0.0f, 0.0f};
  }
  vm_log(kLogHistory, "sp_set_rotate  %d, %d, %d, %d", as_int(number), x, y, z);
  return 1;
}

uint32_t cmd_sp_set_color(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const uint32_t colour = vm_pop(vm);
  if (ImageRecord* image = image_by_number(number)) {
    image->base.dwColor = (image->base.dwColor & 0xFF000000u) | colour;
    image->base.colorOfs.a = 0;
  }
  vm_log(kLogHistory, "sp_set_color  %d, 0x%08X", as_int(number), colour);
  return 1;
}

uint32_t cmd_sp_set_alpha(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const uint32_t alpha = vm_pop(vm);
  if (ImageRecord* image = image_by_number(number)) {
    image->base.dwColor = (image->base.dwColor & 0x00FFFFFFu) | (alpha & 0xFF) << 24;
    image->base.colorOfs.a = 0;
  }
  vm_log(kLogHistory, number >= 4096 ? "sp_set_alpha  0x%x, %d" : "sp_set_alpha  %d, %d",
         as_int(number), as_int(alpha));
  return 1;
}

uint32_t cmd_sp_set_rect(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  RectI r;
  r.left = as_int(vm_pop(vm));
  r.top = as_int(vm_pop(vm));
  r.right = as_int(vm_pop(vm));
  r.bottom = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  if (ImageRecord* image = layer_image(vm, layer)) {
    image->base.rect = r;
    image->base.bRect = 1;
  }
  vm_log(kLogHistory, "sp_set_rect  %d, %d, %d, %d, %d", as_int(layer), r.left, r.top, r.right,
         r.bottom);
  return 1;
}

uint32_t cmd_sp_set_rect_pos(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t column = as_int(vm_pop(vm));
  const int32_t row = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  if (ImageRecord* image = layer_image(vm, layer)) {
    image->base.bRect = 1;
    orv.OrvSpriteRectSetPos(image->hSprite, column, row);
    OrvRect rect{};
    orv.OrvSpriteGetRect(image->hSprite, &rect);
    image->base.rect = {rect.left, rect.top, rect.right, rect.bottom};
  }
  vm_log(kLogHistory, "sp_set_rect_pos %d, %d, %d", as_int(layer), column, row);
  return 1;
}

uint32_t cmd_sp_set_center(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const int32_t cx = as_int(vm_pop(vm));
  const int32_t cy = as_int(vm_pop(vm));
  if (const ImageRecord* image = image_by_number(number); image && image->hSprite) {
    orv.OrvSpriteSetCenterOffset(image->hSprite, cx, cy);
  }
  vm_log(kLogHistory, "sp_set_center  %d, %d, %d", as_int(number), cx, cy);
  return 1;
}

uint32_t cmd_sp_set_render_mode(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t mode = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  if (const uint32_t sprite = layer_sprite(vm, layer)) orv.OrvSpriteSetRenderMode(sprite, mode + 1);
  return 1;
}

uint32_t cmd_set_filter(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  int32_t index = as_int(vm_pop(vm));
  if (layer != 0xFFFFFFFFu && !layer_in_range(layer)) return 0;
  if (index < 0 || index >= static_cast<int32_t>(kFilterCount)) index = 0;
  const int32_t option = filter_option(index);
  const bool skipping = skipping_scene(vm);
  auto apply = [&](LayerSlot& slot) {
    if (!skipping && slot.lpImage) orv.OrvSpriteSetOption(slot.lpImage->hSprite, option);
    // Option 0 forgets every flag of the layer; a background load still pending keeps its
    // mark, so that a release goes on waiting for it.
    if (option == 0) {
      slot.dwFlags &= kLayerAsyncLoad;
    } else {
      slot.dwFlags |= 1u << index;
    }
  };
  if (layer == 0xFFFFFFFFu) {
    for (LayerSlot& slot : vm.layers) {
      if (slot.lpImage) apply(slot);
    }
  } else {
    apply(vm.layers[layer]);
  }
  vm_log(kLogHistory, "set_filter  %d, %d", as_int(layer), index);
  return 1;
}

uint32_t cmd_sp_set_shake(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t mode = as_int(vm_pop(vm));
  const int32_t amplitude = as_int(vm_pop(vm));
  const uint32_t duration = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  LayerSlot& slot = vm.layers[layer];
  if (!slot.lpImage) return 1;
  vm_log(kLogHistory, "sp_set_shake %d, %d, %d, %d", as_int(layer), mode, amplitude,
         as_int(duration));
  if (duration == 0) {
    slot.nShakeMode = slot.nShakeAmplitude = 0;
    slot.dwShakeLength = slot.dwShakeStart = 0;
    slot.dwFlags &= ~kLayerShake;
    slot.lpImage->frame.shakeX = slot.lpImage->frame.shakeY = 0;
    return 1;
  }
  if (duration != kEndless) {
    const bool effects_on = !orv.OrvEffectEnableIs || orv.OrvEffectEnableIs();
    if (!effects_on || engine::get_skip_state(vm)) return 1;
  }
  slot.nShakeMode = mode;
  slot.nShakeAmplitude = amplitude ? amplitude : 1;
  slot.dwShakeLength = duration;
  slot.dwShakeStart = orv.OrvtimeGetTime();
  slot.dwFlags |= kLayerShake;
  return 1;
}

int16_t channel_minus_255(uint32_t colour, int shift) {
  return static_cast<int16_t>(static_cast<int32_t>((colour >> shift) & 0xFF) - 255);
}

uint32_t cmd_sp_set_child(VmContext& vm) {
  const uint32_t parent = vm_pop(vm);
  const uint32_t child = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  const uint32_t entry = vm_pop(vm);
  if (!layer_in_range(parent)) return 0;
  if (child != 0xFFFFFFFFu && !layer_in_range(child)) return 0;
  // Eight entries: a number outside them would write past the layer's records.
  if (!number_in_range(entry, 8)) return 0;
  LayerSlot& p = vm.layers[parent];
  vm_log(kLogHistory, "sp_set_child %d, %d, %d, %d, %d", as_int(parent), as_int(child), x, y,
         as_int(entry));
  if (!p.lpImage) return 1;
  uint32_t* words = p.graphChild[entry];
  if (child == 0xFFFFFFFFu) {
    words[0] = 0;
    words[1] = 0xFFFFFFFFu;
    bool any = false;
    for (const auto& e : p.graphChild) any = any || e[0] != 0;
    if (!any) p.dwFlags &= ~kLayerChildren;
    return 1;
  }
  if (ImageRecord* c = vm.layers[child].lpImage) {
    const BaseTransform& pb = p.lpImage->base;
    BaseTransform& cb = c->base;
    cb.scaleOfs.x = cb.scale.x * pb.scale.x - pb.scale.x;
    cb.scaleOfs.y = cb.scale.y * pb.scale.y - pb.scale.y;
    cb.rotOfs = {cb.rot.x - pb.rot.x, cb.rot.y - pb.rot.y, cb.rot.z - pb.rot.z};
    cb.fRotOfs = {cb.fRot.x - pb.fRot.x, cb.fRot.y - pb.fRot.y, cb.fRot.z - pb.fRot.z};
    cb.colorOfs = {channel_minus_255(cb.dwColor, 24), channel_minus_255(cb.dwColor, 16),
                   channel_minus_255(cb.dwColor, 8), channel_minus_255(cb.dwColor, 0)};
    cb.posOfs.x = x;
    cb.posOfs.y = y;
    cb.fPosOfs.x = static_cast<float>(x);
    cb.fPosOfs.y = static_cast<float>(y);
  }
  words[0] |= kChildLink;
  words[1] = child;
  p.dwFlags |= kLayerChildren;
  return 1;
}

uint32_t cmd_set_priority(VmContext& vm) {
  const int32_t n = as_int(vm_pop(vm));
  const int64_t base = static_cast<int32_t>(vm.run.dwSpritePriorityBase);
  vm_log(kLogHistory, "set_priority %d", n);
  if (5000 - base + 134 * int64_t{n} < 0) {
    vm_log(kLogMain,
           "set_priority\x82\xC5\x88\xEA\x94\xD4\x8E\xE8\x91\x4F\x82\xC9\x90\xDD\x92\xE8\x82\xB3"
           "\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7");
    return 0;
  }
  vm.run.dwSpritePriorityBase = static_cast<uint32_t>(base + 134 * int64_t{n});
  return 1;
}

uint32_t cmd_set_aspect_position_type(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const uint32_t type = vm_pop(vm);
  const int32_t index = decode_image_no(number);
  ImageRecord* image = image_record_at(index);
  // The platform knows the types 0-4 only.
  if (image && type <= 4) image->base.dwAspectType = type;
  vm_log(kLogHistory, "set_aspect_position_type %d, %d", index, as_int(type));
  return 1;
}

uint32_t lock_or_unlock(VmContext& vm, bool lock) {
  const uint32_t layer = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  LayerSlot& slot = vm.layers[layer];
  if (slot.lpImage) {
    if (lock) {
      slot.dwFlags |= kLayerLocked;
    } else {
      slot.dwFlags &= ~kLayerLocked;
    }
    vm_log(kLogHistory, lock ? "sp_lock %d" : "sp_unlock %d", as_int(layer));
  }
  return 1;
}
uint32_t cmd_sp_lock(VmContext& vm) {
  return lock_or_unlock(vm, true);
}
uint32_t cmd_sp_unlock(VmContext& vm) {
  return lock_or_unlock(vm, false);
}

uint32_t cmd_sp_set_user_value(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t value = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  vm.layers[layer].nUserValue = value;
  return 1;
}

// ---- getters ----

// The record of an image number for a getter: null after "not image : NAME %d".
const ImageRecord* getter_image(VmContext& vm, uint32_t number, const char* name) {
  const ImageRecord* image = image_by_number(number);
  if (!image) {
    vm_log(kLogMain, "not image : %s %d", name, as_int(number));
    vm_set_result(vm, 0xFFFFFFFFu);
  }
  return image;
}

uint32_t cmd_sp_get_pos(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const uint32_t vars[3] = {vm_pop(vm), vm_pop(vm), vm_pop(vm)};
  const ImageRecord* image = image_by_number(number);
  if (!image) return 1;
  const Vec3i p = image_effective_pos(*image);
  const int32_t values[3] = {p.x, p.y, p.z};
  for (int i = 0; i < 3; ++i) {
    if (vars[i] < engine::kTempMemoryCells) vm.tempMem[vars[i]] = static_cast<uint32_t>(values[i]);
  }
  return 1;
}

uint32_t cmd_sp_get_scale(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  if (const ImageRecord* image = getter_image(vm, number, "sp_get_scale")) {
    vm_set_result(vm, static_cast<uint32_t>(image_scale_percent(*image, 0)));
  }
  return 1;
}

uint32_t cmd_sp_get_rotate(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const uint32_t axis = vm_pop(vm);
  const ImageRecord* image = getter_image(vm, number, "sp_get_rotate");
  if (!image) return 1;
  // An axis outside 0-2 reads z.
  const BaseTransform& b = image->base;
  const int32_t value = axis == 0   ? b.rot.x + b.rotOfs.x
                        : axis == 1 ? b.rot.y + b.rotOfs.y
                                    : b.rot.z + b.rotOfs.z;
  static const char* const kFormats[] = {"sp_get_rotate [x] %d, %d", "sp_get_rotate [y] %d, %d",
                                         "sp_get_rotate [z] %d, %d"};
  vm_log(kLogHistory, kFormats[axis < 2 ? axis : 2], as_int(number), value);
  vm_set_result(vm, static_cast<uint32_t>(value));
  return 1;
}

uint32_t cmd_sp_get_color(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  if (const ImageRecord* image = getter_image(vm, number, "sp_get_color")) {
    const uint32_t colour = image->base.dwColor & 0xFFFFFFu;
    vm_log(kLogHistory, "[0x%08X]sp_get_color %d", colour, as_int(number));
    vm_set_result(vm, colour);
  }
  return 1;
}

uint32_t cmd_sp_get_alpha(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  if (const ImageRecord* image = getter_image(vm, number, "sp_get_alpha")) {
    const uint32_t alpha = image->base.dwColor >> 24;
    vm_log(kLogHistory, "sp_get_alpha %d, %d", as_int(number), as_int(alpha));
    vm_set_result(vm, alpha);
  }
  return 1;
}

uint32_t cell_size(VmContext& vm, bool width) {
  const uint32_t number = vm_pop(vm);
  const ImageRecord* image = image_by_number(number);
  if (!image) {
    vm_set_result(vm, 0xFFFFFFFFu);
    return 1;
  }
  OrvSpriteInfo si{};
  if (image->hSprite) orv.OrvSpriteGetInfo(image->hSprite, &si);
  vm_set_result(vm, static_cast<uint32_t>(width ? si.cell_width : si.cell_height));
  return 1;
}
uint32_t cmd_sp_get_width(VmContext& vm) {
  return cell_size(vm, true);
}
uint32_t cmd_sp_get_height(VmContext& vm) {
  return cell_size(vm, false);
}

uint32_t cmd_get_filename(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const uint32_t slot = vm_pop(vm);
  const ImageRecord* image = getter_image(vm, number, "get_filename");
  if (!image) return 1;
  char name[33] = {};
  image_get_file_name(vm, number, name);
  if ((slot & 0xF0000000u) == engine::kStringHandleBit && image->lFileNo) {
    char* text = engine::AdvGetVarString(vm, slot & 0x0FFFFFFFu);
    std::memcpy(text, name, sizeof name);
  }
  vm_set_result(vm, image->lFileNo);
  return 1;
}

uint32_t cmd_is_sp(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  if (number == 0xFFFFFFFFu) {
    vm_log(kLogMain, "error paramater is_sp %d", as_int(number));
    vm_set_result(vm, 0);
    return 0;
  }
  uint32_t has = 0;
  if (number < kLayers) {
    has = vm.layers[number].lpImage ? 1 : 0;
    vm_log(kLogHistory, "[%d]is_sp %d", as_int(has), as_int(number));
  } else {
    const ImageRecord* image = image_by_number(number);
    has = image && image->hSprite ? 1 : 0;
    vm_log(kLogHistory, "[%d]is_sp %x", as_int(has), number);
  }
  vm_set_result(vm, has);
  return 1;
}

uint32_t cmd_sp_get_user_value(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  vm_set_result(vm, static_cast<uint32_t>(vm.layers[layer].nUserValue));
  return 1;
}

uint32_t cmd_get_priority(VmContext& vm) {
  vm_set_result(vm, vm.run.dwSpritePriorityBase);
  return 1;
}

constexpr engine::CommandEntry kEntries[] = {LAYER_ATTR_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList layer_attr_commands = engine::command_list(kEntries);

}  // namespace layers
