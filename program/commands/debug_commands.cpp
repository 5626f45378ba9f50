// Command group 0x0f: the script talks to its developer (debug log, message box, window
// title) and inspects or adjusts the machine (stack depth, frame base, a dump). Outside debug
// mode the log lines go nowhere, but every command still pops its operands and keeps the
// machine's state as it would in debug mode.
#include <cstdio>
#include <cstring>
#include <string>

#include "commands/debug_command_list.h"
#include "commands/library_commands.h"
#include "commands/platform_calls.h"
#include "commands/system_commands.h"
#include "engine/command_list.h"
#include "engine/dispatch.h"
#include "engine/orv_calls.h"
#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/formats/startup_info.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "platform/message_box.h"

namespace engine {
namespace {

constexpr int kLogOutput = 16;
constexpr int32_t kArgumentDepthMax = 64;
// The text operand that means "no text".
constexpr uint32_t kNoText = 0x0FFFFFFF;

// The text of a text operand, read into a buffer of `size` bytes whose first 4 bytes are the
// operand's header. Returns the text, terminated within the buffer.
const char* read_text(VmContext& vm, uint32_t value, char* buffer, uint32_t size) {
  std::memset(buffer, 0, size);
  get_string_operand(vm, reinterpret_cast<uint8_t*>(buffer), value, size);
  buffer[size - 1] = 0;
  return buffer + 4;
}

uint32_t cmd_debug_print(VmContext& vm) {
  const uint32_t value = vm_pop(vm);
  if (!debug_is()) return 1;
  char buffer[520];
  vm_log(kLogOutput, "%s", read_text(vm, value, buffer, sizeof buffer));  // a '%' in the text is printed, never converted
  return 1;
}

uint32_t cmd_debug_messagebox(VmContext& vm) {
  char buffer[520];
  const char* text = read_text(vm, vm_pop(vm), buffer, sizeof buffer);
  platform::message_box(text, "messagebox", platform::kMbOk | platform::kMbTopMost);
  return 1;
}

uint32_t cmd_set_window_text(VmContext& vm) {
  const uint32_t value = vm_pop(vm);
  const uint32_t mode = vm_pop(vm);
  if (debug_is()) {
    const char* product = startup_info().szProduct;
    std::string title;
    if (value == kNoText) {
      title = product;
    } else {
      char buffer[260];
      const char* text = read_text(vm, value, buffer, sizeof buffer);
      vm_log(kLogOutput, "-- %s -- / mem_cnt=%d", text, orv.OrvGetAllocCount());
      vm_log(kLogMain, "-- %s -- / mem_cnt=%d", text, orv.OrvGetAllocCount());
      title = mode == 1 ? std::string(text) : std::string(product) + " - " + text;
    }
    // The title keeps to its 520-byte buffer: a longer one is cut.
    if (title.size() > 519) title.resize(519);
    window_title_set(title.c_str());
    vm_log(kLogHistory, "set_window_text %s", title.c_str());
  }
  vm.run.dwBeginSkipMode = 0;
  vm.run.dwBeginSkipKeys = 0;
  if (!vm.save.bSavePointLock) {
    vm.save.dwResumePc = vm.runner.dwPc;
    vm.save.dwSnapOffset = 0;
    neighbour_run(neighbours.interaction.save_snapshot_make, vm);
  }
  neighbour_run(neighbours.interaction.history_save, vm);
  return 1;
}

uint32_t cmd_entry_access_all(VmContext& vm) {
  if (vm.seen.lpFileSeen && vm.seen.dwFileSeenBytes >= 1) {
    std::memset(vm.seen.lpFileSeen, 0xFF, vm.seen.dwFileSeenBytes);
  }
  return 1;
}

uint32_t cmd_debug_output_window(VmContext& vm) {
  AdvDebugOutputCore(vm, kLogOutput);
  return 1;
}

uint32_t cmd_debug_window_set_state(VmContext& vm) {
  const uint32_t state = vm_pop(vm);
  const int32_t previous = orv.OrvDebugWindowGetState();
  orv.OrvDebugWindowSetState(static_cast<int32_t>(state));
  vm_set_result(vm, static_cast<uint32_t>(previous));
  return 1;
}

uint32_t cmd_debug_window_get_state(VmContext& vm) {
  vm_set_result(vm, static_cast<uint32_t>(orv.OrvDebugWindowGetState()));
  return 1;
}

uint32_t cmd_get_ebp(VmContext& vm) {
  vm_set_result(vm, vm.frame.dwEbp);
  return 1;
}

uint32_t cmd_get_stack_point(VmContext& vm) {
  vm_set_result(vm, static_cast<uint32_t>(vm.nArgCount));
  return 1;
}

uint32_t cmd_set_stack_point(VmContext& vm) {
  const int32_t depth = static_cast<int32_t>(vm_pop(vm));
  // A depth outside the stack would let later pushes and pops run past it: refused.
  if (depth < 0 || depth > kArgumentDepthMax) {
    vm_log(kLogMain, "set_stack_point %d: outside 0-%d", depth, kArgumentDepthMax);
    return 1;
  }
  vm.nArgCount = depth;
  return 1;
}

uint32_t cmd_debug_break(VmContext& vm) {
  vm_log(kLogHistory, "-- debug_break --");
  vm_log(kLogHistory, "scrpt point: 0x%X", vm.runner.dwPc);
  vm_log(kLogHistory, "stack point: 0x%X (%d / MAX 64)", vm.nArgCount, vm.nArgCount);
  vm_log(kLogHistory, "ebp : 0x%08X (%d)", vm.frame.dwEbp, vm.frame.dwEbp);
  vm_log(kLogHistory, "btn dwInvalidTime=%d", vm.buttons.dwInvalidTime);
  for (int i = 0; i < 32; ++i) {
    vm_log(kLogHistory, "btn [%d] bInit=%d / bEnable=%d", i, vm.systemButtons[i].bInit,
           vm.systemButtons[i].bEnable);
  }
  const int32_t depth = vm.nArgCount < kArgumentDepthMax ? vm.nArgCount : kArgumentDepthMax;
  for (int32_t i = depth - 1; i >= 0; --i) {
    vm_log(kLogHistory, "stack -- %d[%d (0x%08X)] --", i, vm.argStack[i], vm.argStack[i]);
  }
  const uint32_t entries = orv_list_count(vm.hReturnStack, kChannelReturns);
  for (uint32_t n = 0; n < entries; ++n) {
    const auto* e =
        reinterpret_cast<const DataEntry*>(orv_list_get_data(vm.hReturnStack, kChannelReturns, n));
    if (e) vm_log(kLogHistory, "ret stack %08x %d/%d", e->dwValue, n + 1, entries);
  }
  vm_log(kLogHistory, "-----------------");
  return 1;
}

uint32_t cmd_set_ebp(VmContext& vm) {
  vm.frame.dwEbp = vm_pop(vm);
  return 1;
}

uint32_t cmd_debug_nop(VmContext&) {
  return 1;
}

}  // namespace

namespace {
const CommandEntry kDebugCommands[] = {DEBUG_COMMANDS(COMMAND_ENTRY)};
}  // namespace

const CommandList debug_commands = command_list(kDebugCommands);

}  // namespace engine
