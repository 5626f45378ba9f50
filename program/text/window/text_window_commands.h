// The text window's commands (text_window_command_list.h) and the attach function of the text
// window subsystem.
#pragma once

#include "engine/command_list.h"

namespace textwindow {

extern const engine::CommandList text_window_commands;

// Installs the window's commands, fills the text entries of the neighbour table (the per-frame
// update, the click wait, the end of a wait, the release at reset and shutdown) and sets the
// text settings to their start values. Start-up, before any script runs.
void text_window_attach();

}  // namespace textwindow
