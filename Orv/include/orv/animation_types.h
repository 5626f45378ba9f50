// Value types of the cell animations (Orv/core/cell_animation.h).
#pragma once

#include <cstdint>

#include "orv/types.h"

// One entry of a caller's frame table for OrvAnimationEx: the source rectangle to show, how
// long it stays, and the entry that follows it (-1 ends the animation on this rectangle).
struct AnimationFrame {
  OrvRect rect;
  uint32_t duration;  // ms
  int32_t next;       // index into the same table; -1: stop here
};
static_assert(sizeof(AnimationFrame) == 24, "four edges, a duration and a successor");

// Direction bits of OrvAnimation. Across wins when both are set; neither means across.
constexpr uint32_t kOrvAnimationAcross = 0x1;  // through the columns of row 0
constexpr uint32_t kOrvAnimationDown = 0x2;    // through the rows of column 0
