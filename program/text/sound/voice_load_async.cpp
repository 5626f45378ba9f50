#include "text/sound/voice_load_async.h"

#include <cstring>

#include "commands/command_util.h"
#include "engine/orv_api.h"
#include "text/sound/voices.h"

namespace engine {
namespace {

VoiceLoadRequest g_request{};
VoiceLoadWorker g_worker{};

// On the work thread.
void voice_worker_entry(void* arg) {
  auto* worker = static_cast<VoiceLoadWorker*>(arg);
  VoiceLoadRequest& r = *worker->param;
  worker->result = 0;
  worker->result =
      voice_load_job(*r.vm, r.slot, std::string(r.szName, strnlen(r.szName, 32)), r.flags);
  worker->bDone.store(1, std::memory_order_release);
}

}  // namespace

void voice_async_load_start(VmContext& vm, const std::string& name) {
  g_request = {};
  g_request.vm = &vm;
  std::memcpy(g_request.szName, name.data(), sjis_clamp(name, sizeof g_request.szName - 1));
  g_worker.bDone.store(0);
  g_worker.result = 0;
  g_worker.param = &g_request;
  const bool on_work_thread = orv.OrvIsWorkThreadId && orv.OrvIsWorkThreadId();
  if (on_work_thread || !orv.OrvAttachWorkProcess ||
      !orv.OrvAttachWorkProcess(voice_worker_entry, &g_worker)) {
    voice_worker_entry(&g_worker);
  }
}

bool voice_async_load_done() {
  return g_worker.bDone.load(std::memory_order_acquire) != 0;
}

int32_t voice_async_load_result() {
  return g_worker.result;
}

void voice_async_loaded_start(VmContext& vm) {
  const int32_t loop = (g_request.flags & kVoiceLoop) ? 1 : 0;
  for (int i = 0; i < kLineVoiceSlots; ++i) {
    const OrvSoundHandle h = vm.sound.voice[i].sound;
    if (h == 0) continue;
    if (g_request.flags & kVoiceFadeIn) {
      orv.OrvSoundPlayFade(h, loop, g_request.fade);
    } else {
      orv.OrvSoundPlay(h, loop);
    }
  }
}

}  // namespace engine
