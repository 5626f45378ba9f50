// System buttons: 32 hooks that call a script label when their key, wheel or mouse input
// arrives.
//
//   hook 0 right button, 1 wheel towards the user... below 0, 2 wheel above 0, 3 left button or
//   C, 4-15 F1-F12, 16 Esc, 17-20 Up, Down, Left, Right, 21-31 every poll.
//
// Hooks 0 and 3 look at the released keys instead of the pushed ones in key-release mode; a
// hook with the hold mask also fires on the held repeat keys. The table is not saved; it is
// cleared when the script returns on an empty return stack.
//
// Thread: the script's thread.
#pragma once

#include <cstdint>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace ui {

// Polled by the script update when no button reacted: true when a hook fired and its label
// was entered (the caller runs the script as a system-button event).
bool system_btn_update(engine::VmContext& vm);
// Switches hooks 3, 17 and 18 on (after a choice, or on leaving a sub-scene) or off.
void system_buttons_choice_enable(engine::VmContext& vm, bool on);

extern const engine::CommandList system_button_commands;

}  // namespace ui
