// The layer text commands (layer_text_command_list.h).
#include <cstring>

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/display_ops.h"
#include "graphics/layers/layer_args.h"
#include "graphics/layers/layer_commands.h"
#include "graphics/layers/layer_slots.h"
#include "graphics/layers/layer_text_command_list.h"
#include "graphics/layers/layer_text_items.h"
#include "text/render/text_render.h"
#include "text/window/text_settings.h"

namespace layers {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::vm_log;
using engine::vm_pop;
using engine::VmContext;

constexpr uint32_t kNoColour = 0xFFFFFFFFu;
// A text picture is stored as a transparent sprite of its size, and its lines drawn again.
constexpr char kTextPictureName[] = "#00000000";

struct TextArg {
  uint8_t buffer[4 + kTagTextMaxBytes + 1] = {};
  const char* text() const { return reinterpret_cast<const char*>(buffer + 4); }
};

TagText current_font_item(const char* text, int32_t x, int32_t y) {
  TagText t{};
  t.kind = 1;
  t.fontType = static_cast<uint32_t>(orv.OrvFontGetType());
  t.fontEffect = static_cast<uint32_t>(orv.OrvFontGetEffect());
  t.fontSize = static_cast<uint32_t>(orv.OrvFontGetFontSize());
  int32_t c1 = 0, c2 = 0;
  orv.OrvFontGetColor(&c1, &c2);
  t.colour = static_cast<uint32_t>(c1);
  t.colour2 = static_cast<uint32_t>(c2);
  t.x = x;
  t.y = y;
  t.text = text;
  return t;
}

uint32_t create_error(const char* text) {
  vm_log(kLogMain, "sp_text create error[%s]", text);
  return 0;
}

// An empty layer gets a sprite just large enough for the text.
uint32_t new_text_picture(VmContext& vm, uint32_t layer, const char* text, int32_t x, int32_t y,
                          int32_t z) {
  ImageRecord* image = image_alloc(kBaseLayer, layer);
  const uint32_t sprite = orv.OrvSpriteCreateText(orv.OrvRenderGetActive(), text,
                                                  layer_priority(vm, layer, 0), kNoColour);
  if (!sprite) {
    image_release_now(image);
    return create_error(text);
  }
  layer_text_items(layer).push_back(current_font_item(text, 0, 0));
  OrvSpriteInfo si{};
  orv.OrvSpriteGetInfo(sprite, &si);
  orv.OrvSpriteSetInfo(sprite, &si);
  image->hSprite = sprite;
  std::memcpy(image->szFileName, kTextPictureName, sizeof kTextPictureName);
  image->lFileNo = engine::kStringHandleBit;
  image->base.pos = {x, y, z};
  image->base.fPos = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
  image->base.rot = {static_cast<int32_t>(si.rotation_x), static_cast<int32_t>(si.rotation_y),
                     static_cast<int32_t>(si.rotation_z)};
  image->base.fRot = {si.rotation_x, si.rotation_y, si.rotation_z};
  image->base.scale = {si.scale_x, si.scale_y};
  image->base.dwColor = si.color;
  vm.layers[layer].lpImage = image;
  display_op_queue(vm, kOpShowText, layer);
  return 1;
}

uint32_t cmd_sp_text(VmContext& vm) {
  const uint32_t number = vm_pop(vm);
  const uint32_t ref = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  const int32_t z = as_int(vm_pop(vm));
  TextArg arg;
  engine::get_string_operand(vm, arg.buffer, ref, sizeof arg.buffer - 1);
  const char* text = arg.text();
  vm_log(kLogHistory, "sp_text  %d, %s, %d, %d, %d", as_int(number), text, x, y, z);
  if (number >= kLayers) {
    const ImageRecord* image = image_by_number(number);
    if (!image || !orv.OrvSpriteCreateTextEx(image->hSprite, text, x, y, kNoColour)) {
      return create_error(text);
    }
    return 1;
  }
  const ImageRecord* image = vm.layers[number].lpImage;
  if (!image) return new_text_picture(vm, number, text, x, y, z);
  if (!skipping_scene(vm) && !orv.OrvSpriteCreateTextEx(image->hSprite, text, x, y, kNoColour)) {
    return create_error(text);
  }
  layer_text_items(number).push_back(current_font_item(text, x, y));
  return 1;
}

uint32_t cmd_draw_text(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t ref = vm_pop(vm);
  int32_t x = as_int(vm_pop(vm));
  int32_t y = as_int(vm_pop(vm));
  const int32_t fifth = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  TextArg arg;
  engine::get_string_operand(vm, arg.buffer, ref, sizeof arg.buffer - 1);
  vm_log(kLogHistory, "draw_text  %d, %s, %d, %d, %d", as_int(layer), arg.text(), x, y, fifth);
  const uint32_t sprite = layer_sprite(vm, layer);
  if (!layer_image(vm, layer) || !sprite) return 1;
  OrvSpriteInfo si{};
  orv.OrvSpriteGetInfo(sprite, &si);
  OrvRect kept{};
  orv.OrvSpriteGetRect(sprite, &kept);
  const auto& tw = vm.text;
  textrender::draw_text_tagged(vm, engine::text_settings.render, sprite, arg.text(), &x, &y,
                               si.width, si.height, tw.nCharSize, tw.nRubySize, tw.dwColor,
                               tw.dwShadowColor, nullptr);
  orv.OrvSpriteSetRect(sprite, &kept);
  return 1;
}

constexpr engine::CommandEntry kEntries[] = {LAYER_TEXT_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList layer_text_commands = engine::command_list(kEntries);

}  // namespace layers
