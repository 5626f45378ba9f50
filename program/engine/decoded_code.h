// The pre-decoded form of the code: one entry per code word, made once at load, so that the
// interpreter runs the plain operations without fetching and classifying their words again.
//
// An entry describes the instruction that would start at that word when it is one the loop
// can run in place: the binary operations of plain_ops.h (mov, arithmetic, comparisons, logic,
// shifts) with a register destination and a register or immediate source, jmp and jz with a
// register or immediate operand, and nop, all inside the code. Every other word (commands, returns,
// other operand kinds, registers past the file, words that run past the end) has op 0 and takes the
// ordinary path, which reads the original bytes. The code is never written after load, so the two
// stay consistent; the pc stays a byte offset into the original code.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace engine {

struct DecodedOp {
  uint8_t op;       // the core operation index (the word's low 16 bits), 0 = ordinary path
  uint8_t src_imm;  // 1: src is an immediate value, 0: a register index
  uint16_t dst;     // destination register (binary operations)
  uint32_t src;     // source register or immediate; the operand of jmp; the condition of jz
  uint32_t target;  // jz, and jmp with an immediate: the label's pc, resolved at load
  uint32_t next;    // byte offset of the word after the instruction
};
static_assert(sizeof(DecodedOp) == 16);

// Builds runner.pDecoded for the loaded code and label table (replacing an old one). Jumps to
// labels outside Point.dat stay on the ordinary path, which reports them. Without memory the
// machine runs on the ordinary path alone.
void decoded_code_build(VmContext& vm);
// Frees it.
void decoded_code_free(ScriptRunner& r);

}  // namespace engine
