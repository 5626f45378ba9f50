// The movies subsystem as the script machine sees it: the commands of group 0x0b
// (movie_command_list.h).
//
// A full-screen movie is handed to the platform's video player; while it plays the frame
// procedure does no game work, so the script resumes after it. A movie sprite lives in a layer
// like any picture (loaded by the ".mpg" row of the sprite loader) and these commands start,
// stop, loop and ask it. The movie volume and its mute switch are SystemMemory words 507 and
// 508. msp_wait keeps the layer and the sprite it waits for (VmContext::movieWait): when the
// layer no longer holds that sprite (released by a button label or the script thread), the
// wait ends instead of asking a freed record.
#pragma once

#include "engine/command_list.h"

namespace movies {

extern const engine::CommandList movie_commands;

// Installs the command list. Start-up, before any script runs.
void movies_attach();

}  // namespace movies
