// Waits (command group 0x07): for a time, for a click, until a time measured from a common
// starting point, or for one frame.
//
// Every wait but the click wait is a retry wait: the call runs again each frame until its
// condition holds, and a nonzero wait length tells a repeated call from a new one. The click
// wait parks the main script on a script point and leaves the waiting to the text window's
// per-frame update. Every wait gives way at once while scene or history skip is on. The state
// is VmContext::wait, which vm_reset clears and no save carries. Game thread.
#pragma once

#include "engine/command_list.h"

namespace engine {

// The commands of this family, installed by library_commands_attach.
extern const CommandList wait_commands;

}  // namespace engine
