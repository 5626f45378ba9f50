// A line's voice loaded on the platform work thread, so that a long voice file (or the several
// files of a mix list) does not hold up the frames.
//
// One load at most is in flight: the script's thread fills the one request and posts the one
// worker; the work thread runs voice_load_job into the line voice slots and then sets done, last.
// The script's thread reads done once a frame and touches the slots and the result only after
// it has seen done. Meanwhile SoundState::bVoiceUpdateSuspended keeps the frame update away
// from the voice and background-voice slots (the caller sets and clears it).
//
// Thread: the thread that runs the script, except where noted.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "engine/vm_context.h"

namespace engine {

// What the worker loads: slot 0, no flags and no fade for a line's voice.
struct VoiceLoadRequest {
  VmContext* vm;
  int32_t slot;
  char szName[32];
  uint32_t flags;
  int32_t fade;
};

struct VoiceLoadWorker {
  std::atomic<uint32_t> bDone{1};  // written last by the work thread
  int32_t result;                  // voice_load_job's result, read once bDone is seen
  VoiceLoadRequest* param;
};

// Posts the load of `name` into the line voice slots. Voice calls must have been ended and the
// line slots emptied before. Where the work thread cannot take it (it refused the job, or the
// script itself runs there and would hold the job back), the job runs at once and is done on
// return.
void voice_async_load_start(VmContext& vm, const std::string& name);
// True once the posted load has finished (and when none was posted).
bool voice_async_load_done();
// The finished load's result: kVoicePlayed when something loaded.
int32_t voice_async_load_result();
// Starts every line slot that holds a sound as the request asks (fade in per 0x4, loop per 0x1).
void voice_async_loaded_start(VmContext& vm);

}  // namespace engine
