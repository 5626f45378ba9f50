// The pre-decoded form of the code: one entry per code word, made once at load, so that the
// interpreter runs the plain operations without fetching and classifying their words again.
//
// An entry describes the instruction that would start at that word when it is one the loop
// can run in place: the binary operations of plain_ops.h (mov, arithmetic, comparisons, logic,
// shifts) with a register destination and a register or immediate source, jmp and jz with a
// register or immediate operand, and nop, all inside the code; and for the back-to-back loop
// alone, push with a register or immediate operand and command calls (the call's words as they
// are; the handler is looked up when it runs). Every other word (returns, gosub, other operand
// kinds, registers past the file, words that run past the end) has op 0 and takes the ordinary
// path, which reads the original bytes. The code is never written after load, so
// the two stay consistent; the pc stays a byte offset into the original code.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace engine {

// The back-to-back loop's handler for an entry: one per jump form and per operation of
// plain_ops.h with a register or an immediate source, in the order of that list, so that the
// loop's table of handlers is expanded from the same list in the same order.
enum DecodedSlot : uint8_t {
  kSlotLeave,  // not pre-decoded: the loop stops here
  kSlotJmpReg,
  kSlotJmpImm,
  kSlotJzReg,
  kSlotJzImm,
  kSlotNop,
  // Only the back-to-back loop runs these (the one-at-a-time path takes the ordinary path).
  kSlotPushReg,
  kSlotPushImm,
  kSlotCall,  // src: the command id, target: the result register word
#define PLAIN_BINARY(index, function, expression) kSlot_##function##_reg, kSlot_##function##_imm,
#include "engine/plain_ops.h"
#undef PLAIN_BINARY
  kSlotCount
};

struct DecodedOp {
  uint8_t op;       // the core operation index (the word's low 16 bits), 0 = ordinary path
  uint8_t slot;     // DecodedSlot
  uint8_t src_imm;  // 1: src is an immediate value, 0: a register index
  uint8_t dst;      // destination register (binary operations; below kRegisterCount)
  uint32_t src;     // source register or immediate; the operand of jmp; the condition of jz
  uint32_t target;  // jz, and jmp with an immediate: the label's pc, resolved at load; always
                    // a multiple of 4 no further than the end of the code
  uint32_t next;    // byte offset of the word after the instruction
};
static_assert(sizeof(DecodedOp) == 16);

// Builds runner.pDecoded for the loaded code and label table (replacing an old one): one entry
// per whole code word (dwDecodedCount) and one more with op 0 after them, where a loop that
// reaches the end of the code stops. Jumps to labels outside Point.dat, and to pcs that are
// no word of the code, stay on the ordinary path, which reports them. Without memory the
// machine runs on the ordinary path alone.
void decoded_code_build(VmContext& vm);
// Frees it.
void decoded_code_free(ScriptRunner& r);

// Whether the one-at-a-time path runs the entry itself (else it takes the ordinary path).
inline bool decoded_one_at_a_time(const DecodedOp& d) {
  return d.op != 0 && d.slot < kSlotPushReg;
}

}  // namespace engine
