// The backlog commands of group 0x0e.
#include "text/history/backlog_commands.h"

#include <cstring>
#include <string>

#include "commands/command_util.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "text/history/backlog_command_list.h"
#include "text/history/backlog_window.h"
#include "text/history/history_write.h"
#include "text/sound/sound_load.h"

namespace backlog {
namespace {

using engine::HistoryLog;
using engine::kLogHistory;
using engine::kLogMain;
using engine::vm_log;
using engine::vm_pop;
using engine::vm_set_result;
using engine::VmContext;

constexpr int32_t kSoundKindButton = 5;

int32_t pop_int(VmContext& vm) {
  return static_cast<int32_t>(vm_pop(vm));
}

// An image file operand as a 32-byte name field (marked seen).
void image_name(VmContext& vm, uint32_t file, char (&field)[32]) {
  uint8_t buffer[260] = {};
  engine::get_file_name_operand(vm, buffer, sizeof buffer, file, 1);
  std::memset(field, 0, sizeof field);
  std::memcpy(field, buffer, strnlen(reinterpret_cast<const char*>(buffer), sizeof field - 1));
}

void sound_release(OrvSoundHandle& sound) {
  if (sound) {
    orv.OrvSoundStop(sound);
    orv.OrvSoundRelease(sound);
  }
  sound = 0;
}

OrvSoundHandle sound_from_file(VmContext& vm, uint32_t file) {
  if (file == 0 || file == engine::kNoText) return 0;
  const std::string name = engine::sound_file_name(vm, file, nullptr);
  return name.empty() ? 0 : engine::sound_load(vm, name, kSoundKindButton, nullptr);
}

// An entry index from the script: the entries are a fixed table of 128.
bool entry_ok(const char* command, int32_t index) {
  if (index >= 0 && index < static_cast<int32_t>(engine::kHistoryEntries)) return true;
  vm_log(kLogMain, "%s : entry out of range %d", command, index);
  return false;
}

uint32_t cmd_history_init(VmContext& vm) {
  HistoryLog& h = vm.history;
  h.nNameX = pop_int(vm);
  h.nNameY = pop_int(vm);
  h.nTextX = pop_int(vm);
  h.nTextY = pop_int(vm);
  h.nMarkX = pop_int(vm);
  h.nMarkY = pop_int(vm);
  h.nSpacing = pop_int(vm);
  h.dwColorNormal = vm_pop(vm) | 0xFF000000u;
  h.dwColorHover = vm_pop(vm) | 0xFF000000u;
  uint32_t w = 0, ht = 0;
  engine::game_screen_size(&w, &ht);
  h.nLeft = 0;
  h.nTop = 0;
  h.nRight = static_cast<int32_t>(w);
  h.nBottom = static_cast<int32_t>(ht);
  for (engine::HistoryEntry& e : h.entries) e = engine::HistoryEntry{};
  h.bVoiceMark = 0;
  std::memset(h.szVoiceMark, 0, sizeof h.szVoiceMark);
  vm_log(kLogHistory, "history_init %d, %d, %d, %d, %d, %d, %d, 0x%x, 0x%x", h.nNameX, h.nNameY,
         h.nTextX, h.nTextY, h.nMarkX, h.nMarkY, h.nSpacing, h.dwColorNormal, h.dwColorHover);
  return 1;
}

uint32_t cmd_history_begin(VmContext& vm) {
  vm_log(kLogHistory, "history_begin");
  history_begin(vm);
  return 1;
}

uint32_t cmd_history_end(VmContext& vm) {
  history_end(vm);
  vm_log(kLogHistory, "history_end");
  return 1;
}

uint32_t cmd_history_get_count(VmContext& vm) {
  vm_set_result(vm, vm.history.nEntryCount);
  return 1;
}

uint32_t cmd_history_set_pos(VmContext& vm) {
  const int32_t index = pop_int(vm);
  if (index != vm.history.nPos) history_layout(vm, index);
  return 1;
}

uint32_t cmd_history_get_height(VmContext& vm) {
  vm_set_result(vm, static_cast<uint32_t>(vm.history.nTotalHeight));
  vm_log(kLogHistory, "[%d] history_get_height", vm.history.nTotalHeight);
  return 1;
}

uint32_t cmd_history_update(VmContext& vm) {
  history_update(vm);
  return 1;
}

uint32_t cmd_history_get_pos(VmContext& vm) {
  vm_set_result(vm, static_cast<uint32_t>(vm.history.nPos));
  return 1;
}

uint32_t cmd_history_get_max_pos(VmContext& vm) {
  vm_set_result(vm, static_cast<uint32_t>(vm.history.nMaxPos));
  return 1;
}

uint32_t cmd_history_get_page_count(VmContext& vm) {
  vm_set_result(vm, static_cast<uint32_t>(vm.history.nPageCount));
  return 1;
}

uint32_t cmd_history_set_rect(VmContext& vm) {
  HistoryLog& h = vm.history;
  h.nLeft = pop_int(vm);
  h.nTop = pop_int(vm);
  h.nRight = pop_int(vm);
  h.nBottom = pop_int(vm);
  vm_log(kLogHistory, "history_set_rect %d, %d, %d, %d", h.nLeft, h.nTop, h.nRight, h.nBottom);
  return 1;
}

uint32_t cmd_history_clear(VmContext& vm) {
  engine::history_reset(vm);
  vm.run.dwSavePointMark = 0;
  vm.run.qwSavePointValue = 0;
  vm_log(kLogHistory, "history_clear");
  return 1;
}

uint32_t cmd_history_set(VmContext& vm) {
  const uint32_t file = vm_pop(vm);
  HistoryLog& h = vm.history;
  h.bVoiceMark = 1;
  image_name(vm, file, h.szVoiceMark);
  vm_log(kLogHistory, "history_set %s", h.szVoiceMark);
  return 1;
}

uint32_t cmd_history_set_face(VmContext& vm) {
  HistoryLog& h = vm.history;
  const uint32_t on = vm_pop(vm) != 0;
  h.nFaceX = pop_int(vm);
  h.nFaceY = pop_int(vm);
  h.bFaceOn = on;
  h.bFaceForNew = on;
  return 1;
}

uint32_t cmd_history_face_enable(VmContext& vm) {
  HistoryLog& h = vm.history;
  h.bFaceForNew = vm_pop(vm) == 0 ? 0 : h.bFaceOn;
  return 1;
}

uint32_t cmd_history_set_btn(VmContext& vm) {
  HistoryLog& h = vm.history;
  const uint32_t group = vm_pop(vm);
  const uint32_t file = vm_pop(vm);
  const uint32_t label = vm_pop(vm);
  h.dwFaceGroup = group;
  h.dwFaceCallLabel = 0;
  if (!h.bFaceOn) return 1;
  for (OrvSoundHandle& s : h.hButtonSounds) sound_release(s);
  if (group < engine::kButtonGroups) {
    const engine::ButtonGroup& g = vm.buttons.groups[group];
    h.hButtonSounds[0] = sound_from_file(vm, g.dwHoverSound);
    h.hButtonSounds[1] = sound_from_file(vm, g.dwClickSound);
  }
  h.hButtonSounds[2] = sound_from_file(vm, file);
  h.dwFaceCallLabel = label;
  return 1;
}

uint32_t cmd_history_release_btn_sound(VmContext& vm) {
  HistoryLog& h = vm.history;
  if (h.bFaceOn) {
    for (OrvSoundHandle& s : h.hButtonSounds) sound_release(s);
  }
  return 1;
}

uint32_t cmd_history_set_face_call(VmContext& vm) {
  vm.history.dwFaceCallLabel = vm_pop(vm);
  vm_log(kLogHistory, "history_set_face_call %d", static_cast<int32_t>(vm.history.dwFaceCallLabel));
  return 1;
}

uint32_t cmd_history_set_face_sound(VmContext& vm) {
  const uint32_t file = vm_pop(vm);
  HistoryLog& h = vm.history;
  sound_release(h.hFaceSound);
  h.hFaceSound = sound_from_file(vm, file);
  vm_log(kLogHistory, "history_set_face_sound %s",
         file == 0 ? "" : engine::fetch_file_name(vm, file, 32).c_str());
  return 1;
}

uint32_t cmd_history_set_face_sound_release(VmContext& vm) {
  sound_release(vm.history.hFaceSound);
  vm_log(kLogHistory, "history_set_face_sound_release");
  return 1;
}

uint32_t cmd_history_get_text(VmContext& vm) {
  const int32_t index = pop_int(vm);
  const uint32_t vars[3] = {vm_pop(vm), vm_pop(vm), vm_pop(vm)};
  char* slots[3] = {};
  for (int i = 0; i < 3; ++i) {
    slots[i] = engine::is_string_handle(vars[i]) ? engine::slot_of(vm, vars[i]) : nullptr;
    if (!slots[i]) {
      vm_log(kLogMain, "history_get_text : " CMD_NOT_STRING_TYPE);
      vm_set_result(vm, 0);
      return 0;
    }
  }
  if (!entry_ok("history_get_text", index)) {
    vm_set_result(vm, 0);
    return 0;
  }
  const engine::HistoryEntry& e = vm.history.entries[index];
  engine::slot_store(slots[0], std::string_view(e.name, strnlen(e.name, sizeof e.name)));
  engine::slot_store(slots[1], std::string_view(e.voice, strnlen(e.voice, sizeof e.voice)));
  engine::slot_store(slots[2], std::string_view(e.text, strnlen(e.text, sizeof e.text)));
  vm_set_result(vm, e.scriptPoint);
  vm_log(kLogHistory, "history_get_text %s %s %s", slots[0], slots[1], slots[2]);
  return 1;
}

uint32_t cmd_history_get_hist_no(VmContext& vm) {
  const int32_t index = pop_int(vm);
  if (!entry_ok("history_get_hist_no", index)) {
    vm_set_result(vm, 0xFFFFFFFFu);
    return 1;
  }
  vm_set_result(vm, static_cast<uint32_t>(vm.history.entries[index].historyNo));
  return 1;
}

uint32_t cmd_history_set_jump_btn(VmContext& vm) {
  HistoryLog& h = vm.history;
  const uint32_t group = vm_pop(vm);
  const uint32_t file = vm_pop(vm);
  const uint32_t click = vm_pop(vm);
  const uint32_t hover = vm_pop(vm);
  const uint32_t jump = vm_pop(vm);
  h.dwJumpGroup = 0;
  h.dwJumpClickLabel = 0;
  h.dwJumpLabel = 0;
  if (!h.bSnapshotsOn) return 1;
  h.dwJumpGroup = group;
  image_name(vm, file, h.szJumpImage);
  h.dwJumpClickLabel = click;
  h.dwJumpHoverLabel = hover;
  // Kept as the label number: the interpreter turns it into its target when the skip ends.
  h.dwJumpLabel = jump;
  return 1;
}

uint32_t cmd_history_clear_jump_btn(VmContext& vm) {
  HistoryLog& h = vm.history;
  if (h.bSnapshotsOn) {
    h.dwJumpGroup = 0;
    h.dwJumpClickLabel = 0;
    h.dwJumpHoverLabel = 0;
  }
  return 1;
}

uint32_t cmd_history_save_enable(VmContext& vm) {
  HistoryLog& h = vm.history;
  h.bSnapshotsOn = vm_pop(vm) != 0;
  h.nJumpX = pop_int(vm);
  h.nJumpY = pop_int(vm);
  return 1;
}

uint32_t cmd_history_set_entry_image(VmContext& vm) {
  HistoryLog& h = vm.history;
  h.bEntryImageOn = vm_pop(vm) != 0;
  image_name(vm, vm_pop(vm), h.szEntryImage);
  h.nEntryImageX = pop_int(vm);
  h.nEntryImageY = pop_int(vm);
  return 1;
}

constexpr engine::CommandEntry kEntries[] = {BACKLOG_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList backlog_commands = engine::command_list(kEntries);

}  // namespace backlog
