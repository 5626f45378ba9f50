// The core operations: moves, arithmetic, comparisons, jumps, calls and returns, the argument
// stack, stack frames, reset and end. Arithmetic is on 32-bit words and wraps; signed
// operations convert explicitly so that no overflow is undefined.
#include <climits>

#include "engine/engine_seams.h"
#include "engine/interpreter.h"
#include "engine/neighbour_seams.h"
#include "engine/operand.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"

namespace engine {
namespace {

inline int32_t as_signed(uint32_t v) {
  return static_cast<int32_t>(v);
}

// Both operands are decoded before either is used, so dwPc passes the whole instruction.
template <typename F>
inline uint32_t binary(VmContext& vm, F f) {
  uint32_t* d = decode_operand(vm);
  const uint32_t s = *decode_operand(vm);
  *d = f(*d, s);
  return 1;
}

uint32_t op_mov(VmContext& vm) {
  return binary(vm, [](uint32_t, uint32_t s) { return s; });
}
uint32_t op_add(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) { return d + s; });
}
uint32_t op_sub(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) { return d - s; });
}
uint32_t op_mul(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) { return d * s; });
}
uint32_t op_div(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) -> uint32_t {
    if (s == 0) return d;
    // INT_MIN / -1 has no 32-bit quotient; the wrapped value INT_MIN stands in for it.
    if (d == 0x80000000u && s == 0xFFFFFFFFu) return d;
    return static_cast<uint32_t>(as_signed(d) / as_signed(s));
  });
}
uint32_t op_mod(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) -> uint32_t {
    if (s == 0) return d;
    if (d == 0x80000000u && s == 0xFFFFFFFFu) return 0;
    return static_cast<uint32_t>(as_signed(d) % as_signed(s));
  });
}
uint32_t op_and(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) { return d & s; });
}
uint32_t op_or(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) { return d | s; });
}
uint32_t op_xor(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) { return d ^ s; });
}
uint32_t op_shl(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) { return d << (s & 31); });
}
uint32_t op_sar(VmContext& vm) {
  return binary(
      vm, [](uint32_t d, uint32_t s) { return static_cast<uint32_t>(as_signed(d) >> (s & 31)); });
}
uint32_t op_eq(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) -> uint32_t { return d == s; });
}
uint32_t op_ne(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) -> uint32_t { return d != s; });
}
uint32_t op_le(VmContext& vm) {
  return binary(vm,
                [](uint32_t d, uint32_t s) -> uint32_t { return as_signed(d) <= as_signed(s); });
}
uint32_t op_ge(VmContext& vm) {
  return binary(vm,
                [](uint32_t d, uint32_t s) -> uint32_t { return as_signed(d) >= as_signed(s); });
}
uint32_t op_lt(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) -> uint32_t { return as_signed(d) < as_signed(s); });
}
uint32_t op_gt(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) -> uint32_t { return as_signed(d) > as_signed(s); });
}
uint32_t op_lor(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) -> uint32_t { return d != 0 || s != 0; });
}
uint32_t op_land(VmContext& vm) {
  return binary(vm, [](uint32_t d, uint32_t s) -> uint32_t { return d != 0 && s != 0; });
}

uint32_t op_jmp(VmContext& vm) {
  const uint32_t label = *decode_operand(vm);
  if (vm.runner.bFetchFault) return 1;
  uint32_t target;
  if (!label_target(vm, label, &target)) return 0;
  vm.runner.dwPc = target;
  return 1;
}

uint32_t op_jz(VmContext& vm) {
  const uint32_t label = fetch_word(vm);
  const uint32_t condition = *decode_operand(vm);
  if (vm.runner.bFetchFault || condition != 0) return 1;
  uint32_t target;
  if (!label_target(vm, label, &target)) return 0;
  vm.runner.dwPc = target;
  return 1;
}

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

uint32_t op_not(VmContext& vm) {
  const uint32_t word = fetch_word(vm);
  if (vm.runner.bFetchFault) return 1;
  uint32_t* r = raw_register(vm, word);
  *r = *r == 0 ? 1 : 0;
  return 1;
}

uint32_t op_neg(VmContext& vm) {
  const uint32_t word = fetch_word(vm);
  if (vm.runner.bFetchFault) return 1;
  uint32_t* r = raw_register(vm, word);
  *r = 0u - *r;
  return 1;
}

uint32_t op_end(VmContext& vm) {
  // Recorded first: the request to end may return before the program has stopped, and no
  // instruction after this one may run in this slice or any later one.
  vm.runner.bEndRequested.store(1);
  seam_end_program();
  vm.runner.bYield = 1;
  return 1;
}

uint32_t op_nop(VmContext&) {
  return 1;
}

uint32_t op_ret(VmContext& vm) {
  DataEntry entry;
  if (data_entry_pop(vm, kChannelThreadMarkers, &entry)) {
    --vm.thread.nRunning;
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
      --vm.thread.nRunning;
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
  display_ops_commit(vm);
  vm_reset(vm);
  return 1;
}

uint32_t op_pop(VmContext& vm) {
  uint32_t* d = decode_operand(vm);
  *d = vm_pop(vm);
  return 1;
}

uint32_t op_push(VmContext& vm) {
  vm_push(vm, *decode_operand(vm));
  return 1;
}

uint32_t op_enter(VmContext& vm) {
  int32_t n = as_signed(*decode_operand(vm));
  if (n > 0) {
    // The frame has 512 cells: a count that would pass them is cut there.
    const uint32_t esp = vm.frame.dwEsp;
    const uint32_t room = esp < kFrameCells ? kFrameCells - esp : 0;
    if (static_cast<uint32_t>(n) > room) {
      vm_log(kLogMain, "stack over");
      n = static_cast<int32_t>(room);
    }
    for (int32_t i = 0; i < n; ++i) vm.frame.cells[vm.frame.dwEsp++] = vm_pop(vm);
  }
  vm_push(vm, vm.frame.dwEsp);
  return 1;
}

uint32_t op_leave(VmContext& vm) {
  const uint32_t n = *decode_operand(vm);
  vm.frame.dwEsp -= n;
  vm_pop(vm);
  return 1;
}

}  // namespace

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
