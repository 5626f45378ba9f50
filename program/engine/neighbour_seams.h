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

// A probe for tests of the frame procedure: while set, every per-frame call below reports its
// name to step(), and the calls that answer a question (marked "asks") take the answer from
// ask(). The game never sets it.
struct SeamProbe {
  void (*step)(const char* name, void* context);
  bool (*ask)(const char* name, void* context);
  void* context;
};
void set_seam_probe(const SeamProbe* probe);

// OrvEffectIs (asks): true while a screen transition runs; false until the transitions exist.
bool screen_transition_running(VmContext& vm);

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
// Ends the action lists marked to end under scene skip.
void action_clear_marked(VmContext& vm);

// ---- per frame (the frame procedure's steps; each a bounded walk of its own tables) ----
// Clears the per-frame action block of every active image record.
void image_action_blocks_clear(VmContext& vm);
// Runs the action lists one frame.
void action_update(VmContext& vm);
// True while any action slot runs in synchronous mode.
bool action_sync_run(VmContext& vm);  // asks
// Steps the .ani players and frees the finished ones.
void anim_players_update(VmContext& vm);
void layers_frame_update(VmContext& vm);
// Applies the button follow table (followers take their targets' transforms).
void button_follow_update(VmContext& vm);
// Every image's transform to its sprite.
void images_apply_all(VmContext& vm);
// Screen-effect jobs; each returns true when its effect has ended.
bool effect_shake_update(VmContext& vm);  // asks
bool effect_snow_update(VmContext& vm);  // asks
bool effect_sakura_update(VmContext& vm);  // asks
bool effect_raster_update(VmContext& vm);  // asks

// ---- text, voice and sound ----
void text_window_free(VmContext& vm);
void bgm_release_all(VmContext& vm);
void voice_release_all(VmContext& vm);
void se_release_all(VmContext& vm);
void voice_system_init(VmContext& vm);
void ret_stack_dump(VmContext& vm);
// True when a voice plays that cannot be heard (muted by the player's settings).
bool voice_playing_muted(VmContext& vm);
// True while a line voice plays.
bool voice_any_playing(VmContext& vm);
// Shows the click icon and sets the text window's mode low half to 2.
void text_click_wait_start(VmContext& vm);
// The text window's update for this frame (reveal, click and auto waits; pops their points).
void text_update(VmContext& vm);
// The sound housekeeping of a frame: finished sound effects, music (with its fade step),
// line voices (resuming paused background voices) and background voices are released.
void sound_channels_update(VmContext& vm);

// ---- interaction and persistence ----
void btn_release_all(VmContext& vm);
void select_release(VmContext& vm);
void player_name_window_destroy(VmContext& vm);
void save_snapshot_make(VmContext& vm);
void save_snapshot_read(VmContext& vm);
void button_follow_table_clear(VmContext& vm);
// The per-frame hit tests of the buttons and the system buttons: true when one reacted and
// moved the pc to its label (the caller then runs that slice).
bool btn_update(VmContext& vm);  // asks
bool system_btn_update(VmContext& vm);  // asks
// History-skip end: shows the cover image on layer 65 and commits it.
void history_skip_cover_image(VmContext& vm);

}  // namespace engine
