// Skip modes: the player's skip and auto switches and the two fast-forward modes.
//
// Skip mode (the skip toggle, bit 0 of get_skip_state) and auto mode are what the player
// switches, usually through the text window's system buttons; they stay on until the script
// switches them off. Turning skip on is refused while the current line has not been read
// before and the player has not allowed skipping unread text: the script then receives
// message 1 (parameter 0) and can tell the player. Each switch also changes the text window's
// waiting icon (skip, auto or click) and lights its button of the window's button group (base
// cell row 3 on, 0 off).
//
// Scene skip and history skip run the script without waiting (every wait, point and yield is
// passed over) until they are cancelled: a scene skip by cancel_scene_skip, a choice or, when
// started with argument 0, the first unread line; a history skip by reaching its target
// position, cancel_history_skip or a choice. A skip passes over pictures and sounds it never
// builds, so a cancel takes a snapshot where the skip got to and reloads it: the machine is
// reset and rebuilt from that snapshot and the player sees the state the script reached.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace ui {

// skip_set (on): see above; logs "skip_set %d", "cancel skip_set" when refused, "not skip
// button" without a button group.
uint32_t cmd_skip_set(engine::VmContext& vm);
// skip_is: result the skip toggle.
uint32_t cmd_skip_is(engine::VmContext& vm);
// auto_set (on): never refused.
uint32_t cmd_auto_set(engine::VmContext& vm);
// auto_is: result the auto word.
uint32_t cmd_auto_is(engine::VmContext& vm);
// scene_skip (argument): 0 stops at the first unread line, anything else skips unread lines
// too. Clears the script points, so the slice that ran the command goes on at once under the
// skip (the skip starts in the same frame).
uint32_t cmd_scene_skip(engine::VmContext& vm);
// cancel_scene_skip: nothing without a scene skip; else logs its duration (key 0) and reloads
// a snapshot taken at the command's return address (unless the save point is locked, when the
// held snapshot is reloaded).
uint32_t cmd_cancel_scene_skip(engine::VmContext& vm);
// Milliseconds since the running scene skip began, for the duration lines of its cancels.
uint32_t scene_skip_elapsed_ms();
// history_skip (target pc), cancel_history_skip, is_history_skip.
uint32_t cmd_history_skip(engine::VmContext& vm);
uint32_t cmd_cancel_history_skip(engine::VmContext& vm);
uint32_t cmd_is_history_skip(engine::VmContext& vm);
// adv_skip_set: result get_skip_state() (a question, whatever its name says).
uint32_t cmd_adv_skip_set(engine::VmContext& vm);

// The commands of group 0x09 (these and the window questions of window_queries.h), installed by
// ui_attach.
extern const engine::CommandList skip_mode_commands;

}  // namespace ui
