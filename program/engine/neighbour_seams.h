// What the script machine calls in the layer, text-and-sound and interaction subsystems.
//
// Those subsystems are built later; until then each call here does nothing, so that start-up,
// the reset and the end of the engine go on. Each function keeps the name and the contract
// its subsystem will give it; when the subsystem lands, its own definition replaces the empty
// one here.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace engine {

// ---- layers, actions and visual effects ----
// Applies every queued display request of channel 1 in order and clears the run-no-wait flag.
// Until the layer commands exist it only drops the queued requests.
void display_ops_commit(VmContext& vm);
void action_uninit_all(VmContext& vm);
void anim_release_all(VmContext& vm);
void layers_clear_all(VmContext& vm);
void layer_shader_pool_clear(VmContext& vm);
// Releases the sprites of running screen effects (snow, petals, raster).
void screen_effects_release(VmContext& vm);
void graphic_dat_release();

// ---- text, voice and sound ----
void text_window_free(VmContext& vm);
void bgm_release_all(VmContext& vm);
void voice_release_all(VmContext& vm);
void se_release_all(VmContext& vm);
void voice_system_init(VmContext& vm);
void ret_stack_dump(VmContext& vm);

// ---- interaction and persistence ----
void btn_release_all(VmContext& vm);
void select_release(VmContext& vm);
void player_name_window_destroy(VmContext& vm);
void save_snapshot_make(VmContext& vm);
void save_snapshot_read(VmContext& vm);
void button_follow_table_clear(VmContext& vm);
// History-skip end: shows the cover image on layer 65 and commits it.
void history_skip_cover_image(VmContext& vm);

}  // namespace engine
