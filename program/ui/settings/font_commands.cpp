#include <string>

#include "commands/command_util.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "ui/settings/player_settings.h"
#include "ui/settings/settings_command_list.h"

namespace ui {

using engine::VmContext;

namespace {

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

// The platform's font words are 16-bit fields in a wider result.
uint32_t low_half(int32_t v) {
  return static_cast<uint32_t>(v) & 0xFFFF;
}

// A font word as the result, logged as "[%d] name".
uint32_t font_word_result(VmContext& vm, int32_t word, const char* name) {
  const uint32_t value = low_half(word);
  engine::vm_set_result(vm, value);
  engine::vm_log(engine::kLogHistory, "[%d] %s", as_int(value), name);
  return 1;
}

}  // namespace

uint32_t cmd_load_font(VmContext& vm) {
  const std::string name =
      font_name_with_extension(resolve_file_name(vm, engine::vm_pop(vm), true));
  orv.OrvFontLoad(name.c_str());
  engine::vm_log(engine::kLogHistory, "load_font %s", name.c_str());
  return 1;
}

uint32_t cmd_unload_font(VmContext&) {
  orv.OrvFontUnload();
  engine::vm_log(engine::kLogHistory, "unload_font");
  return 1;
}

uint32_t cmd_set_font_type(VmContext& vm) {
  const int32_t type = as_int(engine::vm_pop(vm));
  orv.OrvFontSetType(type);
  engine::vm_log(engine::kLogHistory, "set_font_type %d", type);
  return 1;
}

uint32_t cmd_set_font_color(VmContext& vm) {
  const uint32_t colour = engine::vm_pop(vm);
  const uint32_t shadow = engine::vm_pop(vm);
  orv.OrvFontSetColor(colour, shadow);
  engine::vm_log(engine::kLogHistory, "set_font_color %d, %d", as_int(colour), as_int(shadow));
  return 1;
}

uint32_t cmd_load_font_ex(VmContext& vm) {
  const std::string name = resolve_file_name(vm, engine::vm_pop(vm), true) + ".tga";
  orv.OrvExFontUnload();
  orv.OrvExFontLoad(name.c_str());
  engine::vm_log(engine::kLogHistory, "load_font_ex %s", name.c_str());
  return 1;
}

uint32_t cmd_set_font_size(VmContext& vm) {
  const int32_t size = as_int(engine::vm_pop(vm));
  engine::vm_set_result(vm, low_half(orv.OrvFontGetFontSize()));
  orv.OrvFontSetFontSize(size);
  engine::vm_log(engine::kLogHistory, "set_font_size %d", size);
  return 1;
}

uint32_t cmd_get_font_size(VmContext& vm) {
  return font_word_result(vm, orv.OrvFontGetFontSize(), "get_font_size");
}

uint32_t cmd_get_font_type(VmContext& vm) {
  return font_word_result(vm, orv.OrvFontGetType(), "get_font_type");
}

uint32_t cmd_set_font_effect(VmContext& vm) {
  const int32_t effect = as_int(engine::vm_pop(vm));
  orv.OrvFontSetEffect(effect);
  engine::vm_log(engine::kLogHistory, "set_font_effect %d", effect);
  return 1;
}

uint32_t cmd_get_font_effect(VmContext& vm) {
  return font_word_result(vm, orv.OrvFontGetEffect(), "get_font_effect");
}

uint32_t cmd_get_font_color(VmContext& vm) {
  const uint32_t which = engine::vm_pop(vm);
  int32_t colour = 0, shadow = 0;
  orv.OrvFontGetColor(&colour, &shadow);
  const int32_t result = which == 0 ? colour : shadow;
  engine::vm_set_result(vm, static_cast<uint32_t>(result));
  engine::vm_log(engine::kLogHistory, "get_font_color %d", result);
  return 1;
}

uint32_t cmd_set_font_mem_type(VmContext& vm) {
  const int32_t slot = as_int(engine::vm_pop(vm));
  const uint32_t file = engine::vm_pop(vm);
  const uint32_t text_ref = engine::vm_pop(vm);
  const int32_t n = as_int(engine::vm_pop(vm));
  const std::string name = resolve_file_name(vm, file, true);
  const std::string text = engine::fetch_text(vm, text_ref);
  engine::vm_log(engine::kLogHistory, "set_font_mem_type %d, %s, %s, %d", slot, name.c_str(),
                 text.c_str(), n);
  return 1;
}

uint32_t cmd_delete_font_mem_type(VmContext& vm) {
  engine::vm_log(engine::kLogHistory, "delete_font_mem_type %d", as_int(engine::vm_pop(vm)));
  return 1;
}

uint32_t cmd_delete_all_font_mem_type(VmContext&) {
  engine::vm_log(engine::kLogHistory, "delete_all_font_mem_type");
  return 1;
}

const engine::CommandEntry font_command_entries[] = {FONT_COMMANDS(COMMAND_ENTRY)};
const engine::CommandList font_commands = engine::command_list(font_command_entries);

}  // namespace ui
