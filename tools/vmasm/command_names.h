// Script command names for the assembler and disassembler: name, 32-bit command id (group in
// the high 16 bits, index in the low 16) and the number of arguments the handler pops (-1 when
// the count is not checked). The table is made from the game program's command lists
// (program/command_lists.h): a command is named where it is built, nowhere else.
#pragma once

#include <cstdint>
#include <string_view>

namespace vmasm {

struct CommandName {
  const char* name;
  uint32_t id;
  int32_t argc;
};

// The entry with that name or that id; null when none.
const CommandName* command_by_name(std::string_view name);
const CommandName* command_by_id(uint32_t id);

}  // namespace vmasm
