// What the script machine calls in the subsystems around it: one table of functions per
// neighbouring subsystem (layers, actions and visual effects; text, voice and sound; interaction
// and saves; screen transitions).
//
// Every entry starts null. A subsystem fills its own table once at start-up, from its attach
// function, before any script runs; after that the tables are only read. The machine calls
// every entry through neighbour_run / neighbour_ask (or checks it itself where the fallback
// does more), so a null entry costs nothing and answers as noted per entry: that answer is
// what keeps start-up, the reset and the end of the engine going while the subsystem is not
// built. Tests put tables of their own in place and restore the old ones after.
//
// Thread: the thread that runs the script (the game thread, or the work thread under the render
// lock), like the machine itself.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace engine {

using NeighbourStep = void (*)(VmContext& vm);
using NeighbourAsk = bool (*)(VmContext& vm);

// Layers, image records, actions, .ani players and screen effects.
struct LayerServices {
  // Applies every queued display request of channel 1 in order and clears the run-no-wait
  // flag. Null: the queued requests are dropped (popped and freed).
  NeighbourStep display_ops_commit;
  // The per-frame runner of the action slots.
  NeighbourStep action_update;
  // True while any action slot runs in synchronous mode (the main script then waits).
  // Null: false.
  NeighbourAsk action_sync_run;
  // Ends the action slots marked to end under scene skip.
  NeighbourStep action_clear_marked;
  // Ends the active action slot, then the marked ones (a button click). Null: the button
  // code falls back to action_clear_marked.
  NeighbourStep action_end_active_and_marked;
  // Ends every action slot and frees the push buffer.
  NeighbourStep action_uninit_all;
  // After a load: ends and empties action slots 7 and 8.
  NeighbourStep action_slots_system_clear;
  // Steps the .ani players one frame and frees the finished ones.
  NeighbourStep anim_players_update;
  NeighbourStep anim_release_all;
  // The per-frame layer work (blink, shake, linked layers).
  NeighbourStep layers_frame_update;
  // Releases all layers and resets the face table.
  NeighbourStep layers_clear_all;
  // Frees the layer-shader pool's parameter blocks and empties the pool.
  NeighbourStep layer_shader_pool_clear;
  // Clears the per-frame action block of every active image record (start of a frame).
  NeighbourStep image_action_blocks_clear;
  // Every active image's transform to its sprite (end of a frame).
  NeighbourStep images_apply_all;
  // One frame of a screen-effect job: true when the effect has ended (the caller then clears
  // the job's bit). Null: true, no effect runs.
  NeighbourAsk effect_shake_update;
  NeighbourAsk effect_snow_update;
  NeighbourAsk effect_sakura_update;
  NeighbourAsk effect_raster_update;
  // Releases the sprites of running screen effects (snow, petals, raster).
  NeighbourStep screen_effects_release;
  // End of a history skip: shows the cover image on layer 65 and commits it.
  NeighbourStep history_skip_cover_image;
  // The rate (0..1) of easing curve `type` after `now` of `max` ms: 1.0 when max is 0 or the
  // curve number names no curve (0-3 and 16-48 do); else now is clamped to max. Pure.
  // Null: the named curves run linearly (now / max).
  float (*easing_rate)(uint32_t type, uint32_t now, uint32_t max);
};

// The text window, line voices, background voices, music and sound effects.
struct TextSoundServices {
  // Frees the text window's task, sprites, icons and buffers and clears the record.
  NeighbourStep text_window_free;
  // The window's update for this frame (reveal, click and auto waits; pops their points).
  NeighbourStep text_update;
  // Shows the click icon and sets the window's mode low half to 2. Null: only the mode.
  NeighbourStep text_click_wait_start;
  // Ends the current text wait (voice cut, icon, mode word).
  NeighbourStep text_wait_end;
  // The glossary hook at the end of a text wait: continues at its end label when armed.
  NeighbourStep tips_end_hook;
  // Logs every return-stack entry with key 10.
  NeighbourStep ret_stack_dump;
  NeighbourStep bgm_release_all;
  NeighbourStep voice_release_all;
  NeighbourStep se_release_all;
  // Probes the voice files and enables the background-voice slots (engine start).
  NeighbourStep voice_system_init;
  // True when a line voice plays that cannot be heard (muted by the settings). Null: false.
  NeighbourAsk voice_playing_muted;
  // True while any line voice plays. Null: false.
  NeighbourAsk voice_any_playing;
  // An action section's sound effect: starts sound-effect channel ch (0..15, loaded by se_load)
  // looping when loop is set (the channel's loop flag is set too), with a fade-in of fade_ms
  // when fade_in is set. While the player skips (skip toggle, Ctrl, scene or history skip) a
  // one-shot effect plays nothing. False for a channel outside 0..15, which changes nothing.
  // Null: no effect plays.
  bool (*se_play_for_action)(VmContext& vm, int32_t ch, uint32_t loop, uint32_t fade_in,
                             uint32_t fade_ms);
  // A frame's sound housekeeping: finished effects, music fades, line and background voices.
  NeighbourStep sound_channels_update;
  // The voice file name of the text window's current line (voice calls match it); null or
  // empty: the line has no voice. Null entry: no voice.
  const char* (*text_voice_name)(VmContext& vm);
  // Empties the backlog: its entries, their count and the disabled word.
  NeighbourStep history_reset;
  // Resumes the background voices that a line voice paused (a voice replayed from the backlog
  // or by text_voice_play). Null: nothing.
  NeighbourStep bgv_voice_resume;
  // The text window's visible flag: a face picture shows only with the window. Null: true (a
  // face shows like any picture).
  NeighbourAsk text_window_visible;
  // Logs the window's current line "name=%s / voice=%s / %s" (key 0), so that a script error
  // can be found in the script. Null: nothing.
  NeighbourStep text_line_report;
};

// Buttons, system buttons, the choice menu, the player-name window, save snapshots and history.
struct InteractionServices {
  // The per-frame hit tests: true when a button (or system button) reacted and moved the pc to
  // its label; the caller then runs that slice. Null: false.
  NeighbourAsk btn_update;
  NeighbourAsk system_btn_update;
  NeighbourStep btn_release_all;
  // Followers take their targets' transforms (once per frame).
  NeighbourStep button_follow_update;
  NeighbourStep button_follow_table_clear;
  // Enables the system buttons that leaving a sub-scene gives back (entries 3, 17 and 18).
  NeighbourStep system_buttons_enable;
  // Releases the choice menu's sprites and clears its state.
  NeighbourStep select_release;
  // Closes an open choice menu: true when one was open. Null: false.
  NeighbourAsk select_close;
  NeighbourStep player_name_window_destroy;
  // Appends the script state to the snapshot buffer from the offset the caller set.
  NeighbourStep save_snapshot_make;
  // Reads the state back from the snapshot buffer; the pc becomes the resume pc.
  NeighbourStep save_snapshot_read;
  // Resets the script machine and restores it from the snapshot just made, so that the script
  // resumes at the snapshot's resume pc. Null: the caller falls back as it notes.
  NeighbourStep save_snapshot_reload;
  // Writes the current snapshot as the next history file, when history saving is on.
  NeighbourStep history_save;
  // Packs the held snapshot as the previous data (the state a load of slot 1000 goes back to).
  NeighbourStep save_prev_pack;
  // True when this frame's decide click (left button; its release in key-release mode) lies on
  // a switched-on button of any group: the text window then leaves the click to the button.
  // Null: false.
  NeighbourAsk btn_any_hit;
  // Shows or hides button no (-1: every button) of a group; 0 for a group outside 0-15.
  int32_t (*btn_view_ctrl)(VmContext& vm, int32_t group, int32_t no, int32_t show);
  // Switches a button's platform entry on or off and sets its base cell row.
  void (*btn_ctrl_set_pos)(VmContext& vm, int32_t group, int32_t no, int32_t on, int32_t row);
  // Returns a button to its idle state, disabled, at cell row 3.
  void (*btn_reset)(VmContext& vm, int32_t group, int32_t no);
  // The button number registered for a text-window style (1 skip, 2, 3 auto, 4 name, 8 and 9
  // record, 10 second voice) in a group; -1 for none or another style. Null: -1.
  int32_t (*btn_style_get)(VmContext& vm, int32_t group, int32_t style);
  // Shows (1) or hides (0) an open choice menu with the text window.
  void (*select_show)(VmContext& vm, int32_t on);
  // A queued display request of the buttons (ids 0x80000-0x8ffff) applied at the commit.
  void (*button_display_op)(VmContext& vm, uint32_t id, const uint32_t* args);
};

// Screen transitions.
struct TransitionServices {
  // True while a screen transition runs. Null: false.
  NeighbourAsk screen_transition_running;
  // Nonzero while screen transitions are switched on. Null: 1.
  uint32_t (*effect_enable_is)();
};

struct Neighbours {
  LayerServices layers;
  TextSoundServices text;
  InteractionServices interaction;
  TransitionServices transitions;
};

// The tables; all entries null until their subsystem attaches.
extern Neighbours neighbours;

inline void neighbour_run(NeighbourStep step, VmContext& vm) {
  if (step) step(vm);
}
inline bool neighbour_ask(NeighbourAsk ask, VmContext& vm, bool otherwise) {
  return ask ? ask(vm) : otherwise;
}

}  // namespace engine
