// Command lists: each family of script commands is written once, as one list of
// {id, name, argument count, handler, description}.
//
// A family keeps its list in its own *_command_list.h as an X-macro whose lines are
// `X(id, name, argc, handler, description)`: id is the 32-bit command id (group in the high 16
// bits), name the command's name in script source, argc the number of arguments the handler
// pops (-1 when not fixed), description one line for the command reference. The family's own
// file expands the list with COMMAND_ENTRY into a CommandList beside its handlers; the
// script assembler expands the same list without the handlers into its name table, so it
// links none of the game. Lists are installed explicitly at start-up by their owner's attach
// function (program/subsystems.cpp calls them), never by a static initializer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/dispatch.h"

namespace engine {

struct CommandEntry {
  uint32_t id;
  const char* name;
  int32_t argc;
  CommandHandler handler;  // null: the command is named but not built
  const char* description;
};

struct CommandList {
  const CommandEntry* entries;
  uint32_t count;
};

#define COMMAND_ENTRY(id, name, argc, handler, description) {id, name, argc, handler, description},

template <size_t N>
constexpr CommandList command_list(const CommandEntry (&entries)[N]) {
  return CommandList{entries, static_cast<uint32_t>(N)};
}

// Puts every handler of the list at its id in the dispatch table (entries without a handler
// are left alone). Returns false when an id has no place in the table (a group above 0x17 or
// an index past its group's end); the other entries are installed all the same.
// Thread: start-up, before any script runs.
bool command_list_install(const CommandList& list);

}  // namespace engine
