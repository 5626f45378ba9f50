#include "vmasm/command_names.h"

#include <iterator>

#include "program/commands/access_flag_command_list.h"
#include "program/commands/data_file_command_list.h"
#include "program/commands/debug_command_list.h"
#include "program/commands/file_command_list.h"
#include "program/commands/ini_command_list.h"
#include "program/commands/math_command_list.h"
#include "program/commands/memory_block_command_list.h"
#include "program/commands/pending_command_list.h"
#include "program/commands/string_command_list.h"
#include "program/commands/system_command_list.h"
#include "program/engine/thread_command_list.h"
#include "program/engine/wait_command_list.h"

namespace vmasm {
namespace {

#define NAME_ENTRY(id, name, argc, handler, description) {name, id, argc},

// The names come from the interpreter's own command lists; the handlers are left out.
// clang-format off
const CommandName kCommands[] = {
    WAIT_COMMANDS(NAME_ENTRY)
    DEBUG_COMMANDS(NAME_ENTRY)
    STRING_COMMANDS(NAME_ENTRY)
    FILE_COMMANDS(NAME_ENTRY)
    INI_COMMANDS(NAME_ENTRY)
    DATA_FILE_COMMANDS(NAME_ENTRY)
    ACCESS_FLAG_COMMANDS(NAME_ENTRY)
    SYSTEM_COMMANDS(NAME_ENTRY)
    MEMORY_BLOCK_COMMANDS(NAME_ENTRY)
    MATH_COMMANDS(NAME_ENTRY)
    THREAD_COMMANDS(NAME_ENTRY)
    MESSAGE_COMMANDS(NAME_ENTRY)
    PENDING_COMMANDS(NAME_ENTRY)
};
// clang-format on

#undef NAME_ENTRY

}  // namespace

const CommandName* command_by_name(std::string_view name) {
  for (const CommandName& c : kCommands) {
    if (name == c.name) return &c;
  }
  return nullptr;
}

const CommandName* command_by_id(uint32_t id) {
  for (const CommandName& c : kCommands) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

}  // namespace vmasm
