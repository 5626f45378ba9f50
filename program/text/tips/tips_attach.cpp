#include "engine/neighbours.h"
#include "text/render/text_tips.h"
#include "text/tips/tips_commands.h"

namespace tips {

void tips_attach() {
  engine::command_list_install(tips_commands);
  engine::command_list_install(tips_dictionary_commands);
  engine::command_list_install(favourite_commands);
  // Leaving a sub-scene ends a text wait too, so the glossary's end label runs there as well.
  engine::neighbours.text.tips_end_hook = engine::tips_end_hook;
}

}  // namespace tips
