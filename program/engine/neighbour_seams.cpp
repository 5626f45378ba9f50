#include "engine/neighbour_seams.h"

#include "engine/vm_services.h"

namespace engine {

void display_ops_commit(VmContext& vm) {
  DisplayOp op;
  while (display_op_pop(vm, &op)) {
  }
}
void action_uninit_all(VmContext&) {}
void anim_release_all(VmContext&) {}
void layers_clear_all(VmContext&) {}
void layer_shader_pool_clear(VmContext&) {}
void screen_effects_release(VmContext&) {}
void graphic_dat_release() {}

void text_window_free(VmContext&) {}
void bgm_release_all(VmContext&) {}
void voice_release_all(VmContext&) {}
void se_release_all(VmContext&) {}
void voice_system_init(VmContext&) {}
void ret_stack_dump(VmContext&) {}

void btn_release_all(VmContext&) {}
void select_release(VmContext&) {}
void player_name_window_destroy(VmContext&) {}
void save_snapshot_make(VmContext&) {}
void save_snapshot_read(VmContext&) {}
void button_follow_table_clear(VmContext&) {}
void history_skip_cover_image(VmContext&) {}

}  // namespace engine
