#include "text/window/voice_replay.h"

#include "engine/neighbours.h"
#include "text/sound/voices.h"

namespace textwindow {

void voice_replay(engine::VmContext& vm, const std::string& name, uint32_t flags) {
  engine::line_voices_clear(vm);
  engine::neighbour_run(engine::neighbours.text.bgv_voice_resume, vm);
  if (!name.empty()) engine::voice_play_core(vm, 0, name, flags, 0, true);
}

}  // namespace textwindow
