// The program-wide table of action lines and the reset of the action system.
#include "graphics/actions/action_reset.h"

#include <cstring>

namespace engine {

ActionLine action_lines[kActionSlots][kActionLines];

void action_system_clear(VmContext& vm) {
  std::memset(static_cast<void*>(&vm.actions), 0, sizeof vm.actions);
  for (uint32_t s = 0; s < kActionSlots; ++s) {
    if (action_slots_written & (1u << s))
      std::memset(static_cast<void*>(action_lines[s]), 0, sizeof action_lines[s]);
  }
  action_slots_written = 0;
  action_ease_start = 0;
  action_ease_end = 1000;
}

}  // namespace engine
