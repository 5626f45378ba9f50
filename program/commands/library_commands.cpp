#include "commands/library_commands.h"

#include "commands/data_file.h"
#include "commands/file_commands.h"
#include "commands/ini_profile.h"
#include "commands/math_commands.h"
#include "commands/memory_blocks.h"
#include "commands/string_commands.h"
#include "commands/system_commands.h"
#include "engine/thread_commands.h"
#include "engine/wait_commands.h"

namespace engine {

void library_commands_attach() {
  const CommandList* lists[] = {
      &string_commands,      &file_commands,   &ini_commands,     &data_file_commands,
      &access_flag_commands, &system_commands, &math_commands,    &memory_block_commands,
      &wait_commands,        &thread_commands, &message_commands, &debug_commands,
  };
  for (const CommandList* list : lists) command_list_install(*list);
}

}  // namespace engine
