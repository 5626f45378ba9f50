// The text window's settings commands (text_settings_command_list.h).
#pragma once

#include "engine/command_list.h"

namespace textwindow {

extern const engine::CommandList text_settings_commands;

}  // namespace textwindow
