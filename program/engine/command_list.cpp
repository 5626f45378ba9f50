#include "engine/command_list.h"

namespace engine {

bool command_list_install(const CommandList& list) {
  bool placed = true;
  for (uint32_t i = 0; i < list.count; ++i) {
    const CommandEntry& e = list.entries[i];
    if (!e.handler) continue;
    set_command_handler(e.id, e.handler);
    placed = placed && command_lookup(e.id) == e.handler;
  }
  return placed;
}

}  // namespace engine
