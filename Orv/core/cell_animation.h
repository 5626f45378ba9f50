// Cell animations: small tasks that flip a sprite through the cells of its sheet on the frame
// clock.
//
// Two kinds. "Animation" steps through a sheet of equal cells (the sprite's cell size, set with
// OrvSpriteSetOffsetRect) along one direction at a fixed time per cell and notes when it wraps
// around. "OrvAnimationEx" follows the caller's table of AnimationFrame entries, each with its
// own source rectangle, duration and successor. Both are ordinary tasks (task.h), created as the
// first child of the current task, not blocking: they run while their creator runs and end with
// it. The task's id is the animation's handle, and each function accepts only handles of its
// own kind; any other id (0, a stale id, another task, the other kind) fails as a null handle.
//
// Timing: a cell or frame changes on the first pass at which the frame time (OrvtimeGetTime)
// has moved on from its start by at least its time (unsigned 32-bit difference), and the next
// one is timed from that pass, not from the ideal boundary, so late passes never catch up.
//
// Threads: the steps run in the task pass on the game thread under the render lock; the
// functions below are called from task steps or under the render lock (task.h).
//
// Exports (orv/exports.h, "cell animations"):
//
//   OrvHandle OrvAnimation(OrvHandle sprite, uint32_t direction, uint32_t ms)
//     Animates the sprite across (direction bit 0; also when neither low bit is set) or down
//     (bit 1) at ms per cell, running at once. Its first pass reads the cell count from the
//     sprite: image width / cell width across, height / cell height down; a sprite without a
//     whole cell in that direction keeps its rectangle. Null for a null sprite, or when the
//     task or its data cannot be had.
//   OrvHandle OrvAnimationEx(OrvHandle sprite, const AnimationFrame* frames)
//     Shows frames[0].rect at once (OrvSpriteSetRect) and follows the table from frame 0.
//     frames must live as long as the animation uses it. A negative successor ends the
//     animation on the frame reached (the last rectangle stays). Null for a null sprite or
//     table, or when the task cannot be had.
//   int32_t OrvAnimationStart(OrvHandle), OrvAnimationStartEx(OrvHandle)
//     running again, from the cell and the cell timer where it stopped. 1, 0 for a bad handle.
//   int32_t OrvAnimationStop(OrvHandle), OrvAnimationStopEx(OrvHandle)
//     held: the cell shown stays. 1, 0 for a bad handle.
//   int32_t OrvAnimationGetTime(OrvHandle)
//     ms per cell; -1 for a bad handle.
//   int32_t OrvAnimationSetTime(OrvHandle, uint32_t ms)
//     sets ms per cell and times the current cell from the frame time. 1, 0 for a bad handle.
//   int32_t OrvAnimationReset(OrvHandle)
//     shows cell (0, 0) (OrvSpriteRectSetPos), times it from the frame time, counter and
//     looped flag := 0; the running flag is kept. 1, 0 for a bad handle.
//   int32_t OrvAnimationResetEx(OrvHandle, const AnimationFrame* frames)
//     starts over with the given table at frame 0: shows its rectangle, times it from the frame
//     time, running := 1. 1, 0 for a bad handle or a null table.
//   int32_t OrvAnimationLoopIs(OrvHandle)
//     1 once after the counter wrapped to cell 0 (the read clears it), else 0.
//   int32_t OrvAnimationGetAnimationPoint(OrvHandle)
//     the frame index of an OrvAnimationEx animation, -1 once it stopped at the end of its
//     table; -1 for a bad handle.
//   int32_t OrvAnimationRelease(OrvHandle)
//     ends the animation task as OrvTaskFree does (a task in state 0 is left alone). 1, 0 for a
//     bad handle. Its data goes with the task; there is no end function.
#pragma once

#include <cstdint>

#include "orv/types.h"

// The data of an "Animation" task.
struct CellAnimation {
  OrvHandle sprite;
  uint32_t cell_time;     // ms per cell
  uint32_t cell_start;    // frame time at which the current cell was shown
  uint16_t cell_counter;  // current cell
  uint16_t cell_count;    // cells in the animation direction; 0: nothing to step through
  uint8_t direction;      // kOrvAnimationAcross or kOrvAnimationDown
  int32_t running;        // 1 advancing, 0 held
  int32_t looped;         // 1 after the counter wrapped, until read
};

// The data of an "OrvAnimationEx" task.
struct RectAnimation {
  OrvHandle sprite;
  const AnimationFrame* frames;  // the caller's table
  uint32_t duration;             // ms of the current frame
  uint32_t frame_start;          // frame time at which the current frame was shown
  int32_t frame;                 // current index; -1 once the animation stopped
  int32_t running;
};
