// The image-file commands (image_file_command_list.h).
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/image_file_command_list.h"
#include "graphics/layers/layer_args.h"
#include "graphics/layers/layer_commands.h"
#include "graphics/layers/layer_slots.h"

namespace layers {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::vm_log;
using engine::vm_pop;
using engine::VmContext;

using SaveCall = OrvBool (*)(OrvHandle, const char*);

// The three saves: the layer's picture through call; what and report name the format.
uint32_t save_as(VmContext& vm, SaveCall OrvApi::*call, const char* what, bool log_range) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t ref = vm_pop(vm);
  if (layer >= kLayers) {
    if (!log_range) return 1;
    log_range_error(layer);
    return 0;
  }
  const uint32_t sprite = layer_sprite(vm, layer);
  if (!layer_image(vm, layer)) return 1;
  uint8_t path[260] = {};
  engine::get_string_operand(vm, path, ref, sizeof path);
  const char* name = reinterpret_cast<const char*>(path + 4);
  if ((orv.*call)(sprite, name)) {
    vm_log(kLogHistory, "Save %s %d, %s", what, as_int(layer), name);
  } else {
    vm_log(kLogMain, "Can't Save %s %d, %s", what, as_int(layer), name);
  }
  return 1;
}

uint32_t cmd_save_jpeg(VmContext& vm) {
  return save_as(vm, &OrvApi::OrvSpriteSaveTextureToFile, "Jpeg", false);
}
uint32_t cmd_save_png(VmContext& vm) {
  return save_as(vm, &OrvApi::OrvSpriteSaveTextureToPngFile, "Png", true);
}
uint32_t cmd_save_png24(VmContext& vm) {
  return save_as(vm, &OrvApi::OrvSpriteSaveTextureToPng24File, "Png24", true);
}

uint32_t cmd_load_file_texture(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t ref = vm_pop(vm);
  if (!layer_image(vm, layer)) return 1;
  uint8_t path[4096] = {};
  engine::get_string_operand(vm, path, ref, sizeof path);
  const char* name = reinterpret_cast<const char*>(path + 4);
  const bool done = orv.OrvSpriteLoadTextureToFile(layer_sprite(vm, layer), name) == 1;
  vm_log(kLogHistory, done ? "Load File %d, %s" : "Can't Load File %d, %s", as_int(layer), name);
  engine::vm_set_result(vm, done ? 1 : 0);
  return 1;
}

constexpr engine::CommandEntry kEntries[] = {IMAGE_FILE_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList image_file_commands = engine::command_list(kEntries);

}  // namespace layers
