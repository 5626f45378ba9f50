// The full-screen video: which names play, the skip keys by mode, the fade after a skip, the
// end, a decoding failure and a reopen that fails.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "Orv/core/movie/video_player.h"
#include "Orv/core/window/input.h"
#include "Orv/core/window/process.h"
#include "Orv/render/render_system.h"
#include "Orv/render/transition/screen_transition.h"
#include "movie_fixture.h"

namespace {

using testsupport::MovieFixture;

class VideoTest : public movietest::MovieTest {
 protected:
  void SetUp() override {
    movietest::MovieTest::SetUp();
    StartParams& p = orv_process().params;
    saved_ = p;
    p.screen_width = kW;
    p.screen_height = kH;
    p.movie_format = 1;
  }
  void TearDown() override {
    video_shutdown();
    orv_process().params = saved_;
    orv_process().input.push = orv_process().input.key_now = 0;
    movietest::MovieTest::TearDown();
  }
  // One frame of the game thread while the video plays, with these keys pushed (and held).
  void frame(uint32_t push, uint32_t held = 0) {
    InputState& in = orv_process().input;
    in.push = push;
    in.key_now = push | held;
    video_frame_step();
    in.push = in.key_now = 0;
  }
  StartParams saved_{};
};

TEST_F(VideoTest, NamesThatPlay) {
  struct Case {
    std::string name;
    int32_t movie_format;
    int32_t plays;
  };
  const Case cases[] = {
      {"OPENING.MPG", 1, 1},
      {"opening.mpg", 1, 1},
      {"OPENING.avi", 1, 0},
      {"OPENING.WMV", 1, 1},
      {"OPENING.WMV", 0, 0},  // Windows Media only where the start
                              // parameters allow it
      {"SILENT.WMV", 1, 0},   // a Windows Media video must carry sound
      {"SILENT.MPG", 1, 1},   // an MPEG video need not
      {"MISSING.MPG", 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    orv_process().params.movie_format = c.movie_format;
    EXPECT_EQ(OrvVideoPlay(c.name.c_str(), 0), c.plays);
    EXPECT_EQ(IsMovie(), c.plays);
    video_shutdown();
  }
  loose("DAMAGED.MPG", std::string(20000, '\x5a'));
  EXPECT_EQ(OrvVideoPlay("DAMAGED.MPG", 0), 0);
  EXPECT_EQ(IsMovie(), 0);
}

TEST_F(VideoTest, SkipKeysByMode) {
  ASSERT_TRUE(screen_transition_create());
  OrvEffectEnable(0);  // a skip ends the video at once
  struct Case {
    const char* what;
    int32_t mode;
    uint32_t push, held;
    bool skips;
  };
  const Case cases[] = {
      {"Esc, mode 0", 0, kKeyEsc, 0, true},
      {"right button, mode 0", 0, kKeyMouseR, 0, true},
      {"Enter, mode 0", 0, kKeyEnter, 0, false},
      {"Space, mode 0", 0, kKeySpace, 0, false},
      {"left button, mode 0", 0, kKeyMouseL, 0, false},
      {"Enter, mode 1", 1, kKeyEnter, 0, true},
      {"Space, mode 1", 1, kKeySpace, 0, true},
      {"left button, mode 2", 2, kKeyMouseL, 0, true},
      {"Alt+Enter, mode 1", 1, kKeyEnter, kKeyAlt, false},
      {"Alt+Esc, mode 0", 0, kKeyEsc, kKeyAlt, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(OrvVideoPlay("SILENT.MPG", c.mode), 1);
    frame(c.push, c.held);
    EXPECT_EQ(video_state(), c.skips ? 3 : 1);
    video_window_events();  // the window thread's 0x8064
    EXPECT_EQ(IsMovie(), c.skips ? 0 : 1);
    video_shutdown();
  }
  screen_transition_destroy();
}

TEST_F(VideoTest, WithEffectsASkipFadesPictureAndSoundOverOneSecond) {
  sound_record().type_volume[3] = 10000;  // the video volume: type 3 by default
  ASSERT_EQ(OrvVideoPlay("OPENING.MPG", 0), 1);
  const uint32_t start = rendertest::g_now;
  frame(kKeyEsc);
  EXPECT_EQ(video_state(), 2);
  struct Step {
    uint32_t at;
    int32_t level;
  };
  // The sound follows the level: volume x level / 100 by the decibel rule.
  auto db = [](int32_t level) {
    return int32_t(float(2000.0 * std::log10(double(10000 * level / 100) / 10000.0)));
  };
  for (Step s : {Step{0, 100}, Step{250, 75}, Step{500, 50}, Step{990, 1}}) {
    SCOPED_TRACE(s.at);
    rendertest::set_time(start + s.at);
    frame(0);
    EXPECT_EQ(video_fade_level(), s.level);
    EXPECT_EQ(video_sound_volume(), db(s.level));
    EXPECT_EQ(IsMovie(), 1);
  }
  // The frame draw shows the picture at the fade level's alpha over black.
  rendertest::set_time(start + 500);
  frame(0);
  render_frame_draw();
  rendertest::set_time(start + 1000);
  frame(0);
  EXPECT_EQ(video_fade_level(), 0);
  video_window_events();
  EXPECT_EQ(IsMovie(), 0);
  EXPECT_EQ(video_state(), 0);
}

TEST_F(VideoTest, TheFrameDrawFillsThePictureWithTheMovieOnBlack) {
  ASSERT_EQ(OrvVideoPlay("SILENT.MPG", 0), 1);
  // 64 x 48 holds the 320 x 240 picture scaled to 64 x 48: red at the top, blue below.
  rendertest::set_time(rendertest::g_now + 20);
  ASSERT_TRUE(video_wait_decoded(20));
  render_frame_draw();
  const uint32_t top = pixel(kW / 2, 2), bottom = pixel(kW / 2, kH - 3);
  EXPECT_GT((top >> 16) & 0xFF, 180u);
  EXPECT_GT(bottom & 0xFF, 180u);
}

TEST_F(VideoTest, TheMoviesEndClosesIt) {
  ASSERT_EQ(OrvVideoPlay("SHORT.MPG", 1), 1);
  rendertest::set_time(rendertest::g_now + 5000);
  for (int i = 0; i < 200 && IsMovie(); ++i) {
    pull_ms(100);
    video_wait_decoded(100 * (i + 1));
    render_frame_draw();
    frame(0);
    video_window_events();
  }
  EXPECT_EQ(IsMovie(), 0);
}

TEST_F(VideoTest, ADecodingFailureReopensOnceAtThePositionThenEnds) {
  ASSERT_EQ(OrvVideoPlay("SILENT.MPG", 0), 1);
  rendertest::set_time(rendertest::g_now + 400);
  frame(0);
  video_report_error();
  video_window_events();  // reopened where it was
  EXPECT_EQ(IsMovie(), 1);
  video_report_error();  // again before the position advanced: a damaged file
  video_window_events();
  EXPECT_EQ(IsMovie(), 0);
}

TEST_F(VideoTest, AReopenThatFailsEndsTheVideo) {
  loose("GONE.MPG", testsupport::movie_fixture(MovieFixture::kMpegSilent320));
  ASSERT_EQ(OrvVideoPlay("GONE.MPG", 0), 1);
  std::filesystem::remove(loose_path("GONE.MPG"));
  video_report_error();
  video_window_events();  // eleven attempts, all failing
  EXPECT_EQ(IsMovie(), 0);
  EXPECT_EQ(video_state(), 0);
  frame(kKeyEsc);  // steps nothing: there is no player
  render_frame_draw();
}

TEST_F(VideoTest, VolumeTypes) {
  SoundRecord& r = sound_record();
  r.type_volume[3] = 8000;
  r.type_volume[0] = 5000;
  EXPECT_EQ(OrvSetVideoVolumeType(2), 2);
  EXPECT_EQ(OrvSetVideoVolumeType(2), 0);
  EXPECT_EQ(OrvSetVideoVolumeType(7), 1);  // only the low two bits
  OrvSetVideoVolumeType(0);
}

}  // namespace
