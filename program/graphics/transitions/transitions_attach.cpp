#include "graphics/transitions/transitions_attach.h"

#include "engine/neighbours.h"
#include "engine/orv_api.h"

namespace graphics {

void transitions_attach() {
  engine::TransitionServices& t = engine::neighbours.transitions;
  // While a transition runs the frame procedure holds the script and the events.
  t.screen_transition_running = [](engine::VmContext&) {
    return orv.OrvEffectIs && orv.OrvEffectIs() != 0;
  };
  t.effect_enable_is = []() -> uint32_t {
    return orv.OrvEffectEnableIs ? static_cast<uint32_t>(orv.OrvEffectEnableIs()) : 1u;
  };
}

}  // namespace graphics
