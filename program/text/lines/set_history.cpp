// set_history, set_history_ex and enable_history: a backlog line written by the script.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "text/history/history_write.h"
#include "text/lines/set_history_command_list.h"
#include "text/lines/text_line.h"
#include "text/render/text_render.h"

namespace textlines {
namespace {

using engine::vm_pop;

// The bound group's voice buttons: style 2 and the record button.
constexpr int32_t kVoiceButtonStyles[] = {2, 8};

void voice_buttons_follow(VmContext& vm, bool has_voice) {
  const uint32_t group = vm.text.dwButtonGroup & 0xFFFF;
  engine::InteractionServices& ui = engine::neighbours.interaction;
  if (group >= engine::kButtonGroups || !ui.btn_style_get || !ui.btn_ctrl_set_pos) return;
  for (const int32_t style : kVoiceButtonStyles) {
    const int32_t no = ui.btn_style_get(vm, static_cast<int32_t>(group), style);
    if (no < 0) continue;
    ui.btn_ctrl_set_pos(vm, static_cast<int32_t>(group), no, has_voice ? 1 : 0, has_voice ? 0 : 3);
  }
}

uint32_t set_history(VmContext& vm, bool at_snapshot) {
  const uint32_t voice = vm_pop(vm);
  const uint32_t name = vm_pop(vm);
  const uint32_t text = vm_pop(vm);
  TextWindow& tw = vm.text;
  tw.dwVoiceId = voice;
  tw.dwNameId = name;
  tw.dwBacklogTextId = text;
  tw.dwMode = 0;
  int32_t colour = 0, shadow = 0;
  orv.OrvFontGetColor(&colour, &shadow);

  engine::history_write_field(vm, nullptr, engine::kHistoryNewLine);
  const std::string speaker = speaker_name_resolve(vm, tw, name);
  engine::history_write_field(vm, speaker.empty() ? nullptr : speaker.c_str(),
                              engine::kHistoryName);

  std::vector<uint8_t> buffer(textrender::kTextBufferBytes, 0);
  engine::get_string_operand(vm, buffer.data(), text, static_cast<uint32_t>(buffer.size()));
  char expanded[textrender::kTextBufferBytes] = {};
  textrender::text_expand(vm, expanded, sizeof expanded,
                          reinterpret_cast<const char*>(buffer.data() + 4));
  engine::history_write_field(vm, expanded, engine::kHistoryText);
  std::memset(vm.save.szSaveText, 0, sizeof vm.save.szSaveText);
  std::memcpy(vm.save.szSaveText, expanded,
              strnlen(expanded, std::min(sizeof expanded, sizeof vm.save.szSaveText) - 1));
  engine::vm_log(engine::kLogHistory, "set_history %s", expanded);

  bool has_voice = false;
  if (voice != engine::kNoText) {
    uint8_t file[260] = {};
    engine::get_file_name_operand(vm, file, sizeof file, voice, 1);
    const char* resolved = reinterpret_cast<const char*>(file);
    engine::history_write_field(vm, resolved, engine::kHistoryVoice);
    std::memset(tw.szVoice, 0, sizeof tw.szVoice);
    std::memcpy(tw.szVoice, resolved, strnlen(resolved, sizeof tw.szVoice - 1));
    has_voice = true;
  }
  voice_buttons_follow(vm, has_voice);
  engine::history_write_field(
      vm, nullptr, at_snapshot ? engine::kHistoryCloseAtSnapshot : engine::kHistoryCloseAtCommand);
  orv.OrvFontSetColor(static_cast<uint32_t>(colour), static_cast<uint32_t>(shadow));
  return 1;
}

uint32_t cmd_set_history(VmContext& vm) {
  return set_history(vm, false);
}

uint32_t cmd_set_history_ex(VmContext& vm) {
  return set_history(vm, true);
}

uint32_t cmd_enable_history(VmContext& vm) {
  vm.history.bDisabled = vm_pop(vm) == 0;
  return 1;
}

constexpr engine::CommandEntry kEntries[] = {SET_HISTORY_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList set_history_commands = engine::command_list(kEntries);

}  // namespace textlines
