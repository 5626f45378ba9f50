#include "engine/neighbours.h"
#include "text/history/backlog_commands.h"
#include "text/history/history_write.h"

namespace engine {

void history_attach() {
  command_list_install(backlog::backlog_commands);
  neighbours.text.history_reset = history_reset;
}

}  // namespace engine
