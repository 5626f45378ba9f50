#include "graphics/animations/animations_attach.h"

#include "engine/neighbours.h"
#include "graphics/animations/anim_commands.h"
#include "graphics/animations/anim_player.h"

namespace animations {

void animations_attach() {
  engine::command_list_install(anim_layer_commands);
  engine::LayerServices& l = engine::neighbours.layers;
  l.anim_players_update = anim_update_all;
  l.anim_release_all = anim_release_all;
}

}  // namespace animations
