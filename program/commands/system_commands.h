// System queries and script-machine controls of command group 0x12: network, touch, renderer,
// memory, disk and kernel facts; time and sleep; touch gestures routed to script code; the
// exit label, handing the script to the work thread and back, the window title, save points,
// the begin-skip mode, the script flag, leaving a sub-scene, and formatted debug output.
//
// Thread: whichever thread runs the script.
#pragma once

#include <cstdint>

#include "commands/platform_calls.h"
#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace engine {

// Pops eight values (a format and seven values) and, in debug mode, writes the formatted line
// to the debug log with key: "%d"/"%D" signed decimal, "%x"/"%X" eight upper-case hex digits,
// "%t"/"%T" a text, "%f"/"%F" a file name, "%" digits "d" a padded decimal (pieces of at most
// 15 bytes); any other "%" and the byte after it are dropped. The line stops before 2,048
// bytes with an error line. Returns 1.
uint32_t AdvDebugOutputCore(VmContext& vm, int key);

// The platform's gesture callback: records the gesture and, when the script routed its id to a
// label, calls that label as a subroutine (its ret comes back to where the script was).
void gesture_callback(const GestureRecord& record);
// The last gesture (zero before the first).
const GestureRecord& last_gesture();

// The script's own flag (process-wide, not saved).
uint8_t script_flag();

// The commands of this family, installed by library_commands_attach.
extern const CommandList system_commands;

}  // namespace engine
