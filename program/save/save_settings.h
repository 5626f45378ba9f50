// The player's settings around a machine (the newest save number, the all-mosaic switch): every
// VmContext lives inside the main task's GameState.
#pragma once

#include <cstddef>

#include "engine/game_state.h"

namespace save {

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
inline engine::SystemSettings& settings_of(engine::VmContext& vm) {
  return reinterpret_cast<engine::GameState*>(reinterpret_cast<char*>(&vm) -
                                              offsetof(engine::GameState, vm))
      ->settings;
}
#pragma GCC diagnostic pop

}  // namespace save
