#include "commands/system_commands.h"

#include <cstddef>
#include <string>

#include "commands/command_paths.h"
#include "commands/command_util.h"
#include "commands/script_format.h"
#include "commands/system_command_list.h"
#include "engine/command_list.h"
#include "engine/game_files.h"
#include "engine/thread_commands.h"
#include "engine/dispatch.h"
#include "engine/game_state.h"
#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "engine/operand.h"
#include "engine/orv_api.h"
#include "engine/thread_commands.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "platform/sleep.h"
#include "platform/system_query.h"

namespace engine {

namespace {

uint8_t g_script_flag = 0;
GestureRecord g_gesture{};
VmContext* g_gesture_vm = nullptr;  // the machine that routed gestures last

void set_result(VmContext& vm, uint32_t v) {
  vm_set_result(vm, v);
}

// The game state around a machine: every VmContext lives inside the main task's GameState.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
GameState& game_state_of(VmContext& vm) {
  return *reinterpret_cast<GameState*>(reinterpret_cast<char*>(&vm) - offsetof(GameState, vm));
}
#pragma GCC diagnostic pop

// ---- system queries ----

uint32_t cmd_is_network(VmContext& vm) {
  // A LAN is all we can tell: a path to the wider network looks the same from here.
  if (platform::local_network_up()) {
    set_result(vm, 1);
    vm_log(kLogHistory, "is_network NETWORK_ALIVE_LAN");
  } else {
    set_result(vm, 0);
    vm_log(kLogHistory, "is_network Network is not alive.");
  }
  return 1;
}

uint32_t cmd_is_touch(VmContext& vm) {
  set_result(vm, 0);
  const uint32_t digitizer = touch_digitizer();
  if (digitizer == 0) {
    vm_log(kLogHistory, "is_touch Touch is not alive.");
  } else if (!(digitizer & 0x80)) {
    vm_log(kLogHistory, "is_touch Touch is not ready.");
  } else {
    set_result(vm, touch_is());
  }
  return 1;
}

uint32_t cmd_touch_enable(VmContext& vm) {
  touch_enable(vm_pop(vm) != 0);
  return 1;
}
uint32_t cmd_touch_mode(VmContext& vm) {
  touch_mode(vm_pop(vm) != 0);
  return 1;
}
uint32_t cmd_is_touch_mode(VmContext& vm) {
  set_result(vm, touch_mode_is());
  return 1;
}
uint32_t cmd_is_3d(VmContext& vm) {
  set_result(vm, renderer_3d_is());
  return 1;
}
uint32_t cmd_get_3d_value_a(VmContext& vm) {
  set_result(vm, max_texture_width());
  return 1;
}
uint32_t cmd_get_3d_value_b(VmContext& vm) {
  set_result(vm, max_texture_height());
  return 1;
}
uint32_t cmd_get_3d_flag(VmContext& vm) {
  set_result(vm, texture_pow2() ? 1 : 0);
  return 1;
}
uint32_t cmd_get_texture_memory(VmContext& vm) {
  set_result(vm, static_cast<uint32_t>(texture_memory() >> 20));
  return 1;
}
uint32_t cmd_get_display_mode(VmContext& vm) {
  const uint32_t field = vm_pop(vm);
  const uint32_t adapter = vm_pop(vm);
  set_result(vm, field <= 3 ? display_mode(field, adapter) : 0);
  return 1;
}
uint32_t cmd_set_pow(VmContext& vm) {
  set_pow(static_cast<uint8_t>(vm_pop(vm)));
  return 1;
}

// A size in whole MiB: the low word to the result, the high word to TempMemory[index] unless
// index is -1. An index outside TempMemory is refused with a line.
void report_size(VmContext& vm, uint64_t bytes, uint32_t index, const char* name) {
  const uint64_t mib = bytes >> 20;
  set_result(vm, static_cast<uint32_t>(mib));
  if (index == 0xFFFFFFFFu) return;
  if (index >= kTempMemoryCells) {
    vm_log(kLogMain, "%s: index %d outside TempMemory", name, static_cast<int32_t>(index));
    return;
  }
  vm.tempMem[index] = static_cast<uint32_t>(mib >> 32);
}

uint32_t cmd_get_memory_status(VmContext& vm) {
  const uint32_t field = vm_pop(vm);
  const uint32_t index = vm_pop(vm);
  platform::MemoryStatus m{};
  uint64_t size = 0;
  if (platform::memory_status(&m)) {
    switch (field) {
      case 0:
        size = m.load_percent;
        break;
      case 1:
        size = m.total_physical;
        break;
      case 2:
        size = m.available_physical;
        break;
      case 3:
        size = m.total_page_file;
        break;
      case 4:
        size = m.available_page_file;
        break;
      case 5:
        size = m.total_virtual;
        break;
      case 6:
        size = m.available_virtual;
        break;
      default:
        size = 0;
        break;  // 7, extended virtual memory, does not exist here
    }
  }
  report_size(vm, size, index, "get_memory_status");
  return 1;
}

uint32_t cmd_get_disk_free(VmContext& vm) {
  const uint32_t field = vm_pop(vm);
  const uint32_t index = vm_pop(vm);
  platform::DiskSpace d{};
  uint64_t size = 0;
  if (platform::disk_space(game_file_native_path(command_save_folder()), &d)) {
    size = field == 0 ? d.free_to_caller : field == 1 ? d.total : field == 2 ? d.total_free : 0;
  }
  report_size(vm, size, index, "get_disk_free");
  return 1;
}

uint32_t cmd_get_os_version(VmContext& vm) {
  const uint32_t field = vm_pop(vm);
  platform::KernelVersion k{};
  platform::kernel_version(&k);
  // Platform id, service pack, suite mask and product type have no counterpart: 0.
  uint32_t v = 0;
  if (field == 0) v = k.major;
  if (field == 1 || field == 5) v = k.minor;
  if (field == 2) v = k.patch;
  set_result(vm, v);
  return 1;
}

uint32_t cmd_is_debug(VmContext& vm) {
  set_result(vm, debug_is());
  return 1;
}
uint32_t cmd_get_alloc_count(VmContext& vm) {
  set_result(vm, static_cast<uint32_t>(orv.OrvGetAllocCount()));
  return 1;
}
uint32_t cmd_get_time_10ms(VmContext& vm) {
  set_result(vm, orv.OrvtimeGetTime() / 10u);
  return 1;
}
uint32_t cmd_time_get_time(VmContext& vm) {
  set_result(vm, orv.OrvClockGetTime());
  return 1;
}
uint32_t cmd_sleep(VmContext& vm) {
  platform::sleep_ms(vm_pop(vm));
  return 1;
}
uint32_t cmd_get_change_window_mode_time(VmContext& vm) {
  const uint32_t t = change_window_mode_time();
  set_result(vm, t);
  vm_log(kLogHistory, "get_change_window_mode_time %d", static_cast<int32_t>(t));
  return 1;
}
uint32_t cmd_get_boot_flag(VmContext& vm) {
  set_result(vm, game_state_of(vm).dwBootFlag);
  return 1;
}
uint32_t cmd_get_global_flag(VmContext& vm) {
  set_result(vm, 0);
  return 1;
}

// ---- gestures ----

// "未定義コード"
#define UNDEFINED_CODE "\x96\xa2\x92\xe8\x8b`\x83R\x81[\x83h"

uint32_t cmd_gesture_call_set(VmContext& vm) {
  const uint32_t code = vm_pop(vm);
  const uint32_t target = vm_pop(vm);
  if (code < 3 || code > 7) {
    vm_log(kLogMain, "gesture_call_set : " UNDEFINED_CODE "[%d]", static_cast<int32_t>(code));
    set_result(vm, 0);
    return 1;
  }
  vm.gestureTargets[code] = target;  // a code offset from dwBase, as the label table holds them
  g_gesture_vm = &vm;
  gesture_callback_set(gesture_callback);
  set_result(vm, 1);
  return 1;
}

uint32_t cmd_gesture_call_reset(VmContext& vm) {
  const uint32_t code = vm_pop(vm);
  if (code < 3 || code > 7) {
    vm_log(kLogMain, "gesture_call_reset : " UNDEFINED_CODE "[%d]", static_cast<int32_t>(code));
    set_result(vm, 0);
    return 1;
  }
  vm.gestureTargets[code] = 0;
  set_result(vm, 1);
  return 1;
}

uint32_t cmd_get_gesture_info(VmContext& vm) {
  const uint32_t field = vm_pop(vm);
  const GestureRecord& g = g_gesture;
  // One desktop: the monitor nearest to any point starts at 0, 0.
  const int32_t left = 0, top = 0;
  const uint32_t a = static_cast<uint32_t>(g.qwArguments);
  const int32_t ax = static_cast<int16_t>(a & 0xFFFF), ay = static_cast<int16_t>(a >> 16);
  uint32_t v = 0;
  switch (field) {
    case 0:
      v = (g.dwId == 3 || g.dwId == 4 || g.dwId == 6) ? a - left : a;
      break;
    case 1:
      v = static_cast<uint32_t>(g.dwId == 7 ? ax - left : g.x);
      break;
    case 2:
      v = static_cast<uint32_t>(g.dwId == 7 ? ay - top : g.y);
      break;
    case 3:
      v = g.dwSequence;
      break;
    case 4:
      v = g.dwInstance;
      break;
    default:
      break;
  }
  set_result(vm, v);
  return 1;
}

// ---- script-machine controls ----

uint32_t cmd_set_last_process(VmContext& vm) {
  const uint32_t label = vm_pop(vm);
  uint32_t offset = 0;
  uint32_t pc = 0;
  if (label != 0 && label_target(vm, label, &pc)) offset = pc - vm.runner.dwBase;
  vm.runner.dwLastProcess = offset;
  vm_log(kLogHistory, "set_last_process 0x%08X", offset);
  return 1;
}

// Screen transitions are on unless their subsystem says otherwise.
bool transitions_enabled() {
  const auto enable_is = neighbours.transitions.effect_enable_is;
  return !enable_is || enable_is() != 0;
}

uint32_t cmd_work_thread_start(VmContext& vm) {
  if (get_skip_state(vm) != 0 || !transitions_enabled() || vm.runner.bAsync.load()) return 1;
  vm.runner.bAsync.store(1);
  vm.runner.bYield = 1;
  // Without a work thread to take it the script simply stays on this thread.
  if (!attach_script_runner(vm)) {
    vm.runner.bAsync.store(0);
    vm.runner.bYield = 0;
  }
  return 1;
}

uint32_t cmd_work_thread_stop(VmContext& vm) {
  vm.runner.bAsync.store(0);
  return 1;
}

uint32_t cmd_set_window_title(VmContext& vm) {
  const uint32_t value = vm_pop(vm);
  if (value != kNoText) window_title_set(fetch_text(vm, value, 260).c_str());
  vm.runner.bYield = 1;
  return 1;
}

uint32_t cmd_set_save_point(VmContext& vm) {
  vm.run.dwSavePointMark = vm.runner.dwPc;
  vm.run.qwSavePointValue = 0;
  if (!vm.save.bSavePointLock) {
    vm.save.dwResumePc = vm.runner.dwPc;
    vm.save.dwSnapOffset = 0;
    neighbour_run(neighbours.interaction.save_snapshot_make, vm);
  }
  neighbour_run(neighbours.interaction.history_save, vm);
  return 1;
}

uint32_t cmd_clear_save_point(VmContext& vm) {
  vm.run.dwSavePointMark = 0;
  vm.run.qwSavePointValue = 0;
  return 1;
}

uint32_t cmd_thread_return_push(VmContext& vm) {
  const uint32_t offset = vm_pop(vm);
  data_entry_push(vm, kChannelThreadMarkers, vm.runner.dwPc, 0);
  vm.thread.dwStart = offset;
  return 1;
}

uint32_t cmd_is_scene_skip(VmContext& vm) {
  set_result(vm, vm.run.bSceneSkip);
  return 1;
}

uint32_t cmd_get_state_flags(VmContext& vm) {
  set_result(vm, vm.save.dwMosaicThumbnail | game_state_of(vm).settings.bAllMosaicThumbnail);
  return 1;
}

uint32_t cmd_set_vm_value(VmContext& vm) {
  vm.run.dwVmValue = vm_pop(vm);
  return 1;
}

uint32_t cmd_get_script_flag(VmContext& vm) {
  set_result(vm, g_script_flag);
  return 1;
}
uint32_t cmd_set_script_flag(VmContext& vm) {
  g_script_flag = vm_pop(vm) != 0;
  return 1;
}

uint32_t cmd_begin_skip(VmContext& vm) {
  vm.run.dwBeginSkipMode = 1;
  vm.run.dwBeginSkipKeys = 0;
  vm_log(kLogHistory, "begin_skip");
  return 1;
}
uint32_t cmd_end_skip(VmContext& vm) {
  vm.run.dwBeginSkipMode = 0;
  vm.run.dwBeginSkipKeys = 0;
  vm_log(kLogHistory, "end_skip");
  return 1;
}
uint32_t cmd_get_begin_skip_keystate(VmContext& vm) {
  const uint32_t keys = vm.run.dwBeginSkipMode == 1 ? vm.run.dwBeginSkipKeys : 0;
  set_result(vm, keys);
  vm_log(kLogHistory, "get_begin_skip_keystate %d", keys);
  return 1;
}

uint32_t cmd_leave_sub_scene(VmContext& vm) {
  neighbour_run(neighbours.text.text_wait_end, vm);
  g_advance_latch = AdvanceLatch{0, 0, 1};
  script_point_pop(vm);  // does nothing while skipping
  neighbour_run(neighbours.layers.action_clear_marked, vm);
  neighbour_run(neighbours.text.tips_end_hook, vm);
  if (neighbour_ask(neighbours.interaction.select_close, vm, false)) {
    // The buttons' cooldown, so that the click that closed the menu presses nothing.
    if (get_skip_state(vm) == 0) {
      vm.buttons.dwWaitStart = orv.OrvtimeGetTime();
      vm.buttons.dwInvalidTime = 100;
    }
    neighbour_run(neighbours.interaction.system_buttons_enable, vm);
    input_clear();
    message_post(vm, 2, 1);
  }
  return 1;
}

uint32_t cmd_debug_output(VmContext& vm) {
  return AdvDebugOutputCore(vm, kLogMain);
}
uint32_t cmd_debug_output_info(VmContext& vm) {
  return AdvDebugOutputCore(vm, kLogHistory);
}

}  // namespace

uint32_t AdvDebugOutputCore(VmContext& vm, int key) {
  const uint32_t format_ref = vm_pop(vm);
  uint32_t values[7];
  for (uint32_t& v : values) v = vm_pop(vm);
  if (!debug_is()) return 1;
  const std::string format = fetch_text(vm, format_ref, 519);
  std::string out;
  uint32_t next = 0;
  auto value = [&]() { return next < 7 ? values[next++] : 0u; };
  // Every piece, literal text included, must leave room for the terminator.
  auto fits = [&](size_t n) {
    if (out.size() + 1 + n < 2048) return true;
    vm_log(kLogMain, "Error AdvDebugOutputCore szOut over size");
    vm_log(key, "%s", out.c_str());
    return false;
  };
  size_t i = 0;
  while (i < format.size()) {
    const size_t pct = format.find('%', i);
    const std::string literal =
        format.substr(i, pct == std::string::npos ? std::string::npos : pct - i);
    if (!fits(literal.size())) return 1;
    out += literal;
    if (pct == std::string::npos || pct + 1 >= format.size()) break;
    const char c = format[pct + 1];
    std::string piece;
    i = pct + 2;
    if (c == 'd' || c == 'D') {
      piece = std::to_string(static_cast<int32_t>(value()));
    } else if (c == 'x' || c == 'X') {
      format_int_piece("%08X", value(), &piece);
    } else if (c == 't' || c == 'T') {
      piece = fetch_text(vm, value(), 519);
    } else if (c == 'f' || c == 'F') {
      piece = fetch_file_name(vm, value());
    } else if (c >= '0' && c <= '9') {
      size_t end = pct + 1;
      while (end < format.size() && format[end] >= '0' && format[end] <= '9') ++end;
      if (end < format.size() && format[end] == 'd' && end - pct + 1 <= 15) {
        format_int_piece(std::string_view(format).substr(pct, end - pct + 1), value(), &piece);
        i = end + 1;
      }
    }
    if (!fits(piece.size())) return 1;
    out += piece;
  }
  vm_log(key, "%s", out.c_str());
  return 1;
}

void gesture_callback(const GestureRecord& record) {
  g_gesture = record;
  VmContext* vm = g_gesture_vm;
  // Ids come from the platform; only the eight routing slots may be read.
  if (!vm || record.dwId >= 8 || vm->gestureTargets[record.dwId] == 0) return;
  data_entry_push(*vm, kChannelReturns, vm->runner.dwPc, 0);
  vm->runner.dwPc = vm->gestureTargets[record.dwId] + vm->runner.dwBase;
}

const GestureRecord& last_gesture() {
  return g_gesture;
}
uint8_t script_flag() {
  return g_script_flag;
}

namespace {
const CommandEntry kSystemCommands[] = {SYSTEM_COMMANDS(COMMAND_ENTRY)};
}  // namespace

const CommandList system_commands = command_list(kSystemCommands);

}  // namespace engine
