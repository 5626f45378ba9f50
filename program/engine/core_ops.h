// The plain core operations: moves, arithmetic, comparisons, jumps, the argument stack and
// stack frames. They are inline so that the interpreter loop compiles them in place; none of
// them yields, ends the program, touches the script points or starts an asynchronous step.
// Arithmetic is on 32-bit words and wraps; signed operations convert explicitly so that no
// overflow is undefined. Internal to the interpreter (core_ops.cpp, script_runner.cpp).
#pragma once

#include <cstdint>

#include "engine/operand.h"
#include "engine/vm_context.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"

namespace engine {
namespace ops {

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

// mov, arithmetic, comparisons and logic: their statements are the list in plain_ops.h.
#define PLAIN_BINARY(index, function, expression)                                              \
  inline uint32_t function(VmContext& vm) {                                                    \
    return binary(                                                                             \
        vm, []([[maybe_unused]] uint32_t dst, uint32_t s) -> uint32_t { return expression; }); \
  }
#include "engine/plain_ops.h"
#undef PLAIN_BINARY

inline uint32_t op_jmp(VmContext& vm) {
  const uint32_t label = *decode_operand(vm);
  if (vm.runner.bFetchFault) return 1;
  uint32_t target;
  if (!label_target(vm, label, &target)) return 0;
  vm.runner.dwPc = target;
  return 1;
}

inline uint32_t op_jz(VmContext& vm) {
  const uint32_t label = fetch_word(vm);
  const uint32_t condition = *decode_operand(vm);
  if (vm.runner.bFetchFault || condition != 0) return 1;
  uint32_t target;
  if (!label_target(vm, label, &target)) return 0;
  vm.runner.dwPc = target;
  return 1;
}

inline uint32_t op_not(VmContext& vm) {
  const uint32_t word = fetch_word(vm);
  if (vm.runner.bFetchFault) return 1;
  uint32_t* r = raw_register(vm, word);
  *r = *r == 0 ? 1 : 0;
  return 1;
}

inline uint32_t op_neg(VmContext& vm) {
  const uint32_t word = fetch_word(vm);
  if (vm.runner.bFetchFault) return 1;
  uint32_t* r = raw_register(vm, word);
  *r = 0u - *r;
  return 1;
}

inline uint32_t op_nop(VmContext&) {
  return 1;
}

inline uint32_t op_pop(VmContext& vm) {
  uint32_t* d = decode_operand(vm);
  *d = vm_pop(vm);
  return 1;
}

inline uint32_t op_push(VmContext& vm) {
  vm_push(vm, *decode_operand(vm));
  return 1;
}

inline uint32_t op_enter(VmContext& vm) {
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

inline uint32_t op_leave(VmContext& vm) {
  const uint32_t n = *decode_operand(vm);
  vm.frame.dwEsp -= n;
  vm_pop(vm);
  return 1;
}

// Defined in core_ops.cpp: gosub (which allocates a return entry) and the operations that
// may yield, end or reset (end, ret, reset).
uint32_t op_gosub(VmContext& vm);
uint32_t op_end(VmContext& vm);
uint32_t op_ret(VmContext& vm);
uint32_t op_reset(VmContext& vm);

}  // namespace ops
}  // namespace engine
