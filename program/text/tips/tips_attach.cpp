#include "text/tips/tips_commands.h"

namespace tips {

void tips_attach() {
  engine::command_list_install(tips_commands);
  engine::command_list_install(tips_dictionary_commands);
  engine::command_list_install(favourite_commands);
}

}  // namespace tips
