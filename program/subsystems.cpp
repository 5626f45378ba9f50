#include "subsystems.h"

#include "commands/library_commands.h"

void attach_subsystems() {
  engine::library_commands_attach();
}
