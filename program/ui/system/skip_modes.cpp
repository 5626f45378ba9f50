#include "ui/system/skip_modes.h"

#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/thread_commands.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "save/save_settings.h"
#include "text/window/text_window_ops.h"
#include "ui/buttons/buttons.h"
#include "ui/system/skip_mode_command_list.h"
#include "ui/system/window_queries.h"

namespace ui {

using engine::VmContext;

namespace {

constexpr int kLogWarning = 16;
constexpr uint32_t kSkipMessage = 1;
// Button styles of a group (btn_style_get): the skip and the auto button.
constexpr int32_t kStyleSkipButton = 1;
constexpr int32_t kStyleAutoButton = 3;

// The clock at the start of the running scene skip, for the duration line of its cancel.
uint32_t g_scene_skip_start = 0;

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

// Lights (row 3) or darkens (row 0) the switch's button of the text window's button group.
// False when the window has no group: the caller's own log line is then left out.
bool switch_button_show(VmContext& vm, const char* name, int32_t style, uint32_t on) {
  const uint32_t group = vm.text.dwButtonGroup & 0xFFFF;
  if (group == engine::kNoButtonGroup) {
    engine::vm_log(engine::kLogHistory, "not %s button", name);
    return false;
  }
  const int32_t g = static_cast<int32_t>(group);
  const int32_t no = btn_style_get(vm, g, style);
  if (no < 0) return true;
  if (!btn_set_base_row(vm, g, no, as_int(on * 3u))) {
    engine::vm_log(kLogWarning, "*Warnning %s_set SpriteIcon is NULL !!", name);
  }
  return true;
}

// The end of a scene or history skip: the state the skip reached, rebuilt from a snapshot
// taken here, so that layers, sounds and texts show it.
void reload_where_the_skip_got_to(VmContext& vm) {
  if (!vm.save.bSavePointLock) {
    vm.save.dwResumePc = vm.runner.dwPc;
    vm.save.dwSnapOffset = 0;
    engine::neighbour_run(engine::neighbours.interaction.save_snapshot_make, vm);
  }
  // Without saves the script simply goes on from here.
  engine::neighbour_run(engine::neighbours.interaction.save_snapshot_reload, vm);
}

}  // namespace

uint32_t cmd_skip_set(VmContext& vm) {
  const uint32_t on = engine::vm_pop(vm);
  if (on != 0 && save::settings_of(vm).bSkipUnread == 0 && vm.text.bRead == 0) {
    engine::message_post(vm, kSkipMessage, 0);
    engine::vm_log(engine::kLogHistory, "cancel skip_set");
    return 1;
  }
  vm.run.bSkip = static_cast<uint8_t>(on);
  textwindow::text_icon_select(vm, vm.text, on ? engine::kIconSkip : engine::kIconClick);
  if (!switch_button_show(vm, "skip", kStyleSkipButton, on)) return 1;
  engine::vm_log(engine::kLogHistory, "skip_set %d", as_int(on));
  return 1;
}

uint32_t cmd_skip_is(VmContext& vm) {
  engine::vm_set_result(vm, vm.run.bSkip);
  engine::vm_log(engine::kLogHistory, "[%d]skip_is", vm.run.bSkip);
  return 1;
}

uint32_t cmd_auto_set(VmContext& vm) {
  const uint32_t on = engine::vm_pop(vm);
  vm.run.bAuto = on;
  textwindow::text_icon_select(vm, vm.text, on ? engine::kIconAuto : engine::kIconClick);
  if (!switch_button_show(vm, "auto", kStyleAutoButton, on)) return 1;
  engine::vm_log(engine::kLogHistory, "auto_set %d", as_int(on));
  return 1;
}

uint32_t cmd_auto_is(VmContext& vm) {
  engine::vm_set_result(vm, vm.run.bAuto);
  engine::vm_log(engine::kLogHistory, "[%d]auto_is", as_int(vm.run.bAuto));
  return 1;
}

uint32_t cmd_scene_skip(VmContext& vm) {
  const uint32_t argument = engine::vm_pop(vm);
  vm.run.bSceneSkip = 1;
  vm.run.dwSceneSkipArg = argument;
  engine::vm_log(engine::kLogHistory, "scene_skip %d", as_int(argument));
  engine::ScriptRunner& r = vm.runner;
  for (uint32_t& point : r.dwPointStack) point = 0;
  r.dwPointCount = 0;
  g_scene_skip_start = orv.OrvClockGetTime();
  // The running slice reads the skip state again after this command and, with no point to stop
  // at and its yields ignored, goes on under the skip: the skip starts in this frame without
  // running the interpreter inside itself.
  return 1;
}

uint32_t scene_skip_elapsed_ms() {
  return orv.OrvClockGetTime() - g_scene_skip_start;
}

uint32_t cmd_cancel_scene_skip(VmContext& vm) {
  if (!vm.run.bSceneSkip) return 1;
  vm.run.bSceneSkip = 0;
  engine::vm_log(engine::kLogHistory, "cancel scene skip");
  engine::vm_log(engine::kLogMain, "  scene skip time = %d ms", as_int(scene_skip_elapsed_ms()));
  reload_where_the_skip_got_to(vm);
  return 1;
}

uint32_t cmd_history_skip(VmContext& vm) {
  const uint32_t target = engine::vm_pop(vm);
  vm.run.dwHistorySkipPc = target;
  vm.run.bHistorySkip = 1;
  engine::vm_log(engine::kLogHistory, "history_skip %x", target);
  return 1;
}

uint32_t cmd_cancel_history_skip(VmContext& vm) {
  if (!vm.run.bHistorySkip) return 1;
  vm.run.bHistorySkip = 0;
  engine::vm_log(engine::kLogHistory, "cancel history skip");
  reload_where_the_skip_got_to(vm);
  return 1;
}

uint32_t cmd_is_history_skip(VmContext& vm) {
  engine::vm_set_result(vm, vm.run.bHistorySkip);
  return 1;
}

uint32_t cmd_adv_skip_set(VmContext& vm) {
  const uint32_t state = engine::get_skip_state(vm);
  engine::vm_set_result(vm, state);
  engine::vm_log(engine::kLogHistory, "adv_skip_set %XH", state);
  return 1;
}

const engine::CommandEntry skip_mode_command_entries[] = {SKIP_MODE_COMMANDS(COMMAND_ENTRY)};
const engine::CommandList skip_mode_commands = engine::command_list(skip_mode_command_entries);

}  // namespace ui
