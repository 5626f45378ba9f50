#include "graphics/layers/layers_attach.h"

#include "engine/neighbours.h"
#include "graphics/actions/action_reset.h"
#include "graphics/effects/layer_shader_pool.h"
#include "graphics/layers/display_ops.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/layer_commands.h"
#include "graphics/layers/layer_slots.h"

namespace layers {

void layers_attach() {
  engine::command_list_install(layer_commands);
  engine::command_list_install(layer_attr_commands);
  engine::command_list_install(image_op_commands);
  engine::command_list_install(layer_transition_commands);
  engine::command_list_install(pixel_commands);
  engine::command_list_install(layer_effect_commands);
  engine::command_list_install(image_file_commands);
  engine::command_list_install(layer_shader_commands);
  engine::command_list_install(layer_text_commands);
  engine::command_list_install(run_commands);
  engine::LayerServices& l = engine::neighbours.layers;
  l.display_ops_commit = display_ops_commit;
  l.layers_clear_all = layers_clear_all;
  l.layers_frame_update = layers_frame_update;
  l.image_action_blocks_clear = images_frame_deltas_clear;
  l.images_apply_all = images_apply_all;
  l.history_skip_cover_image = history_skip_cover_image;
  if (!l.action_uninit_all) l.action_uninit_all = engine::action_system_clear;
  l.layer_shader_pool_clear = shader_effect_pool_reset;
}

}  // namespace layers
