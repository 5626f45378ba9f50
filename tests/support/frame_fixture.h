// A script machine driven frame by frame through the frame procedure, with the frame's library
// calls and the neighbouring subsystems' per-frame calls recorded in order: the fixture puts
// recording tables of its own in the neighbour tables, and restores the old ones after.
#pragma once

#include <string>
#include <vector>

#include "engine/frame_procedure.h"
#include "engine/neighbours.h"
#include "support/vm_fixture.h"

namespace enginetest {

struct FrameRecord {
  std::vector<std::string> calls;
  uint32_t key_ex = 0;  // OrvInputGetKeyEx answers this
  int32_t movie = 0;
  std::vector<std::string> yes;  // questions the recording tables answer with true

  bool answer(const char* name) const {
    for (const std::string& q : yes) {
      if (q == name) return true;
    }
    return false;
  }
};
inline FrameRecord* g_frame_record = nullptr;

// A table entry that records its name; an asking entry answers from FrameRecord::yes.
#define FRAME_STEP(name) [](engine::VmContext&) { g_frame_record->calls.push_back(#name); }
#define FRAME_ASK(name)                     \
  [](engine::VmContext&) {                  \
    g_frame_record->calls.push_back(#name); \
    return g_frame_record->answer(#name);   \
  }

// The neighbours' per-frame entries, recording; every other entry stays null.
inline engine::Neighbours recording_neighbours() {
  engine::Neighbours n{};
  n.layers.image_action_blocks_clear = FRAME_STEP(image_action_blocks_clear);
  n.layers.action_update = FRAME_STEP(action_update);
  n.layers.action_sync_run = FRAME_ASK(action_sync_run);
  n.layers.anim_players_update = FRAME_STEP(anim_players_update);
  n.layers.layers_frame_update = FRAME_STEP(layers_frame_update);
  n.layers.images_apply_all = FRAME_STEP(images_apply_all);
  n.layers.effect_shake_update = FRAME_ASK(effect_shake_update);
  n.layers.effect_snow_update = FRAME_ASK(effect_snow_update);
  n.layers.effect_sakura_update = FRAME_ASK(effect_sakura_update);
  n.layers.effect_raster_update = FRAME_ASK(effect_raster_update);
  n.text.text_update = FRAME_STEP(text_update);
  n.text.sound_channels_update = FRAME_STEP(sound_channels_update);
  n.interaction.btn_update = FRAME_ASK(btn_update);
  n.interaction.system_btn_update = FRAME_ASK(system_btn_update);
  n.interaction.button_follow_update = FRAME_STEP(button_follow_update);
  n.transitions.screen_transition_running = FRAME_ASK(screen_transition_running);
  return n;
}
#undef FRAME_STEP
#undef FRAME_ASK

class FrameTest : public VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    g_frame_record = &record_;
    orv.OrvInputGetKeyEx = [] {
      g_frame_record->calls.push_back("OrvInputGetKeyEx");
      return g_frame_record->key_ex;
    };
    orv.IsMovie = [] {
      g_frame_record->calls.push_back("IsMovie");
      return g_frame_record->movie;
    };
    orv.OrvFrameRateSet = [](int32_t rate) {
      g_frame_record->calls.push_back("OrvFrameRateSet " + std::to_string(rate));
      return int32_t{1};
    };
    orv.OrvInputGetKeyPush = [] { return uint32_t{0}; };  // the skip state reads it too
    saved_ = engine::neighbours;
    engine::neighbours = recording_neighbours();
  }
  void TearDown() override {
    engine::neighbours = saved_;
    g_frame_record = nullptr;
    VmTest::TearDown();
    engine::orv_static_bind();
  }

  // One frame at the current fake time; then the clock moves on by step ms.
  void frame(uint32_t step = 16) {
    engine::game_frame(gs());
    g_fake_now += step;
  }
  void frames(int n, uint32_t step = 16) {
    for (int i = 0; i < n; ++i) frame(step);
  }

  FrameRecord record_;

 private:
  engine::Neighbours saved_{};
};

}  // namespace enginetest
