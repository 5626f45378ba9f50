// Effect blends: a timed shader effect (raster wave or radial blur) on one sprite or on the
// whole screen. A blend fades its parameter block in from zero over a duration, stays at full
// strength, and fades back out when reversed. Times are frame times in milliseconds
// (the frame time, OrvtimeGetTime). Game thread, under the render lock.
//
// Exports: OrvSetFxEffect(target, flags, command, duration, block): target points at a sprite
// id, or with flags bit 28 (kFxFullScreen) at the priority of the full-screen node; the low 28
// bits are the effect type; commands 0 stop, 1 start (0 when running, or when a full-screen
// node exists), 2 reverse; the block is {period ms, amplitude 1, amplitude 2} for the raster
// wave. OrvSpriteSetFxEffect is the per-sprite form. OrvReleaseFxEffect frees a record (and
// the full-screen node). OrvGetFxEffectState / OrvSpriteGetFxEffectState: 0 off, 1, 2.
#pragma once

#include <cstdint>

#include "Orv/render/fx_result.h"

struct FxRecord {
  int32_t reverse = 0;
  uint32_t start = 0;
  uint32_t duration = 0;
  int32_t state = 0;            // 0 off, 1 forward, 2 reverse
  int32_t type = 0;             // 0 raster wave, 1 radial blur, 2 nothing
  uint32_t* target = nullptr;   // the caller's block (three words for types 0 and 1)
  uint32_t* current = nullptr;  // this frame's block
};

constexpr uint32_t kFxFullScreen = 0x10000000u;

// Progress of a timed change started at `start` lasting `duration` ms, at frame time `now`:
// elapsed / duration capped at 1; a duration of 0 gives 1. *done tells the duration is over.
float timed_progress(uint32_t start, uint32_t duration, uint32_t now, bool* done);

// This frame's effect of the record, for the renderer; false when there is none (record off,
// or screen effects switched off).
bool fx_evaluate(FxRecord* record, FxResult* out);
// Frees the record and its blocks. Null does nothing.
void fx_record_free(FxRecord* record);
// The draw callback of the full-screen blend's node.
int32_t fullscreen_fx_callback(void* renderer, uintptr_t user_data);
