#include "text/window/text_settings.h"

#include <cstddef>

#include "engine/game_state.h"

namespace engine {

void text_settings_reset() {
  text_settings = TextSettings{};
  text_settings.render = textrender::text_render_settings_default();
  text_settings.bReadColor = 0;
  text_settings.dwReadColor = 0x00A8A8A8;
  text_settings.dwReadShadowColor = 0;
  text_settings.nPriority = kTextPriorityDefault;
}

SystemSettings& player_settings(VmContext& vm) {
  return reinterpret_cast<GameState*>(reinterpret_cast<char*>(&vm) - offsetof(GameState, vm))
      ->settings;
}

}  // namespace engine
