// The script's input commands of group 0x09.
//
// The key words (KeyBits) are the platform's sample of this frame; the pushed-key log is the
// OR of every frame's pushed keys since the script last cleared it (the frame procedure adds
// to it). A key cancel keeps keys and window events out of the input from now on, in every
// frame, until it is called again with 0; its key mask is saved with the game.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace ui {

// get_mouse_pos (x variable, y variable): -1 leaves a value out; a variable outside TempMemory
// logs a key-0 line and nothing is stored.
uint32_t cmd_get_mouse_pos(engine::VmContext& vm);
uint32_t cmd_key_canncel(engine::VmContext& vm);
uint32_t cmd_clear_push_key_log(engine::VmContext& vm);
uint32_t cmd_get_push_key_log(engine::VmContext& vm);
uint32_t cmd_get_pull_key(engine::VmContext& vm);
uint32_t cmd_get_on_key(engine::VmContext& vm);
uint32_t cmd_get_push_key(engine::VmContext& vm);
uint32_t cmd_input_clear(engine::VmContext& vm);
// get_async_key (virtual key): 1 while the key is down and the window is active, else 0.
uint32_t cmd_get_async_key(engine::VmContext& vm);
uint32_t cmd_set_cursor_pos(engine::VmContext& vm);
uint32_t cmd_get_on_pad(engine::VmContext& vm);

extern const engine::CommandList key_input_commands;

}  // namespace ui
