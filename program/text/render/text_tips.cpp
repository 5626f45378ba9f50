#include "text/render/text_tips.h"

#include "engine/vm_context.h"
#include "engine/vm_services.h"

namespace engine {

namespace {
// Calls the hook label like a gosub: the return entry first, the jump only when it was kept.
bool call_label(VmContext& vm, uint32_t label) {
  if (!data_entry_push(vm, kChannelReturns, vm.runner.dwPc, 0)) return false;
  vm.runner.dwPc = vm.runner.dwBase + label;
  return true;
}
}  // namespace

void tips_begin_hook(VmContext& vm) {
  TextTipsState& t = vm.tips;
  if (t.bHookRunning || !(t.dwState & kTipsBeginEnabled) || t.nCount < 0 || !t.dwBeginLabel) return;
  if (call_label(vm, t.dwBeginLabel)) t.bHookRunning = 1;
}

void tips_end_hook(VmContext& vm) {
  TextTipsState& t = vm.tips;
  if (!(t.dwState & kTipsEndRequested) || t.nCount < 0 || !t.dwEndLabel) return;
  if (call_label(vm, t.dwEndLabel)) t.bHookRunning = 0;
}

}  // namespace engine
