// The fixed and list-shaped blocks: screen effects, layer shader effects, actions, sound
// effects, background voices and the backlog. Bytes are laid out by hand from the layouts;
// each block is checked, read, written again, and refused when cut or out of range.
#include "graphics/actions/action_reset.h"
#include "graphics/effects/layer_shader_pool.h"
#include "program/save/blocks/blocks_fixture.h"
#include "program/text/sound/fake_sound.h"

namespace blockstest {
namespace {

class SmallBlocksTest : public BlocksTest {
 protected:
  void SetUp() override {
    BlocksTest::SetUp();
    layers::shader_effect_pool_reset(vm());
    engine::action_system_clear(vm());
  }
  void TearDown() override {
    layers::shader_effect_pool_reset(vm());
    engine::action_system_clear(vm());
    BlocksTest::TearDown();
  }
};

// ---- screen effects ----

TEST_F(SmallBlocksTest, ScreenEffectsStoreTheRunningEffectsArguments) {
  const Bytes b = Lay()
                      .u32(1 | 4 | 16)
                      .i32(2)
                      .i32(8)
                      .i32(-1)
                      .i32(0)  // shake
                      .u32(7)
                      .u32(1)
                      .u32(200)
                      .i32(-3)  // snow
                      .u32(40)
                      .u32(1)
                      .u32(2)
                      .u32(3)  // raster
                      .b;
  ASSERT_TRUE(accepts(save::screen_effect_save_check, b));
  EXPECT_EQ(read(save::screen_effect_save_read, b), b.size());
  const engine::ScreenEffectState& fx = vm().screenEffects;
  EXPECT_EQ(fx.dwShakeState, engine::kEffectRunning);
  EXPECT_EQ(fx.dwSnowState, engine::kEffectRunning);
  EXPECT_EQ(fx.dwPetalState, engine::kEffectOff);
  EXPECT_EQ(fx.snowArgs[2], 200u);
  EXPECT_EQ(fx.rasterArgs[0], 40u);
  EXPECT_EQ(write(save::screen_effect_save_write), b);
  // An effect fading out is not stored.
  vm().screenEffects.dwSnowState = engine::kEffectFading;
  EXPECT_EQ(word_at(write(save::screen_effect_save_write), 0), 1u | 16u);
  expect_cuts_refused(save::screen_effect_save_check, b);
  expect_breaks_refused(save::screen_effect_save_check, b,
                        {{0, 2, "screen effect mask"}, {0, 0x20, "screen effect mask"}});
}

// ---- layer shader effects ----

TEST_F(SmallBlocksTest, ShaderEffectsStoreRunningNodesNewestFirst) {
  layers::ImageRecord* image = layers::image_alloc(layers::kBaseLayer, 3);
  image->hSprite = sprite_named("L3", 64, 64);
  vm().layers[3].lpImage = image;
  ASSERT_NE(layers::shader_effect_node_take(3, layers::kShaderRaster, {50, 20, 1000}), nullptr);
  const Bytes b = Lay().u32(1).u32(3).u32(0).u32(50).u32(20).u32(1000).u32(0xFFFFFFFFu).b;
  EXPECT_EQ(write(save::layer_shader_save_write), b);
  ASSERT_TRUE(accepts(save::layer_shader_save_check, b));

  // A releasing node is one word; the newer node comes first. The releasing one is dropped by
  // the read, the running one started again on its layer.
  const Bytes two = Lay().u32(2).bytes(b).b;
  ASSERT_TRUE(accepts(save::layer_shader_save_check, two));
  layers::shader_effect_pool_reset(vm());
  EXPECT_EQ(read(save::layer_shader_save_read, two), two.size());
  EXPECT_EQ(layers::shader_effect_pool.nInUse, 1u);
  EXPECT_EQ(vm().layers[3].lpEffectNode, &layers::shader_effect_pool.nodes[0]);
  ASSERT_EQ(rec.calls.size(), 1u);
  EXPECT_EQ(rec.calls[0], "fx 0 1 1000 1000");
  EXPECT_EQ(write(save::layer_shader_save_write), b);

  expect_cuts_refused(save::layer_shader_save_check, two);
  expect_breaks_refused(save::layer_shader_save_check, b,
                        {{0, 0, "shader effect state"},
                         {0, 3, "shader effect state"},
                         {4, 128, "shader effect layer"},
                         {8, 2, "shader effect kind"}});
  // Nine entries: more than the pool holds.
  Lay nine;
  for (int i = 0; i < 9; ++i) nine.u32(2);
  nine.u32(0xFFFFFFFFu);
  const char* field = nullptr;
  EXPECT_FALSE(accepts(save::layer_shader_save_check, nine.b, &field));
  EXPECT_STREQ(field, "shader effect entries");
  layers::image_release_now(image);
  vm().layers[3].lpImage = nullptr;
}

// ---- actions ----

// Slot 2 running in loop mode with line 5 of two sections (kinds 0 and 3).
Bytes action_fixture(uint32_t start_time) {
  Lay l;
  l.u32(0);                   // active slot
  l.zeros(64);                // clear marks
  l.u32(0).u32(1).zeros(56);  // stop flags: slot 1
  l.u32(100).u32(900);        // ease window
  l.u32(0).u32(0);            // slots 0, 1 idle
  l.u32(1).u32(0).u32(5).u32(0).u32(start_time).u32(0xFFFFFFFFu).u32(3);
  l.u32(5).u32(2).u32(0);  // line 5: 2 sections, runtime word
  l.u32(116).i32(10).i32(-20).zeros(52).u32(0).u32(300).u32(100 | 900u << 16);
  l.zeros(64).u32(3).u32(50).u32(0);
  l.zeros(118 * 76);
  l.u32(0xFFFFFFFFu);
  l.zeros(13 * 4);  // slots 3-15 idle
  return l.b;
}

TEST_F(SmallBlocksTest, ActionsStoreRunningSlotsWithTheirLines) {
  const uint32_t now = orv.OrvtimeGetTime();
  const Bytes b = action_fixture(now);
  ASSERT_EQ(b.size(), 204u + 6 * 4 + 4 + 9128 + 4);
  ASSERT_TRUE(accepts(save::action_save_check, b));
  EXPECT_EQ(read(save::action_save_read, b), b.size());
  const engine::ActionSlot& slot = vm().actions.slots[2];
  EXPECT_EQ(slot.bRunning, 1u);
  EXPECT_EQ(slot.dwMode, 3u);
  EXPECT_EQ(slot.dwStartTime, now);  // the clock starts again at the load
  EXPECT_EQ(engine::action_lines[2][5].nSections, 2u);
  EXPECT_EQ(engine::action_lines[2][5].sections[0].params[1], 10u);
  EXPECT_EQ(engine::action_lines[2][5].sections[1].dwKind, 3u);
  EXPECT_EQ(engine::action_ease_end, 900u);
  EXPECT_EQ(write(save::action_save_write), b);

  const size_t slot2 = 140 + 8;
  const size_t line = slot2 + 28 + 4;
  expect_breaks_refused(save::action_save_check, b,
                        {{0, 16, "action active slot"},
                         {slot2 + 24, 0, "action mode"},
                         {slot2 + 24, 4, "action mode"},
                         {slot2 + 28, 60, "action line"},
                         {line, 121, "action section count"},
                         {line + 8 + 64, 29, "action kind"}});
  // A kind past the count is not looked at.
  Bytes beyond = b;
  put_word(beyond, line + 8 + 2 * 76 + 64, 99);
  EXPECT_TRUE(accepts(save::action_save_check, beyond));
  // A reset zeroes the lines a load wrote (it zeroes only the slots written since the last).
  engine::action_system_clear(vm());
  EXPECT_EQ(engine::action_lines[2][5].nSections, 0u);
  EXPECT_EQ(engine::action_lines[2][5].sections[0].params[1], 0u);
  EXPECT_EQ(engine::action_lines[2][5].sections[1].dwKind, 0u);
}

TEST_F(SmallBlocksTest, ActionCheckRefusesCutsAndEndlessLineLists) {
  const Bytes b = action_fixture(0);
  // Cuts at every block boundary and inside the head, the slot head and the line.
  for (size_t n : {size_t{0}, size_t{3}, size_t{139}, size_t{140}, size_t{147}, size_t{150},
                   size_t{176}, size_t{180}, size_t{5000}, b.size() - 53, b.size() - 1}) {
    const Bytes cut(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
    const char* field = nullptr;
    EXPECT_FALSE(accepts(save::action_save_check, cut, &field)) << n;
    EXPECT_NE(field, nullptr) << n;
  }
  // 61 lines before the end mark.
  Lay l;
  l.zeros(140).u32(1).zeros(24 - 4).u32(1);
  for (int i = 0; i < 61; ++i) l.u32(0).zeros(9128);
  l.u32(0xFFFFFFFFu).zeros(15 * 4);
  const char* field = nullptr;
  EXPECT_FALSE(accepts(save::action_save_check, l.b, &field));
  EXPECT_STREQ(field, "action line");
}

// ---- sound effects and background voices ----

class SoundBlocksTest : public SmallBlocksTest {
 protected:
  void SetUp() override {
    SmallBlocksTest::SetUp();
    scope_ = std::make_unique<soundtest::FakeSoundScope>(&sound);
  }
  void TearDown() override {
    scope_.reset();
    SmallBlocksTest::TearDown();
  }
  soundtest::FakeSound sound;

 private:
  std::unique_ptr<soundtest::FakeSoundScope> scope_;
};

// Pending pan -5; SeInfo 1 {used, enabled, 70, "se_"}; channel 3's override {volume, 150};
// channel 3 reserved and looping with its pan, from string slot 2 ("se_rain"); channel 4 a
// one-shot effect that is not restored.
Bytes se_fixture() {
  Lay l;
  l.i32(-5);
  l.zeros(44).u32(1).u32(1).u32(70).text("se_", 32).zeros(2 * 44);
  l.zeros(3 * 12).u32(1).u32(150).u32(0).zeros(12 * 12);
  l.zeros(3 * 64);
  l.u32(0).u32(0x10000002).u32(0x20000021).u32(1).zeros(12).i32(-30).text("se_rain", 32);
  l.u32(0).u32(0x10000003).u32(0).u32(0).zeros(12).i32(0).text("se_once", 32);
  l.zeros(11 * 64);
  return l.b;
}

TEST_F(SoundBlocksTest, SoundEffectsRestoreReservedAndLoopingChannels) {
  const Bytes b = se_fixture();
  ASSERT_EQ(b.size(), 1396u);
  sound.files = {"se_rain.ogg"};
  ASSERT_TRUE(accepts(save::sound_effect_save_check, b));
  EXPECT_EQ(read(save::sound_effect_save_read, b), b.size());
  const engine::SoundState& s = vm().sound;
  EXPECT_EQ(s.nPendingSePan, -5);
  EXPECT_EQ(s.seInfo[1].volume, 70u);
  EXPECT_EQ(s.seOverrides[3].volume, 150u);
  EXPECT_NE(s.se[3].sound, 0u);
  EXPECT_EQ(s.se[4].sound, 0u);
  EXPECT_EQ(s.se[4].file, 0x10000003u);
  // The prefix entry matched: its volume, not the override's.
  EXPECT_EQ(sound.channelVolume[s.se[3].sound], 7000);
  EXPECT_TRUE(sound.called("PlayFade " + soundtest::num(s.se[3].sound & 0xFFFF) + " 1 2000"));
  EXPECT_EQ(sound.with("Load se_once").size(), 0u);
  // The sound word is stored as the record holds it; with it cleared the bytes come back.
  Bytes again = write(save::sound_effect_save_write);
  put_word(again, 4 + 176 + 192 + 3 * 64, 0);
  EXPECT_EQ(again, b);

  expect_cuts_refused(save::sound_effect_save_check, b);
  expect_breaks_refused(save::sound_effect_save_check, b,
                        {{4 + 176 + 192 + 3 * 64 + 12, 3, "sound effect type"}});
}

TEST_F(SoundBlocksTest, AChannelThatFailsToLoadLeavesTheOthersRead) {
  Bytes b = se_fixture();
  sound.files = {};
  EXPECT_EQ(read(save::sound_effect_save_read, b), b.size());
  EXPECT_EQ(vm().sound.se[3].sound, 0u);
  EXPECT_EQ(vm().sound.se[3].file, 0x10000002u);
  EXPECT_TRUE(logged(0, "load error : se_rain"));
}

TEST_F(SoundBlocksTest, BackgroundVoicesRestartOnlyWhenLooping) {
  std::strcpy(vm().strings.slots[1], "bgv_a");
  std::strcpy(vm().strings.slots[2], "bgv_b");
  Lay l;
  l.u32(99).u32(0x10000001).u32(0x1).zeros(36).u32(1).u32(1).u32(1).text("kyo", 32);
  l.u32(0).u32(0x10000002).u32(0x4).zeros(36).u32(1).u32(0).u32(0).zeros(32);
  l.zeros(6 * 92);
  const Bytes b = l.b;
  ASSERT_EQ(b.size(), 736u);
  // File names resolve in upper case.
  sound.files = {"BGV_A.ogg", "BGV_B.ogg"};
  ASSERT_TRUE(accepts(save::bgv_save_check, b));
  EXPECT_EQ(read(save::bgv_save_read, b), b.size());
  const engine::BgvSlot& a = vm().sound.bgv[0];
  EXPECT_NE(a.sound, 0u);
  EXPECT_EQ(a.paused, 1u);  // a paused slot plays again; its word stays
  EXPECT_EQ(std::string(a.key), "kyo");
  EXPECT_TRUE(sound.called("PlayFade " + soundtest::num(a.sound & 0xFFFF) + " 1 2000"));
  EXPECT_EQ(vm().sound.bgv[1].sound, 0u);
  EXPECT_EQ(sound.with("Load BGV_B").size(), 0u);
  Bytes again = write(save::bgv_save_write);
  put_word(again, 0, 99);
  EXPECT_EQ(again, b);
  expect_cuts_refused(save::bgv_save_check, b);
}

// ---- backlog ----

TEST_F(SmallBlocksTest, BacklogStoresTheCountAndAllEntries) {
  Lay l;
  l.u32(2);
  l.text("Kyo", 64).text("Hello.", 384).text("v001", 32).u32(0x40).i32(7).u32(1);
  l.text("", 64).text("Rain.", 384).text("", 32).u32(0x80).i32(-1).u32(0);
  l.zeros(126 * 492);
  const Bytes b = l.b;
  ASSERT_TRUE(accepts(save::backlog_save_check, b));
  EXPECT_EQ(read(save::backlog_save_read, b), b.size());
  EXPECT_EQ(vm().history.nEntryCount, 2u);
  EXPECT_STREQ(vm().history.entries[0].text, "Hello.");
  EXPECT_EQ(vm().history.entries[1].scriptPoint, 0x80u);
  EXPECT_EQ(write(save::backlog_save_write), b);
  for (size_t n : {size_t{0}, size_t{2}, size_t{4}, size_t{500}, b.size() - 1}) {
    const Bytes cut(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_FALSE(accepts(save::backlog_save_check, cut)) << n;
  }
  expect_breaks_refused(save::backlog_save_check, b,
                        {{0, 129, "backlog count"}, {0, 0xFFFFFFFFu, "backlog count"}});
  // An entry's text without a terminator is cut at its last byte.
  Bytes unterminated = b;
  std::memset(unterminated.data() + 4 + 64, 'x', 384);
  read(save::backlog_save_read, unterminated);
  EXPECT_EQ(std::strlen(vm().history.entries[0].text), 383u);
}

}  // namespace
}  // namespace blockstest
