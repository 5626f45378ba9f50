#include "graphics/animations/ani_file.h"

#include "shared/byte_codec.h"

namespace animations {
namespace {

// Operands per opcode; -1 ends the program.
constexpr int8_t operand_count_of(uint32_t code) {
  switch (code) {
    case kOpMove:
    case kOpRotate:
    case kOpRect:
    case kOpMoveAccel:
    case kOpMoveDecel:
    case kOpMoveSine:
      return 4;
    case kOpWait:
    case kOpJump:
    case kOpWaitFixed:
      return 1;
    case kOpScale:
    case kOpAlpha:
    case kOpWaitRandom:
    case kOpSubPlayer:
    case kOpCell:
      return 2;
    case kOpAddPos:
    case kOpStep:
      return 3;
    case kOpMoveTo:
      return 5;
    case kOpCircleKeep:
    case kOpCircleBack:
      return 9;
    case kOpKeepEnd:
    case kOpNop:
    case kOpPrologue:
    case kOpPrologueEnd:
      return 0;
    default:
      return -1;
  }
}

struct OperandTable {
  int8_t count[256];
  constexpr OperandTable() : count{} {
    for (uint32_t i = 0; i < 256; ++i) count[i] = operand_count_of(i);
  }
};
constexpr OperandTable kOperands;

}  // namespace

int32_t ani_operand_count(uint8_t opcode) {
  return kOperands.count[opcode];
}

uint32_t ani_ops_end(AniView file) {
  if (!file.data || file.size < kAniTrailerBytes) return 0;
  return file.size - kAniTrailerBytes;
}

bool ani_start_offset(AniView file, uint32_t* start) {
  const uint32_t end = ani_ops_end(file);
  if (end == 0) return false;
  *start = codec::load_u32(file.data + file.size - 4);
  return *start < end;
}

bool ani_label_offset(AniView file, int32_t label, uint32_t* offset) {
  if (label < 0 || !file.data) return false;
  const uint64_t back = 12 + 4 * uint64_t(uint32_t(label));
  if (back > file.size) return false;
  *offset = codec::load_u32(file.data + (file.size - back));
  return *offset < ani_ops_end(file);
}

bool ani_read_op(AniView file, uint32_t pc, AniOp* op) {
  *op = AniOp{};
  const uint32_t end = ani_ops_end(file);
  if (pc >= end) return false;
  op->code = file.data[pc];
  const int32_t n = kOperands.count[op->code];
  const uint32_t count = n < 0 ? 0 : uint32_t(n);
  const uint64_t next = uint64_t(pc) + 1 + 4 * uint64_t(count);
  if (next > end) return false;
  for (uint32_t i = 0; i < count; ++i) {
    op->v[i] = static_cast<int32_t>(codec::load_u32(file.data + pc + 1 + 4 * i));
  }
  op->next = uint32_t(next);
  return true;
}

}  // namespace animations
