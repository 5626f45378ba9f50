// The platform's cell animations recorded instead of run: the text window's icons only make,
// restart, time and release them. Handles are 1 + the index into `made`.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/orv_api.h"

namespace textwindowtest {

struct FakeAnimation {
  OrvHandle sprite;
  uint32_t direction;
  uint32_t ms;
  int resets = 0;
  bool released = false;
};

struct FakeAnimations {
  std::vector<FakeAnimation> made;
  std::vector<OrvHandle> reprocessed;  // OrvTaskReProcess calls

  FakeAnimation& at(OrvHandle h) { return made.at(h - 1); }
  // Puts the fake's functions into the binding table; the fixture's next bind undoes it.
  void install();
};
inline FakeAnimations* g_animations = nullptr;

inline void FakeAnimations::install() {
  g_animations = this;
  orv.OrvAnimation = [](OrvHandle sprite, uint32_t direction, uint32_t ms) {
    g_animations->made.push_back({sprite, direction, ms});
    return static_cast<OrvHandle>(g_animations->made.size());
  };
  orv.OrvAnimationReset = [](OrvHandle h) {
    ++g_animations->at(h).resets;
    return int32_t{1};
  };
  orv.OrvAnimationRelease = [](OrvHandle h) {
    g_animations->at(h).released = true;
    return int32_t{1};
  };
  orv.OrvAnimationGetTime = [](OrvHandle h) {
    return static_cast<int32_t>(g_animations->at(h).ms);
  };
  orv.OrvAnimationSetTime = [](OrvHandle h, uint32_t ms) {
    g_animations->at(h).ms = ms;
    return int32_t{1};
  };
  orv.OrvTaskReProcess = [](OrvHandle h) { g_animations->reprocessed.push_back(h); };
}

}  // namespace textwindowtest
