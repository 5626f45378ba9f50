// Sprite effects, drawing options and questions on layers (layer_effect_command_list.h).
#include <cstdio>

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/layer_args.h"
#include "graphics/layers/layer_commands.h"
#include "graphics/layers/layer_effect_command_list.h"
#include "graphics/layers/layer_slots.h"

namespace layers {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::vm_log;
using engine::vm_pop;
using engine::vm_set_result;
using engine::VmContext;

template <size_t N>
void pop_all(VmContext& vm, uint32_t (&v)[N]) {
  for (uint32_t& value : v) value = vm_pop(vm);
}

// "NAME v1, v2, ..." at key 10.
void log_values(const char* name, const uint32_t* v, size_t n) {
  char line[256];
  int used = std::snprintf(line, sizeof line, "%s ", name);
  for (size_t i = 0; i < n && used > 0 && static_cast<size_t>(used) < sizeof line; ++i) {
    used += std::snprintf(line + used, sizeof line - static_cast<size_t>(used), "%s%d",
                          i ? ", " : "", as_int(v[i]));
  }
  vm_log(kLogHistory, "%s", line);
}

uint32_t cmd_sp_stretchblt(VmContext& vm) {
  uint32_t v[12];
  pop_all(vm, v);
  if (!layer_in_range(v[0]) || !layer_in_range(v[5])) return 0;
  if (v[11] != 0xFFFFFFFFu && !number_in_range(v[11], 8)) return 0;
  const uint32_t dst = layer_sprite(vm, v[0]), src = layer_sprite(vm, v[5]);
  if (layer_image(vm, v[0]) && layer_image(vm, v[5])) {
    orv.OrvSpriteStretchBlt(dst, as_int(v[1]), as_int(v[2]), as_int(v[3]), as_int(v[4]), src,
                            as_int(v[6]), as_int(v[7]), as_int(v[8]), as_int(v[9]));
  }
  log_values("sp_stretchblt", v, 11);
  return 1;
}

uint32_t cmd_sp_apply_alpha_mask(VmContext& vm) {
  uint32_t v[10];
  pop_all(vm, v);
  if (!layer_in_range(v[0]) || !layer_in_range(v[5])) return 0;
  if (layer_image(vm, v[0]) && layer_image(vm, v[5])) {
    orv.OrvSpriteApplyAlphaMask(layer_sprite(vm, v[0]), as_int(v[1]), as_int(v[2]), as_int(v[3]),
                                as_int(v[4]), layer_sprite(vm, v[5]), as_int(v[6]), as_int(v[7]),
                                as_int(v[8]), as_int(v[9]));
  }
  log_values("sp_apply_alpha_mask", v, 10);
  return 1;
}

uint32_t cmd_sp_displacement_map(VmContext& vm) {
  uint32_t v[15];
  pop_all(vm, v);
  if (!layer_in_range(v[0]) || !layer_in_range(v[5]) || !layer_in_range(v[10])) return 0;
  if (layer_image(vm, v[0]) && layer_image(vm, v[5]) && layer_image(vm, v[10])) {
    orv.OrvSpriteDisplacementMap(layer_sprite(vm, v[0]), as_int(v[1]), as_int(v[2]), as_int(v[3]),
                                 as_int(v[4]), layer_sprite(vm, v[5]), as_int(v[6]), as_int(v[7]),
                                 as_int(v[8]), as_int(v[9]), layer_sprite(vm, v[10]), as_int(v[11]),
                                 as_int(v[12]), as_int(v[13]), as_int(v[14]));
  }
  log_values("sp_displacement_map", v, 15);
  return 1;
}

uint32_t cmd_sp_swirl_blur(VmContext& vm) {
  uint32_t v[8];
  pop_all(vm, v);
  if (!layer_image(vm, v[0]) || !layer_image(vm, v[1])) return 1;
  const OrvRect region{as_int(v[2]), as_int(v[3]), as_int(v[2]) + as_int(v[4]),
                       as_int(v[3]) + as_int(v[5])};
  orv.OrvSpriteSwirlBlur(layer_sprite(vm, v[0]), layer_sprite(vm, v[1]), &region,
                         static_cast<float>(as_int(v[6])) / 10000.0f,
                         static_cast<float>(as_int(v[7])) / 10000.0f);
  return 1;
}

uint32_t cmd_sp_wall_sprite_effect(VmContext& vm) {
  uint32_t v[6];
  pop_all(vm, v);
  if (!layer_image(vm, v[0]) || !layer_image(vm, v[1])) {
    vm_log(kLogMain, "error: sp_wall_sprite_effect(%d, %d, %d, %d, %d)", as_int(v[0]), as_int(v[1]),
           as_int(v[2]), as_int(v[3]), as_int(v[4]));
    return 0;
  }
  const uint32_t dst = layer_sprite(vm, v[0]), src = layer_sprite(vm, v[1]);
  if (!dst || !src) {
    vm_log(kLogMain, "error: sprite null , sp_wall_sprite_effect(%d, %d, %d, %d, %d)", as_int(v[0]),
           as_int(v[1]), as_int(v[2]), as_int(v[3]), as_int(v[4]));
    return 0;
  }
  orv.OrvSpriteWallSpringEffect(dst, src, as_int(v[2]), as_int(v[3]),
                                static_cast<float>(as_int(v[4])) / 1000.0f,
                                static_cast<float>(as_int(v[5])) / 1000.0f);
  return 1;
}

// ---- drawing options ----

// Changes the sprite info of layer n's picture through edit; nothing for an empty layer.
template <class Edit>
uint32_t edit_sprite_info(uint32_t layer, Edit edit) {
  if (!layer_in_range(layer)) return 0;
  const ImageRecord* image = image_by_number(layer);
  if (!image || !image->hSprite) return 1;
  OrvSpriteInfo si{};
  if (!orv.OrvSpriteGetInfo(image->hSprite, &si)) return 1;
  edit(si);
  orv.OrvSpriteSetInfo(image->hSprite, &si);
  return 1;
}

uint32_t cmd_sp_set_address_uv(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t mode = as_int(vm_pop(vm));
  return edit_sprite_info(layer, [&](OrvSpriteInfo& si) { si.address_mode = mode; });
}

uint32_t cmd_sp_set_rotate_3d(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t a = as_int(vm_pop(vm));
  const int32_t b = as_int(vm_pop(vm));
  return edit_sprite_info(layer, [&](OrvSpriteInfo& si) {
    si.skew_x = static_cast<float>(a);
    si.skew_y = static_cast<float>(b);
  });
}

uint32_t cmd_sp_set_perspective(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t flag = as_int(vm_pop(vm));
  return edit_sprite_info(layer, [&](OrvSpriteInfo& si) { si.perspective = flag; });
}

uint32_t cmd_sp_set_rotate_resolution(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t units = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  if (!layer_image(vm, layer)) {
    vm_log(kLogMain, "error: sp_set_rotate_resolution(%d, %d)", as_int(layer), units);
    return 0;
  }
  orv.OrvSpriteSetRotateResolution(layer_sprite(vm, layer), units);
  return 1;
}

uint32_t cmd_sp_set_scale_xy(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  if (ImageRecord* image = layer_image(vm, layer)) {
    image->base.scale = {static_cast<float>(x) / 100.0f, static_cast<float>(y) / 100.0f};
    image->base.scaleOfs = {0.0f, 0.0f};
  }
  vm_log(kLogHistory, "sp_set_scale_xy  %d, %d", as_int(layer), x);
  return 1;
}

// ---- questions ----

uint32_t cmd_sp_text_get_size(VmContext& vm) {
  const uint32_t ref = vm_pop(vm);
  uint8_t buffer[4 + 260] = {};
  engine::get_string_operand(vm, buffer, ref, sizeof buffer);
  const char* text = reinterpret_cast<const char*>(buffer + 4);
  int32_t size[2] = {};
  orv.OrvFontGetSize(text, size);
  const uint32_t w = static_cast<uint32_t>(size[0]), h = static_cast<uint32_t>(size[1]);
  const uint32_t value = (h << 16) ^ (w & 0xFFFF);
  vm_log(kLogHistory, "sp_text_get_size  %s, (w=%d [%08X], h=%d [%08X]) / ret=&H%08X", text,
         as_int(w), w, as_int(h), h, value);
  vm_set_result(vm, value);
  return 1;
}

uint32_t cmd_sp_get_show(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  int32_t shown = 0;
  if (const uint32_t sprite = layer_sprite(vm, layer)) {
    OrvSpriteInfo si{};
    orv.OrvSpriteGetInfo(sprite, &si);
    shown = si.visible;
  }
  vm_log(kLogHistory, "sp_get_show %d => %d", as_int(layer), shown);
  vm_set_result(vm, static_cast<uint32_t>(shown));
  return 1;
}

uint32_t cmd_sp_get_rect(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const uint32_t var = vm_pop(vm);
  const ImageRecord* image = image_by_number(number);
  if (!image || var > engine::kTempMemoryCells - 4) return 0;
  OrvRect r{};
  if (image->hSprite) orv.OrvSpriteGetRect(image->hSprite, &r);
  vm.tempMem[var] = static_cast<uint32_t>(r.left);
  vm.tempMem[var + 1] = static_cast<uint32_t>(r.top);
  vm.tempMem[var + 2] = static_cast<uint32_t>(r.right);
  vm.tempMem[var + 3] = static_cast<uint32_t>(r.bottom);
  vm_log(kLogHistory, "sp_get_rect  %d, %d => %d, %d, %d, %d", as_int(number), as_int(var), r.left,
         r.top, r.right, r.bottom);
  return 1;
}

uint32_t cmd_sp_get_child_pos(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const uint32_t var = vm_pop(vm);
  if (var > engine::kTempMemoryCells - 2) return 0;
  vm.tempMem[var] = vm.tempMem[var + 1] = 0;
  const ImageRecord* image = image_by_number(number);
  if (!image) return 0;
  vm.tempMem[var] = static_cast<uint32_t>(image->base.posOfs.x);
  vm.tempMem[var + 1] = static_cast<uint32_t>(image->base.posOfs.y);
  return 1;
}

uint32_t scale_of(VmContext& vm, int axis, const char* name) {
  const uint32_t number = vm_pop(vm);
  const ImageRecord* image = image_by_number(number);
  if (!image) {
    vm_log(kLogMain, "not image : %s %d", name, as_int(number));
    vm_set_result(vm, 0xFFFFFFFFu);
    return 1;
  }
  vm_set_result(vm, static_cast<uint32_t>(image_scale_percent(*image, axis)));
  return 1;
}
uint32_t cmd_sp_get_scale_x(VmContext& vm) {
  return scale_of(vm, 0, "sp_get_scale_x");
}
uint32_t cmd_sp_get_scale_y(VmContext& vm) {
  return scale_of(vm, 1, "sp_get_scale_y");
}

constexpr engine::CommandEntry kEntries[] = {LAYER_EFFECT_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList layer_effect_commands = engine::command_list(kEntries);

}  // namespace layers
