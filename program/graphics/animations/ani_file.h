// The .ani animation file: a byte-coded program that moves, scales, fades, rotates and re-crops
// one image over time.
//
// Layout (little-endian):
//   0 ..            the op stream: an opcode byte, then its operands, signed 32-bit words
//                   stored without alignment right behind the opcode
//   size - 12 - 4 L the op-stream offset of label L (L = 0, 1, ...; label 0 nearest the end)
//   size - 8        a word the player does not read
//   size - 4        the start offset: where the player begins
// A program whose start byte is 0xFC has a prologue, from there up to the first 0xFD, that
// runs once when the file is loaded.
//
// Every offset and index in the file is checked here before it is used: an op, a label or a
// start offset outside the op stream (bytes 0 to size - 8) is refused, never read.
// Pure functions over bytes the caller owns; any thread.
#pragma once

#include <cstdint>

namespace animations {

// Opcodes by name where the player treats them apart.
enum AniOpcode : uint8_t {
  kOpMove = 0,
  kOpWait = 1,
  kOpScale = 2,
  kOpAlpha = 3,
  kOpRotate = 4,
  kOpAddPos = 7,
  kOpWaitRandom = 8,
  kOpJump = 10,
  kOpSubPlayer = 11,
  kOpCell = 12,
  kOpRect = 13,
  kOpMoveAccel = 14,
  kOpMoveDecel = 15,
  kOpMoveTo = 17,
  kOpMoveSine = 18,
  kOpKeepEnd = 19,
  kOpStep = 20,
  kOpCircleKeep = 21,
  kOpCircleBack = 22,
  kOpNop = 251,
  kOpPrologue = 252,
  kOpPrologueEnd = 253,
  kOpWaitFixed = 254,
  kOpEnd = 255,
};

constexpr uint32_t kAniMaxOperands = 9;
// The two words at the end of the file (an unused word and the start offset).
constexpr uint32_t kAniTrailerBytes = 8;

// Operand count of an opcode; -1 for the opcodes that end a program (5, 6, 9, 16, 23-250, 255).
int32_t ani_operand_count(uint8_t opcode);

struct AniOp {
  uint8_t code;
  int32_t v[kAniMaxOperands];  // operands in file order, zero past the op's count
  uint32_t next;               // offset of the following opcode
};

struct AniView {
  const uint8_t* data;
  uint32_t size;
};

// The end of the op stream: size - 8, or 0 for a file too short to hold the trailer.
uint32_t ani_ops_end(AniView file);
// The start offset, when the file has its trailer and the offset lies in the op stream.
bool ani_start_offset(AniView file, uint32_t* start);
// The offset of label `label`, when the label's word lies in the file (0 <= label and
// 12 + 4 label <= size) and the offset it holds lies in the op stream.
bool ani_label_offset(AniView file, int32_t label, uint32_t* offset);
// Decodes the op at pc. False when pc or one of the op's operands lies outside the op stream.
// An op that ends the program decodes with no operands.
bool ani_read_op(AniView file, uint32_t pc, AniOp* op);

}  // namespace animations
