#include "engine/decoded_code.h"

#include <cstring>
#include <new>

namespace engine {
namespace {

uint32_t word_at(const ScriptRunner& r, uint32_t pc) {
  uint32_t w;
  std::memcpy(&w, r.pCode + pc, 4);
  return w;
}

// A register (kind 4, index below 255) or an immediate (kinds 0, 10-15) operand.
bool simple_operand(uint32_t word, uint8_t* imm, uint32_t* value) {
  const uint32_t kind = word >> 28;
  if (kind == 4 && (word & 0xFFFF) < kRegisterCount) {
    *imm = 0;
    *value = word & 0xFFFF;
    return true;
  }
  if (kind == 0 || kind >= 10) {
    *imm = 1;
    *value = word;
    return true;
  }
  return false;
}

// The operations of the list in plain_ops.h: a register destination and a register or
// immediate source.
bool binary_op(uint32_t index) {
  switch (index) {
#define PLAIN_BINARY(index, function, expression) case index:
#include "engine/plain_ops.h"
#undef PLAIN_BINARY
    return true;
    default:
      return false;
  }
}

// The slot of a binary operation with a register source (the immediate one follows it).
DecodedSlot binary_slot(uint32_t index) {
  switch (index) {
#define PLAIN_BINARY(index, function, expression) \
  case index:                                     \
    return kSlot_##function##_reg;
#include "engine/plain_ops.h"
#undef PLAIN_BINARY
    default:
      return kSlotLeave;
  }
}

// The label's pc as label_target computes it; false for a label outside Point.dat.
bool resolve_label(const VmContext& vm, uint32_t label, uint32_t* pc) {
  uint32_t offset = 0;
  if (label != 0) {
    const uint32_t size = vm.files.dwPointDatSize;
    const uint32_t words = size > kTableHeaderBytes ? (size - kTableHeaderBytes) / 4 : 0;
    if (label > words) return false;
    std::memcpy(&offset, vm.files.pPointDat + size - 4u * label, 4);
  }
  *pc = vm.runner.dwBase + offset;
  // The loops find a target's entry by its word; any other pc is the ordinary path's.
  return (*pc & 3) == 0 && *pc <= vm.runner.dwCodeSize;
}

DecodedOp decode_at(const VmContext& vm, uint32_t pc) {
  const ScriptRunner& r = vm.runner;
  DecodedOp d{};
  const uint32_t word = word_at(r, pc);
  if ((word >> 16) != 1) return d;
  const uint32_t index = word & 0xFFFF;
  // Words the instruction needs after its own, all inside the code.
  auto fits = [&](uint32_t words) {
    return static_cast<uint64_t>(pc) + 4 + 4ull * words <= r.dwCodeSize;
  };
  if (binary_op(index)) {
    if (!fits(2)) return d;
    uint8_t dst_imm;
    uint32_t dst;
    if (!simple_operand(word_at(r, pc + 4), &dst_imm, &dst) || dst_imm) return d;
    if (!simple_operand(word_at(r, pc + 8), &d.src_imm, &d.src)) return d;
    d.dst = static_cast<uint8_t>(dst);
    d.next = pc + 12;
    d.slot = static_cast<uint8_t>(binary_slot(index) + d.src_imm);
  } else if (index == 0x09) {  // jmp
    if (!fits(1) || !simple_operand(word_at(r, pc + 4), &d.src_imm, &d.src)) return d;
    // A jump through a register finds its label when it runs.
    if (d.src_imm && !resolve_label(vm, d.src, &d.target)) return d;
    d.next = pc + 8;
    d.slot = d.src_imm ? kSlotJmpImm : kSlotJmpReg;
  } else if (index == 0x0A) {  // jz
    if (!fits(2) || !simple_operand(word_at(r, pc + 8), &d.src_imm, &d.src)) return d;
    if (!resolve_label(vm, word_at(r, pc + 4), &d.target)) return d;
    d.next = pc + 12;
    d.slot = d.src_imm ? kSlotJzImm : kSlotJzReg;
  } else if (index == 0x1F) {  // push
    if (!fits(1) || !simple_operand(word_at(r, pc + 4), &d.src_imm, &d.src)) return d;
    d.next = pc + 8;
    d.slot = d.src_imm ? kSlotPushImm : kSlotPushReg;
  } else if (index == 0x17) {  // call: the id and the result register word, as they are
    if (!fits(2)) return d;
    d.src = word_at(r, pc + 4);
    d.target = word_at(r, pc + 8);
    d.next = pc + 12;
    d.slot = kSlotCall;
  } else if (index == 0x16) {  // nop
    d.next = pc + 4;
    d.slot = kSlotNop;
  } else {
    return d;
  }
  d.op = static_cast<uint8_t>(index);
  return d;
}

}  // namespace

void decoded_code_build(VmContext& vm) {
  ScriptRunner& r = vm.runner;
  decoded_code_free(r);
  if (!r.pCode || r.dwCodeSize < r.dwBase + 4) return;
  const uint32_t count = r.dwCodeSize / 4;
  auto* table = new (std::nothrow) DecodedOp[count + 1]();  // the last: the end of the code
  if (!table) return;
  // Entries by byte offset / 4; only offsets from dwBase can be fetched.
  for (uint32_t i = r.dwBase / 4; i < count; ++i) table[i] = decode_at(vm, i * 4);
  r.pDecoded = table;
  r.dwDecodedCount = count;
}

void decoded_code_free(ScriptRunner& r) {
  delete[] r.pDecoded;
  r.pDecoded = nullptr;
  r.dwDecodedCount = 0;
}

}  // namespace engine
