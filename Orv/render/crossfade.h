// Sprite cross-fades: a transition handle owned by the game becomes a render node that draws
// an incoming and an outgoing sprite with complementary opacities while their own nodes skip
// them. The handle keeps the sprites' ids, so a sprite the game releases meanwhile simply
// stops being drawn. Game thread, under the render lock.
//
// Exports: OrvSpriteCreateTransitionHandle() -> id (0, last error 5, when out of memory);
// OrvSpriteSetTransition(list, incoming, outgoing, kind, start frame time, duration ms, handle)
// -> 1, 0 for a bad handle (6), no live sprite (1) or no node (6); OrvSpriteCancelTransition
// releases the outgoing sprite and unmarks the incoming one (0 for an unset handle);
// OrvSpriteGetTransitionState: 0 unset, 1 running, 2 finished (after a frame past the
// duration), 3 for a bad handle; OrvSpriteReleaseTransitionHandle cancels and frees.
#pragma once

#include <cstdint>

#include "orv/types.h"

struct DrawRequest;

struct TransitionHandle {
  int32_t kind = 0;   // 1 cross-fade; other kinds only mark the sprites
  int32_t state = 0;  // 0 unset or cancelled, 1 running, 2 finished
  OrvHandle list = 0;
  OrvHandle incoming = 0, outgoing = 0;
  int32_t minus_one = 0;
  uint32_t duration = 0;  // ms
  uint32_t start = 0;     // frame time
  OrvHandle id = 0;
};

// The pair of draw requests of a running cross-fade at the current frame time and
// its progress t; a side with no live or visible sprite has no image. False when nothing of
// the pair is to be drawn this frame.
bool crossfade_requests(TransitionHandle* handle, DrawRequest* incoming,
                        DrawRequest* outgoing, float* t);

// The draw callback of a cross-fade node; user data is the transition handle's id.
int32_t crossfade_callback(void* renderer, uintptr_t handle_id);
