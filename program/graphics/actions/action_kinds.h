// The action kinds: what one section of an action line does, as a set of up to four
// operations per kind, indexed by the section's kind number (0-28).
//
//   create(section)     starts the section: returns its state record (OrvMemoryAlloc, zeroed),
//                       a non-null marker for kinds that keep none, or null when the section
//                       cannot start yet (the runner tries again next frame). Gets a copy.
//   step(state)         once per frame while the section runs: adds the progress reached so far
//                       to the image's per-frame deltas (FrameDeltas).
//   finish(state, stop) ends the running section and frees its record: stop 0 commits the end
//                       state into the image's actionSet, stop nonzero the state reached now.
//   apply(section)      commits the end state of a section that never started.
//
// Any entry may be empty. Kinds that act on an image take its image_table index from p0
// (0xFFFFFFFF when the script's image number did not decode: every operation then does
// nothing). Progress is computed from the frame time (OrvtimeGetTime) and the start time that
// create stores.
//
// Thread: the script's thread, under the render lock.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace actions {

using engine::ActionSection;

struct ActionKindOps {
  void* (*create)(engine::VmContext& vm, ActionSection section);
  void (*step)(engine::VmContext& vm, void* state);
  void (*finish)(engine::VmContext& vm, void* state, uint32_t stop);
  void (*apply)(engine::VmContext& vm, const ActionSection& section);
};

// The operations of a kind; a kind outside 0-28 has none.
const ActionKindOps& action_kind_ops(uint32_t kind);

// The marker a kind without a state record leaves in its line (no operation reads it).
inline void* const kNoStateMarker = reinterpret_cast<void*>(uintptr_t{1});

// The kinds by family, each in its own file; action_kind_ops puts them at their numbers.
extern const ActionKindOps kStraight, kDecele, kAccele, kStraight2, kRotate, kRotateEx, kMovepos,
    kStraightDecele, kEaseMove, kMoveRect;                         // moves (action_moves)
extern const ActionKindOps kAlpha, kAlphaEase, kColor, kSetAlpha;  // colour (action_colors)
extern const ActionKindOps kScale, kScaleEx, kScaleXY;             // scale (action_scales)
extern const ActionKindOps kShake, kShake2, kCircle;  // (action_shakes; 18 and 19 share)
extern const ActionKindOps kSePlayKind, kAnimation, kAnimationEx, kGraphShow, kGraphHide;
extern const ActionKindOps kMaskWipe, kMaskWipeReverse;  // (action_masks)

}  // namespace actions
