// Value types of the platform's button groups (Orv/core/buttons/button_group.h).
#pragma once

#include <cstdint>

// Entry flags of OrvButtonEntryEx.
constexpr uint32_t kOrvButtonClickOnPush = 0x1;    // a left push on the hovered entry clicks it
constexpr uint32_t kOrvButtonClickOnRepeat = 0x2;  // a left key repeat clicks it too
constexpr uint32_t kOrvButtonKeepCells = 0x4;      // the group never changes the entry's cell
constexpr uint32_t kOrvButtonSilent = 0x8;         // no hover and no click sound
constexpr uint32_t kOrvButtonAlphaHit = 0x10000;   // the hit test looks at the sprite's alpha

// What one reaction call saw: three sprite handles (0 none).
struct OrvButtonReaction {
  uint32_t decided;  // the sprite whose click completed in this call (reported once)
  uint32_t hovered;  // the enabled sprite under the point
  uint32_t pending;  // the clicked sprite whose click sound still plays
};
static_assert(sizeof(OrvButtonReaction) == 12, "three 32-bit handles");
