// The program-wide table of action lines and the reset of the action system.
#include "graphics/actions/action_reset.h"

#include <cstring>

namespace engine {

ActionLine action_lines[kActionSlots][kActionLines];

void action_system_clear(VmContext& vm) {
  std::memset(static_cast<void*>(&vm.actions), 0, sizeof vm.actions);
  std::memset(static_cast<void*>(action_lines), 0, sizeof action_lines);
  action_ease_start = 0;
  action_ease_end = 1000;
}

}  // namespace engine
