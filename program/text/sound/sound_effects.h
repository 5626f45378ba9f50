// Sound effects: sixteen channels (SoundState::se), each holding one effect of SE type 0, 1 or 2
// (platform types 5, 4, 6, and so that type's volume and mute switch).
//
// An effect is either loaded first and played later (se_load, then se_play: the channel stays
// reserved and keeps its sound between plays) or loaded and played in one step (se_play_ex,
// se_play_ch_ex: the frame update releases it once it has ended). A play with flag 0x2 holds the
// script until the effect ends; a skip or an advance input (Space, Enter, left button) fades it
// out over 1000 ms and lets the script go on.
//
// Play flags: 0x1 loop, 0x2 wait, 0x4 fade in over the fade time, 0x8 play even while the player
// skips, 0x20 take the pan of se_set_pan. A one-shot effect without 0x8 plays nothing while the
// skip toggle is on or Ctrl is held.
//
// Volume: an effect whose name begins with the prefix of a used SeInfo entry plays at that
// entry's volume; otherwise the channel's SeChannelOverride gives its volume and frequency
// (se_volume.h).
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace engine {

constexpr uint32_t kSeLoop = 0x1;
constexpr uint32_t kSeWait = 0x2;
constexpr uint32_t kSeFadeIn = 0x4;
constexpr uint32_t kSeIgnoreSkip = 0x8;
constexpr uint32_t kSePendingPan = 0x20;
constexpr uint32_t kSeReserved = 0x20000000;
constexpr int32_t kSeChannels = 16;

// The running blocking wait: ends it once its effect has ended (releasing an unreserved one) or
// on a skip or an advance input (fading the effect out over 1000 ms); while it lasts the calling
// command runs again next frame. False when no wait is pending, else true (the caller returns at
// once; the yield flag is set).
bool se_wait_poll(VmContext& vm);

// An action section's effect: starts channel ch's loaded effect, looping when loop is set (the
// channel's loop flag is set too) and with a fade-in of fade_ms when fade_in is set. While the
// player skips (skip toggle, Ctrl, scene or history skip) a one-shot effect plays nothing.
// False, doing nothing, for a channel outside 0..15.
bool se_play_for_action(VmContext& vm, int32_t ch, uint32_t loop, uint32_t fade_in,
                        uint32_t fade_ms);

// The sound-effect commands of group 0x05.
extern const CommandList se_commands;

}  // namespace engine
