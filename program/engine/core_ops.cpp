// The core operations that call, return, reset or end, and the operation table.
#include "engine/core_ops.h"

#include "engine/orv_calls.h"
#include "engine/interpreter.h"
#include "engine/neighbours.h"

namespace engine {
namespace ops {
namespace {

// exit_thread zeroes the count while the call's return entry stays on the stack; the count
// stays at 0 then, so that a thread created afterwards is called again.
void thread_call_closed(VmContext& vm) {
  if (vm.thread.nRunning) --vm.thread.nRunning;
}

}  // namespace

uint32_t op_gosub(VmContext& vm) {
  const uint32_t label = *decode_operand(vm);
  if (vm.runner.bFetchFault) return 1;
  uint32_t target;
  if (!label_target(vm, label, &target)) return 0;
  const uint32_t back = vm.runner.dwPc;
  data_entry_push(vm, kChannelReturns, back, 0);
  vm.runner.dwPc = target;
  vm_log(kLogHistory, "%s", "");
  vm_log(kLogHistory, "gosub %d [%d] stack(%d)", back, target, vm.nArgCount);
  return 1;
}

uint32_t op_end(VmContext& vm) {
  // Recorded first: the request to end may return before the program has stopped, and no
  // instruction after this one may run in this slice or any later one.
  vm.runner.bEndRequested.store(1);
  orv_end_program();
  vm.runner.bYield = 1;
  return 1;
}

uint32_t op_ret(VmContext& vm) {
  DataEntry entry;
  if (data_entry_pop(vm, kChannelThreadMarkers, &entry)) {
    // A thread-return marker sends the thread back to where thread_return_push stood.
    thread_call_closed(vm);
    vm.runner.dwPc = entry.dwValue;
    vm.runner.bYield = 1;
    return 1;
  }
  if (!data_entry_pop(vm, kChannelReturns, &entry)) {
    vm_reset(vm);
    vm.runner.dwPc = vm.runner.dwRestartPc;
    for (SystemButton& b : vm.systemButtons) b = SystemButton{};
    // "戻り先がないので始めから開始します %x"
    const char* restart =
        "\x96\xdf\x82\xe8\x90\xe6\x82\xaa\x82\xc8\x82\xa2\x82\xcc\x82\xc5\x8en\x82\xdf\x82\xa9"
        "\x82\xe7\x8aJ\x8en\x82\xb5\x82\xdc\x82\xb7 %x";
    vm_log(kLogMain, restart, vm.runner.dwPc);
    vm_log(kLogHistory, restart, vm.runner.dwPc);
    return 1;
  }
  bool log = true;
  switch (entry.dwKind) {
    case 1:
    case 2:
      vm.runner.bYield = 1;
      break;
    case 3:
      thread_call_closed(vm);
      vm.runner.bYield = 1;
      log = false;
      break;
    default:
      break;
  }
  if (vm.run.nRetPairs) {
    // More pairs than the argument stack can hold only log "not stack"; stop there.
    const uint32_t pairs =
        vm.run.nRetPairs < kArgumentCells / 2 + 1 ? vm.run.nRetPairs : kArgumentCells / 2 + 1;
    for (uint32_t i = 0; i < pairs; ++i) {
      vm.frame.dwEbp = vm_pop(vm);
      vm.frame.dwEsp = vm_pop(vm);
    }
    vm.run.nRetPairs = 0;
  }
  vm.runner.dwPc = entry.dwValue;
  if (log) {
    vm_log(kLogHistory, "ret [%d] stack(%d)", vm.runner.dwPc, vm.nArgCount);
    vm_log(kLogHistory, "%s", "");
  }
  return 1;
}

uint32_t op_reset(VmContext& vm) {
  if (neighbours.layers.display_ops_commit) {
    neighbours.layers.display_ops_commit(vm);
  } else {
    DisplayOp op;  // no layers to apply them to: the queued requests only go
    while (display_op_pop(vm, &op)) {
    }
  }
  vm_reset(vm);
  return 1;
}

}  // namespace ops

using namespace ops;

const CoreOp core_op_table[kCoreOpCount] = {
    nullptr, op_mov,  op_add,   op_sub, op_mul,  op_div,   op_and,   op_or,    op_xor,
    op_jmp,  op_jz,   op_gosub, op_eq,  op_ne,   op_le,    op_ge,    op_lt,    op_gt,
    op_lor,  op_land, op_not,   op_end, op_nop,  op_call,  op_ret,   op_reset, op_mod,
    op_shl,  op_sar,  op_neg,   op_pop, op_push, op_enter, op_leave,
};

uint32_t run_core_op(VmContext& vm, uint32_t index) {
  // A switch rather than the table: the operations inline into the interpreter loop.
  switch (index) {
    case 0x01:
      return op_mov(vm);
    case 0x02:
      return op_add(vm);
    case 0x03:
      return op_sub(vm);
    case 0x04:
      return op_mul(vm);
    case 0x05:
      return op_div(vm);
    case 0x06:
      return op_and(vm);
    case 0x07:
      return op_or(vm);
    case 0x08:
      return op_xor(vm);
    case 0x09:
      return op_jmp(vm);
    case 0x0A:
      return op_jz(vm);
    case 0x0B:
      return op_gosub(vm);
    case 0x0C:
      return op_eq(vm);
    case 0x0D:
      return op_ne(vm);
    case 0x0E:
      return op_le(vm);
    case 0x0F:
      return op_ge(vm);
    case 0x10:
      return op_lt(vm);
    case 0x11:
      return op_gt(vm);
    case 0x12:
      return op_lor(vm);
    case 0x13:
      return op_land(vm);
    case 0x14:
      return op_not(vm);
    case 0x15:
      return op_end(vm);
    case 0x16:
      return op_nop(vm);
    case 0x17:
      return op_call(vm);
    case 0x18:
      return op_ret(vm);
    case 0x19:
      return op_reset(vm);
    case 0x1A:
      return op_mod(vm);
    case 0x1B:
      return op_shl(vm);
    case 0x1C:
      return op_sar(vm);
    case 0x1D:
      return op_neg(vm);
    case 0x1E:
      return op_pop(vm);
    case 0x1F:
      return op_push(vm);
    case 0x20:
      return op_enter(vm);
    case 0x21:
      return op_leave(vm);
    default:
      return 0;
  }
}

}  // namespace engine
