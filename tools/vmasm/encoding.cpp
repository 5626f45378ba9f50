#include "vmasm/encoding.h"

namespace vmasm {
namespace {

struct Op {
  const char* name;
  OpShape shape;
};

const Op kOps[0x22] = {
    {nullptr, OpShape::kNone},         {"mov", OpShape::kTwoOperands},
    {"add", OpShape::kTwoOperands},    {"sub", OpShape::kTwoOperands},
    {"mul", OpShape::kTwoOperands},    {"div", OpShape::kTwoOperands},
    {"and", OpShape::kTwoOperands},    {"or", OpShape::kTwoOperands},
    {"xor", OpShape::kTwoOperands},    {"jmp", OpShape::kOperand},
    {"jz", OpShape::kLabelAndOperand}, {"gosub", OpShape::kOperand},
    {"eq", OpShape::kTwoOperands},     {"ne", OpShape::kTwoOperands},
    {"le", OpShape::kTwoOperands},     {"ge", OpShape::kTwoOperands},
    {"lt", OpShape::kTwoOperands},     {"gt", OpShape::kTwoOperands},
    {"lor", OpShape::kTwoOperands},    {"land", OpShape::kTwoOperands},
    {"not", OpShape::kRawRegister},    {"end", OpShape::kNone},
    {"nop", OpShape::kNone},           {"call", OpShape::kCall},
    {"ret", OpShape::kNone},           {"reset", OpShape::kNone},
    {"mod", OpShape::kTwoOperands},    {"shl", OpShape::kTwoOperands},
    {"sar", OpShape::kTwoOperands},    {"neg", OpShape::kRawRegister},
    {"pop", OpShape::kOperand},        {"push", OpShape::kOperand},
    {"enter", OpShape::kOperand},      {"leave", OpShape::kOperand},
};

}  // namespace

const char* core_op_name(uint32_t index) {
  return index < 0x22 ? kOps[index].name : nullptr;
}

uint32_t core_op_index(std::string_view name) {
  for (uint32_t i = 1; i < 0x22; ++i) {
    if (name == kOps[i].name) return i;
  }
  return 0;
}

OpShape core_op_shape(uint32_t index) {
  return index < 0x22 ? kOps[index].shape : OpShape::kNone;
}

}  // namespace vmasm
