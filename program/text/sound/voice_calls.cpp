#include "text/sound/voice_calls.h"

#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "engine/vm_services.h"
#include "text/sound/sound_load.h"
#include "text/sound/voices.h"

namespace engine {
namespace {

// Runs the code at `offset` now, as a call that returns here.
void run_label(VmContext& vm, uint32_t offset) {
  data_entry_push(vm, kChannelReturns, vm.runner.dwPc, 2);
  vm.runner.dwPc = vm.runner.dwBase + offset;
  script_run(vm);
}

}  // namespace

int32_t voice_call_find(VmContext& vm) {
  const char* voice =
      neighbours.text.text_voice_name ? neighbours.text.text_voice_name(vm) : nullptr;
  if (!voice || !*voice) return -1;
  const std::string name(voice);
  for (int32_t i = 0; i < 8; ++i) {
    if (name_starts_with_nocase(name, stored_name(vm.sound.voiceCalls[i].name))) return i;
  }
  return -1;
}

void voice_call_begin(VmContext& vm) {
  const int32_t i = voice_call_find(vm);
  if (i < 0) return;
  VoiceCallEntry& e = vm.sound.voiceCalls[i];
  e.armed = 0;
  if (e.start == 0) return;
  e.armed = 1;
  run_label(vm, e.start);
}

void voice_call_end(VmContext& vm) {
  if (voice_any_playing(vm)) return;
  const int32_t i = voice_call_find(vm);
  if (i < 0) return;
  VoiceCallEntry& e = vm.sound.voiceCalls[i];
  if (!e.armed) return;
  e.armed = 0;
  if (e.end == 0) return;
  run_label(vm, e.end);
}

}  // namespace engine
