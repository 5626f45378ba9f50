// Instruction words, operand words and labels.
//
// The code is little-endian 32-bit words from dwBase (12, after the header of Script.src) to
// the end. Every fetch stays inside the code: a fetch at a pc before dwBase or whose word would
// pass the end sets the runner's fetch fault, yields 0 and reads nothing; the runner ends the
// slice on it. An operand word names a 32-bit cell:
//
//   kind (bits 28-31)  cell
//   0, 10-15           immediate: the whole word, stored in the immediate cell
//   1                  UserMemory[R[n]]
//   2                  SystemMemory[R[n]]
//   3                  ArgumentStack[n]
//   4                  R[n]
//   5                  TempMemory[R[n] + f], f = 0 when k = 0, else k + dwEbp
//   6                  Mem.dat cell R[n] + k
//   7                  Mem.dat cell R[n] + ((Mem.dat cell k >> 16) & 0xFFF)
//   8                  FrameStack cell dwEsp - n
//   9                  dwEbp
//
// with k = bits 16-27 and n = bits 0-15. Index arithmetic wraps at 32 bits. A cell outside its
// memory (a register above 254, a stack slot above 63, a memory index past its end, a frame
// cell outside 0-511, a Mem.dat cell past the file) is the scratch cell: it reads 0, a write
// to it is lost, and a key-0 line names the pc and the word.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "engine/vm_context.h"

namespace engine {

static_assert(std::endian::native == std::endian::little, "code words are read in place");

// The word at dwPc; advances dwPc by 4. Outside the code: bFetchFault set, 0, dwPc unchanged.
inline uint32_t fetch_word(VmContext& vm) {
  ScriptRunner& r = vm.runner;
  const uint32_t pc = r.dwPc;
  if (static_cast<uint64_t>(pc) + 4 > r.dwCodeSize || pc < r.dwBase) {
    r.bFetchFault = 1;
    return 0;
  }
  uint32_t word;
  std::memcpy(&word, r.pCode + pc, 4);
  r.dwPc = pc + 4;
  return word;
}

// Kinds other than registers and immediates, and every index outside its memory.
uint32_t* decode_operand_slow(VmContext& vm, uint32_t word);

// Reads an operand word at dwPc and returns its cell (never null). Past the end of the code the
// word reads as the immediate 0 (and the fetch fault is set).
inline uint32_t* decode_operand(VmContext& vm) {
  const uint32_t word = fetch_word(vm);
  const uint32_t kind = word >> 28;
  if (kind == 4) {
    const uint32_t n = word & 0xFFFF;
    if (n < kRegisterCount) return &vm.reg[n];
  } else if (kind == 0 || kind >= 10) {
    vm.dwImmediate = word;
    return &vm.dwImmediate;
  }
  return decode_operand_slow(vm, word);
}

// A register named by a raw word (low 16 bits); the scratch cell, with a key-0 line, when the
// index is 255 or more.
uint32_t* raw_register(VmContext& vm, uint32_t word);

// Label value -> target pc (dwBase + offset). Label 0 is offset 0; label v >= 1 is the
// Point.dat word v x 4 bytes before its end. A label whose word lies outside the body of
// Point.dat gives false with a key-0 line; the caller then does not jump.
bool label_target(VmContext& vm, uint32_t label, uint32_t* pc);

// The cell count of Mem.dat (its bytes after the header, in whole words).
inline uint32_t mem_dat_cells(const VmContext& vm) {
  const uint32_t size = vm.files.dwMemDatSize;
  return size > kTableHeaderBytes ? (size - kTableHeaderBytes) / 4 : 0;
}

}  // namespace engine
