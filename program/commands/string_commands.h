// The string commands of command group 0x12: the ring of string slots, copies, appends, cuts,
// searches, comparisons, the script's printf and the list of short texts that the name-entry
// dialog offers.
//
// Every text a command stores is cut to what a slot holds (2,046 bytes and the terminator) on
// a character boundary. Thread: whichever thread runs the script.
#pragma once

#include <string>
#include <vector>

#include "engine/command_list.h"
#include "engine/dispatch.h"

namespace engine {

// The short texts (at most 60 bytes each) that strlist_push gathered, oldest first; owned by
// the program for its whole run and never saved.
const std::vector<std::string>& string_list();

// Counts the display units of text (a two-byte character, "%%", "%" with up to six digits,
// CR LF, or one byte). With limit >= 1, when `limit` units are counted and another follows,
// cuts the text before it and returns -1.
int32_t strcut_count(std::string* text, int32_t limit);

// Puts the handlers of this family into the command table.
// The commands of this family, installed by library_commands_attach.
extern const CommandList string_commands;

}  // namespace engine
