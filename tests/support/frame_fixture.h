// A script machine driven frame by frame through the frame procedure, with the frame's library
// calls and the neighbouring subsystems' per-frame calls recorded in order.
#pragma once

#include <string>
#include <vector>

#include "engine/frame_procedure.h"
#include "engine/neighbour_seams.h"
#include "support/vm_fixture.h"

namespace enginetest {

struct FrameRecord {
  std::vector<std::string> calls;
  uint32_t key_ex = 0;  // OrvInputGetKeyEx answers this
  int32_t movie = 0;
  std::vector<std::string> yes;  // questions the probe answers with true
};
inline FrameRecord* g_frame_record = nullptr;

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
    probe_.step = [](const char* name, void*) { g_frame_record->calls.push_back(name); };
    probe_.ask = [](const char* name, void*) {
      for (const std::string& q : g_frame_record->yes) {
        if (q == name) return true;
      }
      return false;
    };
    engine::set_seam_probe(&probe_);
  }
  void TearDown() override {
    engine::set_seam_probe(nullptr);
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
  engine::SeamProbe probe_{};
};

}  // namespace enginetest
