// The machine's transition table answers from the library's exports.
#include <gtest/gtest.h>

#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "graphics/transitions/transitions_attach.h"

namespace {

int32_t g_running = 0, g_enabled = 1;

TEST(TransitionsAttach, AsksTheLibrary) {
  const engine::TransitionServices saved_table = engine::neighbours.transitions;
  const OrvApi saved_orv = orv;
  orv.OrvEffectIs = [] { return g_running; };
  orv.OrvEffectEnableIs = [] { return g_enabled; };
  graphics::transitions_attach();
  engine::TransitionServices& t = engine::neighbours.transitions;
  static engine::VmContext vm_record;  // not read
  engine::VmContext* vm = &vm_record;
  EXPECT_FALSE(t.screen_transition_running(*vm));
  g_running = 1;
  EXPECT_TRUE(t.screen_transition_running(*vm));
  EXPECT_EQ(t.effect_enable_is(), 1u);
  g_enabled = 0;
  EXPECT_EQ(t.effect_enable_is(), 0u);
  orv = saved_orv;
  engine::neighbours.transitions = saved_table;
}

}  // namespace
