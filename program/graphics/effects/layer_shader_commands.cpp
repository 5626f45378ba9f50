// The layer shader-effect commands (layer_shader_command_list.h).
#include "engine/interpreter.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/effects/layer_shader_command_list.h"
#include "graphics/effects/layer_shader_pool.h"
#include "graphics/layers/image_record.h"

namespace layers {
namespace {

using engine::kLogHistory;
using engine::vm_log;
using engine::vm_pop;
using engine::VmContext;

constexpr uint32_t kPerSprite = 0x0FFFFFFF;
constexpr uint32_t kReverse = 2;

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

uint32_t cmd_fx_effect_cls(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  vm_log(kLogHistory, "fx_effect_cls %d", as_int(layer));
  if (layer >= 128) return 1;
  shader_effect_node_release(vm, vm.layers[layer].lpEffectNode);
  vm.layers[layer].lpEffectNode = nullptr;
  return 1;
}

uint32_t cmd_fx_raster_stop(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t time = vm_pop(vm);
  vm_log(kLogHistory, "fx_raster_stop %d, %d", as_int(layer), as_int(time));
  if (layer >= 128 || !vm.layers[layer].lpEffectNode) return 1;
  auto* node = static_cast<FxEffectNode*>(vm.layers[layer].lpEffectNode);
  node->dwState = kShaderReleasing;
  if (vm.layers[layer].lpImage) {
    orv.OrvSetFxEffect(&vm.layers[layer].lpImage->hSprite, kShaderRaster, kReverse, time, nullptr);
  }
  return 1;
}

uint32_t cmd_fx_effect_wait(VmContext& vm) {
  ShaderEffectPool& pool = shader_effect_pool;
  if (!pool.bWaiting) {
    pool.bWaiting = 1;
    pool.nWaitLayer = as_int(vm_pop(vm));
    vm_log(kLogHistory, "fx_effect_wait %d", pool.nWaitLayer);
  }
  const uint32_t layer = static_cast<uint32_t>(pool.nWaitLayer);
  const layers::ImageRecord* image = layer < 128 ? vm.layers[layer].lpImage : nullptr;
  if (!image || engine::get_skip_state(vm) != 0 ||
      orv.OrvGetFxEffectState(&image->hSprite, kPerSprite) == 0) {
    pool.bWaiting = 0;
    return 1;
  }
  engine::script_retry_call(vm);
  vm.runner.bYield = 1;
  return 1;
}

uint32_t start(VmContext& vm, uint32_t kind, const char* format) {
  const uint32_t layer = vm_pop(vm);
  int32_t params[3];
  for (int32_t& p : params) p = as_int(vm_pop(vm));
  vm_log(kLogHistory, format, as_int(layer), params[0], params[1], params[2]);
  shader_effect_start(vm, layer, kind, params);
  return 1;
}
uint32_t cmd_fx_raster_start(VmContext& vm) {
  return start(vm, kShaderRaster, "fx_raster_start %d, %d, %d, %d");
}
uint32_t cmd_fx_effect_radial_blur(VmContext& vm) {
  return start(vm, kShaderRadialBlur, "fx_effect_radial_blur %d, %d, %d, %d");
}

constexpr engine::CommandEntry kEntries[] = {LAYER_SHADER_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList layer_shader_commands = engine::command_list(kEntries);

}  // namespace layers
