// The asynchronous line voice: the line waits for its voice to load on the work thread (a
// stand-in that runs the posted job when the test says so), and lines without a voice or passed
// over while skipping are drawn in the same frame.
#include <cstring>
#include <memory>
#include <string>

#include "engine/interpreter.h"
#include "engine/neighbours.h"
#include "program/text/sound/fake_sound.h"
#include "program/text/window/text_window_fixture.h"
#include "text/sound/sound_frame.h"

namespace textwindowtest {
namespace {

constexpr uint32_t kNone = 0x0FFFFFFF;
constexpr uint32_t kSlot = 0x10000000;
constexpr uint32_t kText = 0x020002;
constexpr uint32_t kTextN = 0x020012;
constexpr uint32_t kSetAsync = 0x020030;

// The work thread: the job posted last, run when the test says.
inline void (*g_job)(void*) = nullptr;
inline void* g_job_arg = nullptr;

class AsyncLineTest : public TextWindowTest {
 protected:
  void SetUp() override {
    TextWindowTest::SetUp();
    saved_ = engine::neighbours;
    engine::neighbours.interaction.save_snapshot_make = [](engine::VmContext&) {};
    sound_ = std::make_unique<soundtest::FakeSoundScope>(&sound);
    g_job = nullptr;
    orv.OrvIsWorkThreadId = []() -> int32_t { return 0; };
    orv.OrvAttachWorkProcess = [](void (*f)(void*), void* arg) -> int32_t {
      g_job = f;
      g_job_arg = arg;
      return 1;
    };
    ASSERT_EQ(call(0x020000, {24, 0, 0, 480, 100, 0, 0, 0}), 1u);
    EXPECT_EQ(call(kSetAsync, {1}), 1u);
    vm().runner.dwPc = 200;
    vm().dwCurrentPc = 188;
    vm().sound.bVoiceCut = 1;
  }
  void TearDown() override {
    call(kSetAsync, {0});
    engine::pending_async_step.store(nullptr);
    sound_.reset();
    engine::neighbours = saved_;
    TextWindowTest::TearDown();
  }
  uint32_t slot(uint32_t n, const std::string& text) {
    std::snprintf(vm().strings.slots[n], engine::kVarStringBytes, "%s", text.c_str());
    return kSlot | n;
  }
  // One frame's script update while the step is pending.
  void frame() {
    if (engine::AsyncStep step = engine::pending_async_step.load()) step();
  }
  void run_job() {
    ASSERT_NE(g_job, nullptr);
    g_job(g_job_arg);
    g_job = nullptr;
  }

  soundtest::FakeSound sound;

 private:
  engine::Neighbours saved_;
  std::unique_ptr<soundtest::FakeSoundScope> sound_;
};

TEST_F(AsyncLineTest, TheLineWaitsForItsVoiceThenShowsAndStartsIt) {
  sound.files = {"VO01_001.ogg"};
  call(kText, {kNone, kNone, slot(0, "before"), 0});  // no voice: drawn in the same frame
  EXPECT_EQ(engine::pending_async_step.load(), nullptr);
  EXPECT_STREQ(tw().szMessage, "before");
  const uint32_t points = vm().runner.dwPointCount;
  vm().runner.bYield = 0;

  ASSERT_EQ(call(kText, {slot(2, "vo01_001"), kNone, slot(0, "spoken"), 0}), 1u);
  EXPECT_NE(engine::pending_async_step.load(), nullptr);
  EXPECT_EQ(tw().dwMode, 0u);  // no text wait while it loads
  EXPECT_EQ(vm().runner.bYield, 0u);
  EXPECT_STREQ(tw().szMessage, "before");  // the previous line stays
  EXPECT_EQ(vm().sound.bVoiceUpdateSuspended, 1u);
  frame();  // not loaded yet: nothing changes
  EXPECT_STREQ(tw().szMessage, "before");
  EXPECT_TRUE(sound.with("Load").empty());

  run_job();
  EXPECT_TRUE(sound.called("Load VO01_001.ogg 1"));
  EXPECT_TRUE(sound.with("Play").empty());  // the slots are started by the script's thread
  frame();
  EXPECT_EQ(engine::pending_async_step.load(), nullptr);
  EXPECT_STREQ(tw().szMessage, "spoken");
  EXPECT_STREQ(tw().szVoice, "VO01_001");
  EXPECT_STREQ(vm().history.entries[0].voice, "VO01_001");
  EXPECT_STREQ(vm().history.entries[0].text, "spoken");
  EXPECT_STREQ(vm().save.szSaveText, "spoken");
  EXPECT_TRUE(sound.called("Play " + soundtest::num(vm().sound.voice[0].sound & 0xFFFF) + " 0"));
  EXPECT_EQ(tw().dwMode & 0xFFFF0000u, 0x10000u);
  EXPECT_EQ(vm().runner.dwPointCount, points + 1);
  EXPECT_EQ(vm().runner.bYield, 1u);
  EXPECT_EQ(vm().sound.bVoiceUpdateSuspended, 0u);
  EXPECT_TRUE(logged(10, "text : voice VO01_001"));
  EXPECT_TRUE(logged(10, "text*  spoken"));
  EXPECT_EQ(call(kSetAsync, {1}), 1u);  // the previous switch
}

TEST_F(AsyncLineTest, AFailedLoadShowsTheLineWithoutVoice) {
  call(kText, {slot(2, "gone"), kNone, slot(0, "mute"), 0});
  run_job();
  frame();
  EXPECT_STREQ(tw().szMessage, "mute");
  EXPECT_EQ(tw().szVoice[0], 0);
  EXPECT_EQ(tw().dwLineFlags & engine::kLineHasVoice, 0u);
  EXPECT_TRUE(sound.with("Play").empty());
}

TEST_F(AsyncLineTest, SkippingDrawsAtOnceAndNamesTheVoicePassedOver) {
  sound.files = {"VO01_001.ogg"};
  vm().run.bSkip = 1;
  call(kText, {slot(2, "vo01_001"), kNone, slot(0, "fast"), 0});
  EXPECT_EQ(g_job, nullptr);
  EXPECT_EQ(engine::pending_async_step.load(), nullptr);
  EXPECT_STREQ(tw().szMessage, "fast");
  EXPECT_STREQ(tw().szVoice, "VO01_001");
  EXPECT_STREQ(vm().history.entries[0].voice, "VO01_001");
  EXPECT_TRUE(sound.with("Load").empty());
  EXPECT_TRUE(logged(10, "text* : voice VO01_001"));
}

TEST_F(AsyncLineTest, NoClickLineKeepsOutOfTheBacklogAndLeavesHistoryOn) {
  sound.files = {"VO01_001.ogg"};
  const uint32_t count = vm().history.nEntryCount;
  vm().history.bDisabled = 0;
  call(kTextN, {slot(2, "vo01_001"), kNone, slot(0, "aside"), 0});
  run_job();
  frame();
  EXPECT_STREQ(tw().szMessage, "aside");
  EXPECT_EQ(vm().history.nEntryCount, count);
  EXPECT_EQ(vm().save.szSaveText[0], 0);
  EXPECT_EQ(vm().history.bDisabled, 0u);
  EXPECT_EQ(tw().dwMode & 0xFFFF0000u, 0x80000u);
}

TEST_F(AsyncLineTest, TheFrameUpdateLeavesTheSlotsAloneWhileTheVoiceLoads) {
  sound.files = {"VO01_001.ogg"};
  call(kText, {slot(2, "vo01_001"), kNone, slot(0, "spoken"), 0});
  run_job();
  const uint32_t loaded = vm().sound.voice[0].sound;
  ASSERT_NE(loaded, 0u);
  engine::voice_frame_update(vm());  // loaded, not yet playing: it would be released
  EXPECT_EQ(vm().sound.voice[0].sound, loaded);
  frame();
  EXPECT_TRUE(engine::neighbours.text.voice_any_playing(vm()));
}

}  // namespace
}  // namespace textwindowtest
