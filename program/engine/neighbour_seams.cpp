#include "engine/neighbour_seams.h"

#include "engine/vm_services.h"

namespace engine {
namespace {

const SeamProbe* g_probe = nullptr;

void note(const char* name) {
  if (g_probe && g_probe->step) g_probe->step(name, g_probe->context);
}
bool ask(const char* name, bool otherwise) {
  note(name);
  if (g_probe && g_probe->ask) return g_probe->ask(name, g_probe->context);
  return otherwise;
}

}  // namespace

void set_seam_probe(const SeamProbe* probe) {
  g_probe = probe;
}

bool screen_transition_running(VmContext&) {
  return ask("screen_transition_running", false);
}

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
void action_clear_marked(VmContext&) {}

void image_action_blocks_clear(VmContext&) {
  note("image_action_blocks_clear");
}
void action_update(VmContext&) {
  note("action_update");
}
bool action_sync_run(VmContext&) {
  return ask("action_sync_run", false);
}
void anim_players_update(VmContext&) {
  note("anim_players_update");
}
void layers_frame_update(VmContext&) {
  note("layers_frame_update");
}
void button_follow_update(VmContext&) {
  note("button_follow_update");
}
void images_apply_all(VmContext&) {
  note("images_apply_all");
}
// No effect runs until the screen effects exist: each job reports its end at once.
bool effect_shake_update(VmContext&) {
  return ask("effect_shake_update", true);
}
bool effect_snow_update(VmContext&) {
  return ask("effect_snow_update", true);
}
bool effect_sakura_update(VmContext&) {
  return ask("effect_sakura_update", true);
}
bool effect_raster_update(VmContext&) {
  return ask("effect_raster_update", true);
}

void text_window_free(VmContext&) {}
void bgm_release_all(VmContext&) {}
void voice_release_all(VmContext&) {}
void se_release_all(VmContext&) {}
void voice_system_init(VmContext&) {}
void ret_stack_dump(VmContext&) {}
bool voice_playing_muted(VmContext&) {
  return false;
}
bool voice_any_playing(VmContext&) {
  return false;
}
void text_click_wait_start(VmContext& vm) {
  vm.text.dwMode = (vm.text.dwMode & 0xFFFF0000u) | 2;
}
void text_update(VmContext&) {
  note("text_update");
}
void sound_channels_update(VmContext&) {
  note("sound_channels_update");
}

void btn_release_all(VmContext&) {}
void select_release(VmContext&) {}
void player_name_window_destroy(VmContext&) {}
void save_snapshot_make(VmContext&) {}
void save_snapshot_read(VmContext&) {}
void button_follow_table_clear(VmContext&) {}
bool btn_update(VmContext&) {
  return ask("btn_update", false);
}
bool system_btn_update(VmContext&) {
  return ask("system_btn_update", false);
}
void history_skip_cover_image(VmContext&) {}

}  // namespace engine
