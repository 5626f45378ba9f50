// The backlog's commands (backlog_command_list.h).
#pragma once

#include "engine/command_list.h"

namespace backlog {

extern const engine::CommandList backlog_commands;

}  // namespace backlog
