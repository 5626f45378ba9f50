#include "engine/wait_commands.h"

#include <cstring>
#include <iterator>

#include "engine/command_list.h"
#include "engine/dispatch.h"
#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "engine/wait_command_list.h"
#include "engine/orv_api.h"

namespace engine {
namespace {

constexpr uint32_t kEndless = 0xFFFFFFFFu;

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

// The text window shows its click icon; without a text window only its mode says it waits.
void click_wait_start(VmContext& vm) {
  if (neighbours.text.text_click_wait_start) {
    neighbours.text.text_click_wait_start(vm);
  } else {
    vm.text.dwMode = (vm.text.dwMode & 0xFFFF0000u) | 2;
  }
}

// What the click waits share before they look at their own state: under scene skip the marked
// action lists end, and the advance latch starts afresh with both end-of-text flags.
void click_wait_prologue(VmContext& vm, uint32_t skip) {
  vm.runner.bYield = 1;
  if (skip & 0x20) neighbour_run(neighbours.layers.action_clear_marked, vm);
  g_advance_latch = AdvanceLatch{0, 0, 1};
  vm.text.bEndOfText[0] = 0;
  vm.text.bEndOfText[1] = 0;
}

uint32_t cmd_wait(VmContext& vm) {
  WaitState& w = vm.wait;
  vm.runner.bYield = 1;
  const uint32_t now = orv.OrvClockGetTime();
  if (w.dwLength) {
    uint32_t elapsed = now - w.dwStart;
    if (w.dwFlags && get_skip_state(vm)) {
      vm_log(kLogHistory, "wait: isAdvSkipIs %d, %d", as_int(w.dwLength), as_int(w.dwFlags));
      w.dwLength = 0;
      elapsed = 0;
    } else if (script_thread_id.load() == 0 && g_advance_latch.bEnabled && vm.run.bAuto &&
               neighbour_ask(neighbours.text.voice_playing_muted, vm, false)) {
      // Auto mode would otherwise wait for a voice that nobody hears.
      w.dwLength = 0;
      elapsed = 0;
    }
    if (w.dwLength != kEndless && elapsed >= w.dwLength) {
      vm_log(kLogHistory, "wait: is over %d, %d", as_int(w.dwLength), as_int(w.dwFlags));
      w.dwStart = 0;
      w.dwLength = 0;
      return 1;  // bYield stays: the next instruction runs in the next frame
    }
    script_retry_call(vm);
    return 1;
  }
  if (w.bWaitClear) {
    // The repeated call of a wait that wait_clear cancelled: its arguments went at its start.
    w.bWaitClear = 0;
    vm_log(kLogHistory, "wait is clear %d, %d", 0, as_int(w.dwFlags));
    return 1;
  }
  uint32_t length = vm_pop(vm);
  const uint32_t flags = vm_pop(vm);
  if (is_thread_call(vm)) {
    // The thread shares the pc with the main flow: a wait here would stall both.
    vm_log(kLogMain, "** error wait method from thread call %d, %d", as_int(length), as_int(flags));
    w.dwLength = 0;
    w.dwFlags = 0;
    return 1;
  }
  if (length == 0) length = 1;  // at least one frame
  w.dwFlags = flags;
  vm_log(kLogHistory, "wait %d, %d", as_int(length), as_int(flags));
  w.dwStart = now;
  w.dwLength = (get_skip_state(vm) & kSkipAny) ? 0 : length;
  script_retry_call(vm);
  return 1;
}

uint32_t cmd_wait_click(VmContext& vm) {
  WaitState& w = vm.wait;
  TextWindow& text = vm.text;
  const uint32_t skip = get_skip_state(vm);
  uint32_t advance = 0;
  if (text.bClickAdvance) advance = (skip & 8) ? 1 : 0;
  if (text.bEndOfText[0] && text.bEndOfText[1] && (skip & 8)) advance = 1;
  click_wait_prologue(vm, skip);
  const uint32_t now = orv.OrvClockGetTime();
  if (w.dwLength) {
    const uint32_t elapsed = skip ? w.dwLength : now - w.dwStart;
    if (elapsed >= w.dwLength) {
      w.dwStart = 0;
      w.dwLength = 0;
    } else {
      script_retry_call(vm);
    }
    return 1;
  }
  if (w.bWaitClear) {
    w.bWaitClear = 0;
    return 1;
  }
  uint32_t t = vm_pop(vm);
  w.dwLength = t;
  vm_log(kLogHistory, "wait_click %d", as_int(t));
  if (t == kEndless) {
    const uint32_t mode_before = text.dwMode;
    if (text.dwMode) text.dwMode &= ~0x20000u;
    if (advance) {
      // An advance input is already pending: the text window's wait ends without the icon.
      text.dwMode = 0x10;
      text.dwWaitStart = now;
      text.dwWaitTime = 0;
      w.dwStart = 0;
    } else if (mode_before == 0) {
      click_wait_start(vm);
    }
    script_point_push(vm);
    w.dwLength = 0;
    return 1;
  }
  if (t == 0) t = 1;
  w.dwStart = now;
  click_wait_start(vm);
  script_point_push(vm);
  text.dwMode |= 4;
  text.dwWaitStart = now;
  text.dwWaitTime = t;
  w.dwStart = 0;
  w.dwLength = 0;
  return 1;
}

uint32_t cmd_wait_click_no_anim(VmContext& vm) {
  WaitState& w = vm.wait;
  const uint32_t skip = get_skip_state(vm);
  click_wait_prologue(vm, skip);
  const uint32_t now = orv.OrvClockGetTime();
  if (w.dwLength) {
    bool over = skip != 0 || vm.text.bAdvanceRequest != 0;
    if (w.dwLength == kEndless) {
      over = over || (vm.run.bAuto && !neighbour_ask(neighbours.text.voice_any_playing, vm, false));
    } else {
      over = over || now - w.dwStart >= w.dwLength;
    }
    if (over) {
      w.dwStart = 0;
      w.dwLength = 0;
    } else {
      script_retry_call(vm);
    }
    return 1;
  }
  if (w.bWaitClear) {
    w.bWaitClear = 0;
    return 1;
  }
  uint32_t length = vm_pop(vm);
  if (length == 0) length = 1;
  vm_log(kLogHistory, "wait_click_no_anim %d", as_int(length));
  w.dwStart = now;
  w.dwLength = (skip & kSkipAny) ? 0 : length;
  script_retry_call(vm);
  return 1;
}

uint32_t cmd_wait_sync_begin(VmContext& vm) {
  vm.wait.dwSyncBase = orv.OrvClockGetTime();
  vm.wait.dwSyncLength = 0;
  vm_log(kLogHistory, "wait_sync_begin");
  return 1;
}

uint32_t cmd_wait_sync(VmContext& vm) {
  WaitState& w = vm.wait;
  if (w.dwSyncLength) {
    const uint32_t elapsed = orv.OrvClockGetTime() - w.dwSyncBase;
    if (elapsed >= w.dwSyncLength) {
      w.dwSyncLength = 0;
      vm_log(kLogHistory, "wait_sync_release %d", as_int(elapsed));
    }
  } else {
    // The base stays: later syncs wait for later points from the same begin.
    w.dwSyncLength = vm_pop(vm);
    if (get_skip_state(vm) & kSkipAny) {
      w.dwSyncLength = 0;
      vm_log(kLogHistory, "wait_sync skip");
    } else {
      vm_log(kLogHistory, "wait_sync %d", as_int(w.dwSyncLength));
    }
  }
  if (w.dwSyncLength) {
    script_retry_call(vm);
    vm.runner.bYield = 1;
  }
  return 1;
}

uint32_t cmd_wait_sync_end(VmContext& vm) {
  vm.wait.dwSyncBase = 0;
  vm.wait.dwSyncLength = 0;
  vm_log(kLogHistory, "wait_sync_end");
  return 1;
}

uint32_t cmd_wait_frame(VmContext& vm) {
  vm.runner.bYield = 1;
  return 1;
}

uint32_t cmd_wait_clear(VmContext& vm) {
  WaitState& w = vm.wait;
  w.bWaitClear = w.dwLength ? 1 : 0;
  w.dwLength = 0;
  w.dwSyncLength = 0;
  w.dwSyncBase = 0;
  w.dwSavedMark = 0;
  std::memset(vm.runner.dwPointStack, 0, sizeof vm.runner.dwPointStack);
  vm.runner.dwPointCount = 0;
  vm_log(kLogHistory, "wait_clear");
  return 1;
}

uint32_t cmd_wait_sync_get_time(VmContext& vm) {
  const uint32_t t = orv.OrvClockGetTime() - vm.wait.dwSyncBase;
  vm_set_result(vm, t);
  vm_log(kLogHistory, "[%d] wait_sync_get_time", as_int(t));
  return 1;
}

uint32_t cmd_wait_time_push(VmContext& vm) {
  WaitState& w = vm.wait;
  w.dwSavedMark = w.dwLength;
  w.dwSavedLength = w.dwLength;
  w.dwSavedStart = w.dwStart;
  w.dwLength = 0;
  w.bWaitClear = 0;
  vm_log(kLogHistory, "wait_time_push");
  return 1;
}

uint32_t cmd_wait_time_pop(VmContext& vm) {
  WaitState& w = vm.wait;
  w.dwStart = w.dwSavedStart;
  w.dwLength = w.dwSavedLength;
  w.dwSavedMark = 0;
  vm_log(kLogHistory, "wait_time_pop");
  return 1;
}

uint32_t cmd_wait_get_time(VmContext& vm) {
  vm_set_result(vm, vm.wait.dwLength);
  vm_log(kLogHistory, "[%d] wait_get_time", as_int(vm.wait.dwLength));
  return 1;
}

uint32_t cmd_wait_is_clear(VmContext& vm) {
  vm_set_result(vm, vm.wait.bWaitClear);
  vm_log(kLogHistory, "[%d] wait_is_clear", as_int(vm.wait.bWaitClear));
  return 1;
}

}  // namespace

namespace {
const CommandEntry kWaitCommands[] = {WAIT_COMMANDS(COMMAND_ENTRY)};
}  // namespace

const CommandList wait_commands = command_list(kWaitCommands);

}  // namespace engine
