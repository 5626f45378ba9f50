// Emptying the action system (script reset, shutdown).
//
// The section kinds are not part of the game yet, so ending a slot only drops it: no running
// section is finished and no pending section applies its end state.
#pragma once

#include "engine/vm_context.h"

namespace engine {

// Every slot, every line and the push slot zeroed; the ease window back to 0 and 1000.
void action_system_clear(VmContext& vm);

}  // namespace engine
