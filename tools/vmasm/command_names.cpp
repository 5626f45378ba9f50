#include "vmasm/command_names.h"

#include <iterator>

#include "program/command_lists.h"

namespace vmasm {
namespace {

#define NAME_ENTRY(id, name, argc, handler, description) {name, id, argc},

// The names come from the interpreter's own command lists; the handlers are left out.
#define NAME_LIST(list) list(NAME_ENTRY)
const CommandName kCommands[] = {VELMORA_COMMAND_LISTS(NAME_LIST)};
#undef NAME_LIST

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
