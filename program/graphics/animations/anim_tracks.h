// Animation tracks: the timed changes an .ani program starts (a move along one of four
// curves, a scale, an alpha fade, a rotation, a circle, a stepped walk, a wait).
//
// Each frame a running track writes its current delta into the animation half of the image's
// FrameDeltas (cleared at the start of every frame); when it finishes it adds its full delta
// once into the image's animSet, which stays until the animation finishes. A track cut short
// (scene skip at a blocking op, or the slot finishing) applies its end state at once through
// its end function. Writes are skipped when the player has no image.
//
// Times are OrvtimeGetTime ms compared as unsigned differences; the timed kinds take a time
// of 0 as 1, the waits keep it.
// Thread: as the player.
#pragma once

#include <cstdint>

#include "graphics/animations/ani_file.h"

namespace animations {

struct AnimSlot;
struct AniTrack;

// 1 while the track runs, 0 when it has finished (the player then frees it).
using TrackStep = uint32_t (*)(AnimSlot& player, AniTrack& track, uint32_t now);
// Applies the track's end state at once; null for the waits.
using TrackEnd = void (*)(AnimSlot& player, AniTrack& track);

struct MoveTrack {
  int32_t dx, dy, dz;
  uint32_t curve;  // bit 2 decelerating, bit 1 accelerating, bit 4 sine out, else linear
  uint32_t start, time;
  float fdx, fdy, fdz;
};
struct WaitTrack {
  uint32_t start, time;
  uint32_t endless;  // ops 1 and 8 with time 0xFFFFFFFF
};
struct ScaleTrack {
  int32_t percent;
  uint32_t start, time;
};
struct AlphaTrack {
  int32_t delta;
  uint32_t start, time;
};
struct RotateTrack {
  int32_t rx, ry, rz;
  uint32_t start, time;
  float frx, fry, frz;
};
struct CircleTrack {
  int32_t ax, ay, rx, ry, dax, day, drx, dry;
  uint32_t keep;  // 1: stays at the end point (op 21); 0: back at the start (op 22)
  uint32_t start, time;
};
struct StepTrack {
  int32_t tx, ty;
  float cx, cy;
  float ux, uy;
  uint32_t last, interval;
  float ftx, fty;
};

struct AniTrack {
  TrackStep step;
  TrackEnd end;
  AniTrack* next;
  uint32_t blocking;  // the op stream waits for this track
  union {
    MoveTrack move;
    WaitTrack wait;
    ScaleTrack scale;
    AlphaTrack alpha;
    RotateTrack rotate;
    CircleTrack circle;
    StepTrack walk;
  };
};

// Fills track for a track-starting op at frame time now (the player's image is read by
// move-to). False for an op that starts no track. Sets step, end and blocking.
bool track_from_op(const AnimSlot& player, const AniOp& op, uint32_t now, uint32_t random,
                   AniTrack* track);

}  // namespace animations
