// The screen-wide effects the script starts with group 0x10 and that then run by themselves
// frame by frame: a shake of the layers (and the text window), a flush of one colour over the
// screen, falling snow, falling petals and the platform's full-screen raster wave. A timed
// shake and a flush hold the script at a script point until they end; snow, petals and the
// raster run until effect_stop fades them out.
//
// All state is the machine's ScreenEffectState (graphics/effects/screen_effect_state.h). The
// frame procedure runs the update of each active job bit before the script and ends the flush
// itself; the updates below answer true when their effect has ended (the job bit is then
// cleared by the caller). Save data keeps the running effects as their start arguments, and a
// load starts them again through their commands.
//
// Thread: the script's thread under the render lock (commands; sheet loads on the work thread
// leave the lock) and the game thread's script update.
#pragma once

#include <cstdint>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace effects {

extern const engine::CommandList screen_effect_commands;

// One frame of each effect; true when it has ended.
bool effect_shake_update(engine::VmContext& vm);
bool effect_snow_update(engine::VmContext& vm);
bool effect_sakura_update(engine::VmContext& vm);
bool effect_raster_update(engine::VmContext& vm);
// The sprites of every effect (flakes, petals, the flush colour sprite) and the full-screen
// effect released; the script reset zeroes the record after.
void screen_effects_release(engine::VmContext& vm);

// Starts an effect again from its four stored start arguments (the order of the save data:
// for snow and petals file, keep flag, count, drift), as its command would: bit 1 shake,
// 4 snow, 8 petals, 16 raster.
void screen_effect_restart(engine::VmContext& vm, uint32_t bit, const uint32_t (&args)[4]);

// Start-up: the command list and the machine's update entries.
void screen_effects_attach();

}  // namespace effects
