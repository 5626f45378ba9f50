// The blocks of a game that has shown nothing yet: their sizes and bytes, laid out by hand,
// and each accepted by its own check and read back to the same state.
#include "graphics/actions/action_reset.h"
#include "graphics/effects/layer_shader_pool.h"
#include "program/save/blocks/blocks_fixture.h"

namespace blockstest {
namespace {

class IdleTest : public BlocksTest {
 protected:
  void SetUp() override {
    BlocksTest::SetUp();
    layers::shader_effect_pool_reset(vm());
    engine::action_system_clear(vm());
  }
};

TEST_F(IdleTest, EveryBlockWritesItsIdleLayout) {
  const Bytes face_table(128, 0xFF);
  const struct {
    const char* name;
    Writer write;
    Checker check;
    Bytes expected;
  } cases[] = {
      {"button", save::button_save_write, save::button_save_check, Lay().zeros(16).b},
      {"layer", save::layer_save_write, save::layer_save_check,
       Lay().bytes(face_table).zeros(256).b},
      {"screen effect", save::screen_effect_save_write, save::screen_effect_save_check,
       Lay().u32(0).b},
      {"layer shader", save::layer_shader_save_write, save::layer_shader_save_check,
       Lay().u32(0xFFFFFFFFu).b},
      {"action", save::action_save_write, save::action_save_check,
       Lay().zeros(136).u32(1000).zeros(64).b},
      {"sound effect", save::sound_effect_save_write, save::sound_effect_save_check,
       Lay().zeros(1396).b},
      {"bgv", save::bgv_save_write, save::bgv_save_check, Lay().zeros(8 * 92).b},
      {"backlog", save::backlog_save_write, save::backlog_save_check, Lay().zeros(4 + 128 * 492).b},
      {"text window", save::text_window_save_write, save::text_window_save_check, Lay().u32(0).b},
  };
  for (const auto& c : cases) {
    const Bytes written = write(c.write);
    EXPECT_EQ(written, c.expected) << c.name;
    EXPECT_TRUE(accepts(c.check, c.expected)) << c.name;
  }
  EXPECT_EQ(cases[1].expected.size(), 384u);
  EXPECT_EQ(cases[4].expected.size(), 204u);
}

TEST_F(IdleTest, IdleBlocksReadBackToTheSameBytes) {
  const struct {
    const char* name;
    Writer write;
    Reader read;
  } cases[] = {
      {"button", save::button_save_write, save::button_save_read},
      {"layer", save::layer_save_write, save::layer_save_read},
      {"screen effect", save::screen_effect_save_write, save::screen_effect_save_read},
      {"layer shader", save::layer_shader_save_write, save::layer_shader_save_read},
      {"action", save::action_save_write, save::action_save_read},
      {"sound effect", save::sound_effect_save_write, save::sound_effect_save_read},
      {"bgv", save::bgv_save_write, save::bgv_save_read},
      {"backlog", save::backlog_save_write, save::backlog_save_read},
      {"text window", save::text_window_save_write, save::text_window_save_read},
  };
  for (const auto& c : cases) {
    const Bytes before = write(c.write);
    EXPECT_EQ(read(c.read, before), before.size()) << c.name;
    EXPECT_EQ(write(c.write), before) << c.name;
  }
  EXPECT_EQ(tw().bInit, 0u);
}

}  // namespace
}  // namespace blockstest
