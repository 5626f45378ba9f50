// The instruction set as the assembler and disassembler see it: mnemonics by operation
// index and the words each operation reads.
#pragma once

#include <cstdint>
#include <string_view>

namespace vmasm {

enum class OpShape {
  kNone,             // end nop ret reset
  kOperand,          // one operand word (jmp gosub push pop enter leave)
  kTwoOperands,      // destination, source
  kRawRegister,      // not neg
  kLabelAndOperand,  // jz: raw label word, condition operand
  kCall,             // raw command id, raw result register
};

// Mnemonic of operation index 1-0x21; null for others.
const char* core_op_name(uint32_t index);
// Index of a mnemonic, 0 when unknown ("call" included: 0x17).
uint32_t core_op_index(std::string_view name);
OpShape core_op_shape(uint32_t index);

inline uint32_t encode_operand(uint32_t kind, uint32_t k, uint32_t n) {
  return (kind << 28) | ((k & 0xFFF) << 16) | (n & 0xFFFF);
}

}  // namespace vmasm
