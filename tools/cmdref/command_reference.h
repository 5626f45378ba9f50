// The command reference (docs/commands.md), made from the interpreter's own command lists.
//
// Every list that program/command_lists.h gathers becomes one section, in the order of the
// lists: a title and a paragraph (families.cpp), then one row per command with its id, the call
// with its arguments in the order `call NAME(...)` takes them, its result and the list's
// one-line description. Argument names and results come from signatures.cpp; a command that has
// none there shows its argument count. Commands without a handler (subsystems not built yet)
// are left out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cmdref {

struct Command {
  uint32_t id;
  const char* name;
  int32_t argc;  // -1: not fixed
  const char* description;
  bool built;  // false: named for the assembler, no handler yet
};

struct Family {
  const char* list;  // the list macro's name, e.g. "WAIT_COMMANDS"
  std::vector<Command> commands;
};

// Every list of program/command_lists.h, in its order.
const std::vector<Family>& command_families();

// The title and paragraph of a family; a list without an entry in families.cpp gets a title
// made from its macro name and no paragraph.
struct FamilyText {
  const char* list;
  const char* title;
  const char* paragraph;
};
FamilyText family_text(const char* list);

// Argument names in call order ("ms, flags"; "" for none) and the result ("" for none) of a
// command; null when signatures.cpp does not know the command.
struct Signature {
  const char* name;
  const char* args;
  const char* result;
};
const Signature* signature_of(const char* name);

// The whole reference of families (default: every list) as Markdown.
std::string render_reference(const std::vector<Family>& families = command_families());

// Faults that make the reference unfit, one line each: a built command with an empty
// description, a signature whose argument names do not match the command's count. Empty when
// the reference is sound.
std::vector<std::string> reference_faults(const std::vector<Family>& families = command_families());

}  // namespace cmdref
