// The tips-word commands of group 0x02 over the VmContext's TextTipsState.
#include "text/tips/tips_commands.h"

#include <cstring>
#include <string_view>

#include "commands/command_util.h"
#include "engine/operand.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "text/render/text_tips.h"
#include "text/tips/tips_command_list.h"

namespace tips {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::TextTip;
using engine::TextTipsState;
using engine::vm_log;
using engine::vm_pop;
using engine::vm_set_result;
using engine::VmContext;

// "バッファ指定ミス": a part number the tips strings do not have.
#define TIPS_BAD_PART \
  "\x83o\x83"         \
  "b\x83t\x83@\x8ew\x92\xe8\x83~\x83X"

uint32_t label_offset(VmContext& vm, uint32_t label) {
  uint32_t pc = 0;
  if (label == 0 || !engine::label_target(vm, label, &pc)) return 0;
  return pc - vm.runner.dwBase;
}

// A tip index from the script names one of the 32 records, or none.
TextTip* tip_at(VmContext& vm, uint32_t index) {
  if (index < engine::kTipCount) return &vm.tips.tips[index];
  vm_log(kLogMain, "tips : no tip %d", static_cast<int32_t>(index));
  return nullptr;
}

uint32_t cmd_tips_set_process(VmContext& vm) {
  const uint32_t begin = vm_pop(vm);
  const uint32_t end = vm_pop(vm);
  TextTipsState& t = vm.tips;
  t.dwBeginLabel = label_offset(vm, begin);
  t.dwEndLabel = label_offset(vm, end);
  for (TextTip& tip : t.tips) tip = TextTip{};
  return 1;
}

uint32_t cmd_tips_get_last_index(VmContext& vm) {
  const int32_t count = vm.tips.nCount;
  vm_set_result(vm, static_cast<uint32_t>(count > 0 ? count - 1 : 0));
  return 1;
}

uint32_t cmd_tips_get_str(VmContext& vm) {
  const uint32_t index = vm_pop(vm);
  const uint32_t var = vm_pop(vm);
  const uint32_t part = vm_pop(vm);
  if (part > 2) {
    vm_log(kLogMain, "tips_get_str : [%d]" TIPS_BAD_PART, static_cast<int32_t>(part));
    vm_set_result(vm, 0);
    return 0;
  }
  char* slot = engine::is_string_handle(var) ? engine::slot_of(vm, var) : nullptr;
  if (!slot) {
    vm_log(kLogMain, "tips_get_str : " CMD_NOT_STRING_TYPE);
    vm_set_result(vm, 0);
    return 0;
  }
  const TextTip* tip = tip_at(vm, index);
  if (!tip) {
    vm_set_result(vm, 0);
    return 0;
  }
  const char* text = tip->strings[part];
  engine::slot_store(slot, std::string_view(text, strnlen(text, engine::kTipStringBytes)));
  vm_set_result(vm, static_cast<uint32_t>(tip->fields[0]));
  vm_log(kLogHistory, "tips_get_str %s", slot);
  return 1;
}

int32_t tip_param(VmContext& vm, const TextTip& tip, uint32_t param) {
  const engine::TextWindow& tw = vm.text;
  if (param <= 8) return tip.fields[param];
  switch (param) {
    case 9:
      return (tip.fields[engine::kTipWrapped] & 0xFF) ? 1 : 0;
    case 10:
    case 11: {
      const int32_t effect = orv.OrvFontGetEffect ? orv.OrvFontGetEffect() : 0;
      const int32_t grow = effect == 3 ? 4 : (effect == 1 || effect == 2) ? 2 : 0;
      return tip.fields[param - 1] + grow;
    }
    case 12:
      return tw.nCharSize;
    case 13:
      return tw.x;
    case 14:
      return tw.y;
    case 15:
      return tw.nNameX;
    case 16:
      return tw.nNameY;
    case 17:
      return tw.nRubySize;
    case 18:
    case 19:
    case 20:
      return tip.fields[param - 6];
    default:
      return 0;
  }
}

uint32_t cmd_tips_get_param(VmContext& vm) {
  const uint32_t index = vm_pop(vm);
  const uint32_t param = vm_pop(vm);
  vm_log(kLogHistory, "tips_get_param %d %d", static_cast<int32_t>(index),
         static_cast<int32_t>(param));
  const TextTip* tip = tip_at(vm, index);
  vm_set_result(vm, tip ? static_cast<uint32_t>(tip_param(vm, *tip, param)) : 0);
  return 1;
}

uint32_t cmd_tips_reset(VmContext& vm) {
  TextTipsState& t = vm.tips;
  vm_log(kLogHistory, "tips_reset %d", t.nCount);
  if (t.nCount >= 0 && t.nCount < static_cast<int32_t>(engine::kTipCount)) {
    t.tips[t.nCount] = TextTip{};
  }
  t.tips[0] = TextTip{};
  t.nCount = 0;
  t.dwState = engine::kTipsBeginEnabled;
  return 1;
}

uint32_t cmd_tips_search(VmContext& vm) {
  const uint32_t var = vm_pop(vm);
  const char* slot = engine::is_string_handle(var) ? engine::slot_of(vm, var) : nullptr;
  if (!slot) {
    vm_log(kLogMain, "tips_search : " CMD_NOT_STRING_TYPE);
    vm_set_result(vm, 0xFFFFFFFFu);
    return 1;
  }
  const TextTipsState& t = vm.tips;
  const int32_t count = t.nCount < static_cast<int32_t>(engine::kTipCount)
                            ? t.nCount
                            : static_cast<int32_t>(engine::kTipCount);
  int32_t found = -1;
  for (int32_t i = count - 1; i >= 0; --i) {
    if (std::strncmp(t.tips[i].strings[0], slot, engine::kTipStringBytes) == 0) {
      found = i;
      break;
    }
  }
  vm_set_result(vm, static_cast<uint32_t>(found));
  vm_log(kLogHistory, "tips_search [%s] %d", slot, found);
  return 1;
}

uint32_t cmd_tips_set_color(VmContext& vm) {
  const uint32_t colour1 = vm_pop(vm);
  const uint32_t colour2 = vm_pop(vm);
  TextTipsState& t = vm.tips;
  if (colour1 != 0xFFFFFFFFu) {
    t.dwColour1 = colour1;
    t.dwColour2 = colour2;
  }
  t.bColoursOn = colour1 != 0xFFFFFFFFu;
  vm_log(kLogHistory, "tips_set_color [%d] [%x][%x]", t.bColoursOn, colour1, colour2);
  return 1;
}

uint32_t cmd_tips_stop(VmContext& vm) {
  vm.tips.dwState = engine::kTipsEndRequested;
  vm_log(kLogHistory, "tips_stop %d", vm.tips.nCount);
  return 1;
}

uint32_t cmd_tips_get_flag(VmContext& vm) {
  vm_set_result(vm, vm.tips.bHookRunning);
  vm_log(kLogHistory, "[%d]tips_get_flag", vm.tips.bHookRunning);
  return 1;
}

uint32_t cmd_tips_init(VmContext& vm) {
  std::memset(&vm.tips, 0, sizeof vm.tips);
  vm_log(kLogHistory, "tips_init");
  return 1;
}

uint32_t cmd_tips_pause(VmContext& vm) {
  const uint8_t before = vm.tips.bHookRunning;
  vm_set_result(vm, before);
  vm.tips.bHookRunning = before ? 0 : 1;
  vm_log(kLogHistory, "[%d]tips_pause", before);
  return 1;
}

constexpr engine::CommandEntry kEntries[] = {TIPS_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList tips_commands = engine::command_list(kEntries);

}  // namespace tips
