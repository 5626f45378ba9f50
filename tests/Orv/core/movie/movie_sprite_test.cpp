// The movie reader over an archive member, and movie sprites: pictures at their times, loops,
// the end, sound and volumes, sizes and release.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "Orv/core/movie/movie_file_stream.h"
#include "Orv/render/last_error.h"
#include "Orv/render/render_system.h"
#include "movie_fixture.h"
#include "platform/movie_decoder.h"

namespace {

using movietest::MovieTest;
using movietest::player_of;
using testsupport::movie_fixture;
using testsupport::movie_fixture_name;
using testsupport::MovieFixture;

using MovieReader = MovieTest;

TEST_F(MovieReader, ReadsAMemberInTheMiddleOfAnArchive) {
  const std::string& bytes = movie_fixture(MovieFixture::kMpegSound320);
  const int64_t size = int64_t(bytes.size());
  MovieFileStream s;
  ASSERT_TRUE(movie_stream_open(&s, "OPENING.MPG"));
  EXPECT_EQ(s.size, bytes.size());
  EXPECT_GT(s.offset, 1000u);  // after the first member's data
  struct Case {
    const char* what;
    int64_t seek;
    int32_t seek_result;
    uint32_t count;
    uint32_t expect_read;
  };
  const Case cases[] = {
      {"the start", 0, 0, 64, 64},
      {"a read across the end is cut there", size - 10, 0, 100, 10},
      {"the end itself: nothing to read", size, 0, 16, 0},
      {"past the end: refused", size + 1, 1, 16, 0},
      {"before the start: refused", -1, 1, 16, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(movie_stream_set_pointer(&s, 0), 0);
    EXPECT_EQ(movie_stream_set_pointer(&s, c.seek), c.seek_result);
    if (c.seek_result != 0) continue;
    std::string got(c.count, '\0');
    uint32_t done = 99;
    ASSERT_TRUE(movie_stream_read(&s, reinterpret_cast<uint8_t*>(got.data()), c.count, &done));
    EXPECT_EQ(done, c.expect_read);
    EXPECT_EQ(got.substr(0, done), bytes.substr(size_t(c.seek), done));
  }
  movie_stream_close(&s);
}

TEST_F(MovieReader, DemuxersOpenMembersByKindNeverByProbe) {
  struct Case {
    MovieFixture fixture;
    platform::MovieContainer container;
    bool opens;
    int32_t width, height;
    bool audio;
  };
  using platform::MovieContainer;
  const Case cases[] = {
      {MovieFixture::kMpegSound320, MovieContainer::kMpegProgram, true, 320, 240, true},
      {MovieFixture::kMpegSilent320, MovieContainer::kMpegProgram, true, 320, 240, false},
      {MovieFixture::kMpegSound322, MovieContainer::kMpegProgram, true, 322, 242, true},
      {MovieFixture::kAsfSound320, MovieContainer::kAsf, true, 320, 240, true},
      {MovieFixture::kAsfSilent320, MovieContainer::kAsf, true, 320, 240, false},
      {MovieFixture::kAsfSound320, MovieContainer::kMpegProgram, false, 0, 0, false},
      {MovieFixture::kMpegSound320, MovieContainer::kAsf, false, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(movie_fixture_name(c.fixture));
    MovieFileStream s;
    ASSERT_TRUE(movie_stream_open(&s, movie_fixture_name(c.fixture).c_str()));
    platform::MovieStreams streams;
    std::string why;
    platform::MovieDecoder* d =
        platform::movie_decoder_open(movie_stream_source(&s), c.container, &streams, &why);
    EXPECT_EQ(d != nullptr, c.opens) << why;
    if (d) {
      EXPECT_EQ(streams.width, c.width);
      EXPECT_EQ(streams.height, c.height);
      EXPECT_EQ(streams.audio, c.audio);
      EXPECT_NEAR(double(streams.duration_ms), 3000.0, 200.0);
    }
    platform::movie_decoder_close(d);
    movie_stream_close(&s);
  }
  EXPECT_TRUE(platform::movie_libraries_loaded());
}

// A caller's picture limit refuses a larger picture before any of it is decoded, in both
// containers; a picture of exactly the limit opens.
TEST_F(MovieReader, PictureLimitRefusesLargerPictures) {
  struct Case {
    MovieFixture fixture;
    platform::MovieContainer container;
    int64_t max_pixels;
    bool opens;
  };
  using platform::MovieContainer;
  const Case cases[] = {
      {MovieFixture::kMpegSilent320, MovieContainer::kMpegProgram, 320 * 240, true},
      {MovieFixture::kMpegSilent320, MovieContainer::kMpegProgram, 320 * 240 - 1, false},
      {MovieFixture::kAsfSilent320, MovieContainer::kAsf, 320 * 240, true},
      {MovieFixture::kAsfSilent320, MovieContainer::kAsf, 160 * 120, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.max_pixels);
    MovieFileStream s;
    ASSERT_TRUE(movie_stream_open(&s, movie_fixture_name(c.fixture).c_str()));
    platform::MovieSource source = movie_stream_source(&s);
    source.max_pixels = c.max_pixels;
    platform::MovieDecoder* d = platform::movie_decoder_open(source, c.container, nullptr, nullptr);
    EXPECT_EQ(d != nullptr, c.opens);
    platform::movie_decoder_close(d);
    movie_stream_close(&s);
  }
}

// Shows the sprite's movie at clock time `ms`: frames are drawn until the decoder has the
// picture due then (the clock of a movie with sound is the mix pulled so far, else the
// injected clock).
void show_at(OrvHandle sprite, int64_t ms) {
  MoviePlayer* p = player_of(sprite);
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 500; ++i) {
    const bool ready = movie_player_wait_decoded(p, ms);
    render_frame_draw();
    if (ready) return;
  }
  FAIL() << "the decoder never reached " << ms << " ms";
}

struct Shown {
  int32_t frame = -1;
  bool red_top = true, blue_bottom = true, opaque = true;
};
Shown shown(OrvHandle sprite) {
  Shown r;
  int32_t w = 0, h = 0;
  uint32_t* px = OrvSpriteLock(sprite, &w, &h);
  if (!px) return r;
  OrvSprite* s = sprite_from(sprite);
  const int32_t iw = s->width, ih = s->height;
  r.frame = testsupport::frame_number_of(px, iw, ih, w);
  for (int32_t y = 0; y < ih; ++y) {
    for (int32_t x = 0; x < iw; ++x) {
      const uint32_t c = px[int64_t(y) * w + x];
      if ((c >> 24) != 0xFF) r.opaque = false;
      const int red = (c >> 16) & 0xFF, blue = c & 0xFF;
      // Rows well inside the bands (the codec blurs their edges), at both sides: a shear
      // would move the band's edge sideways from row to row.
      if (y >= 4 && y < 24 && (red < 200 || blue > 60)) r.red_top = false;
      if (y >= ih - 24 && y < ih - 4 && (blue < 200 || red > 60)) r.blue_bottom = false;
    }
  }
  OrvSpriteUnlock(sprite);
  return r;
}

TEST_F(MovieTest, FramesShowAtTheirTimesTopRowAtTheTopOpaqueAndUnsheared) {
  struct Case {
    MovieFixture fixture;
    bool sound;
  };
  const Case cases[] = {{MovieFixture::kMpegSound320, true},
                        {MovieFixture::kMpegSilent320, false},
                        {MovieFixture::kMpegSound322, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(movie_fixture_name(c.fixture));
    const uint32_t start = rendertest::g_now;
    OrvHandle sprite = OrvMSpriteLoad(list, movie_fixture_name(c.fixture).c_str(), 10);
    ASSERT_NE(sprite, 0u);
    EXPECT_EQ(OrvMSpriteGetState(sprite), 0);
    EXPECT_EQ(OrvMSpriteCheck(sprite), 1);
    OrvSpriteViewCtrl(sprite, 1);
    ASSERT_EQ(OrvMSpritePlay(sprite, 0), 1);
    EXPECT_EQ(OrvMSpriteGetState(sprite), 1);
    for (int64_t at : {20, 1020, 2020}) {
      if (c.sound) {
        pull_ms(at - movie_player_position(player_of(sprite)));
      } else {
        rendertest::set_time(start + uint32_t(at));
      }
      show_at(sprite, at);
      const Shown s = shown(sprite);
      EXPECT_EQ(s.frame, int32_t(at / 40)) << "at " << at << " ms";
      EXPECT_TRUE(s.red_top);
      EXPECT_TRUE(s.blue_bottom);
      EXPECT_TRUE(s.opaque);
    }
    EXPECT_EQ(OrvMSpriteSetVolume(sprite, 50), c.sound ? 1 : 0);
    EXPECT_EQ(OrvSpriteRelease(list, sprite), 1);
  }
}

TEST_F(MovieTest, ANonLoopingMovieEndsOnItsLastFrameAndStaysThere) {
  OrvHandle sprite = OrvMSpriteLoad(list, "SILENT.MPG", 10);
  ASSERT_NE(sprite, 0u);
  OrvSpriteViewCtrl(sprite, 1);
  OrvMSpritePlay(sprite, 0);
  rendertest::set_time(rendertest::g_now + 3500);
  show_at(sprite, 3500);
  EXPECT_EQ(shown(sprite).frame, 74);
  render_frame_draw();  // the end is taken in the next draw
  EXPECT_EQ(OrvMSpriteGetState(sprite), 6);
  EXPECT_EQ(OrvMSpriteIsLoop(sprite), 0);
  rendertest::set_time(rendertest::g_now + 500);
  render_frame_draw();
  EXPECT_EQ(shown(sprite).frame, 74);
  // Stop on a movie that does not run touches nothing.
  EXPECT_EQ(OrvMSpriteStop(sprite), 1);
  EXPECT_EQ(OrvMSpriteGetState(sprite), 6);
}

TEST_F(MovieTest, ALoopJumpsToTheLoopStartAndKeepsTheEndWhenGivenZero) {
  OrvHandle sprite = OrvMSpriteLoad(list, "SILENT.MPG", 10);
  ASSERT_NE(sprite, 0u);
  OrvSpriteViewCtrl(sprite, 1);
  auto* m = static_cast<MovieRecord*>(sprite_from(sprite)->movie);
  const uint32_t end = m->loop_end;
  EXPECT_NEAR(double(end), 3000.0, 200.0);
  EXPECT_EQ(OrvMSpriteSetLoopPoint(sprite, 2000, 0), 1);
  EXPECT_EQ(m->loop_end, end);
  OrvMSpritePlay(sprite, 1);
  const uint32_t start = rendertest::g_now;
  rendertest::set_time(start + 3500);
  show_at(sprite, 3500);
  render_frame_draw();  // the end: back to 2 s
  EXPECT_EQ(OrvMSpriteGetState(sprite), 1);
  rendertest::set_time(rendertest::g_now + 420);
  show_at(sprite, 2420);
  EXPECT_EQ(shown(sprite).frame, 60);
  EXPECT_EQ(OrvMSpriteIsLoop(sprite), 0);
  // A loop end before the movie's end stops the looped part there.
  EXPECT_EQ(OrvMSpriteSetLoopPoint(sprite, 0, 1000), 1);
  rendertest::set_time(rendertest::g_now + 1000);  // the clock at 3420
  show_at(sprite, 3420);
  render_frame_draw();  // the end: back to 0, the looped part now ends at 1 s
  movie_player_wait_decoded(player_of(sprite), 0);  // the seek has been carried out
  rendertest::set_time(rendertest::g_now + 1100);
  render_frame_draw();  // past 1 s: back to 0
  rendertest::set_time(rendertest::g_now + 100);
  show_at(sprite, 100);
  EXPECT_EQ(shown(sprite).frame, 2);
  EXPECT_EQ(OrvMSpriteGetState(sprite), 1);
}

TEST_F(MovieTest, VolumesFollowTheTypeAndMasterVolumes) {
  OrvHandle sprite = OrvMSpriteLoad(list, "OPENING.MPG", 10);
  ASSERT_NE(sprite, 0u);
  OrvHandle silent = OrvMSpriteLoad(list, "SILENT.MPG", 10);
  ASSERT_NE(silent, 0u);
  SoundRecord& r = sound_record();
  auto db = [](double ratio) { return int32_t(float(2000.0 * std::log10(ratio))); };
  r.type_volume[4] = 8000;
  r.master_volume = 5000;
  struct Case {
    bool ex;
    int32_t volume;
    int32_t expect;
  };
  const Case cases[] = {
      {false, 50, db(8000 * 50 / 100 * 5000 / 10000 / 10000.0)},  // type 4 x volume x master
      {false, 0, -10000},
      {true, 50, db(5000.0 * 50 * 100 / 10000 / 10000.0)},  // volume x master
      {true, 100, db(0.5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.volume);
    EXPECT_EQ(
        c.ex ? OrvMSpriteSetVolumeEx(sprite, c.volume) : OrvMSpriteSetVolume(sprite, c.volume), 1);
    EXPECT_EQ(movie_player_volume(player_of(sprite)), c.expect);
    EXPECT_EQ(
        c.ex ? OrvMSpriteSetVolumeEx(silent, c.volume) : OrvMSpriteSetVolume(silent, c.volume), 0);
  }
}

TEST_F(MovieTest, LoadFailuresAndInfoRecords) {
  EXPECT_EQ(OrvMSpriteLoad(0, "OPENING.MPG", 1), 0u);
  EXPECT_EQ(orv_last_error(), kErrorInvalidHandle);
  EXPECT_EQ(OrvMSpriteLoad(list, "MISSING.MPG", 1), 0u);
  loose("BROKEN.MPG", std::string(5000, '\x47'));
  EXPECT_EQ(OrvMSpriteLoad(list, "BROKEN.MPG", 1), 0u);
  EXPECT_EQ(OrvMSpritePlay(0, 1), 0);
  EXPECT_EQ(orv_last_error(), kErrorInvalidHandle);

  OrvHandle info = OrvMSpriteInfoCreate("ODD.MPG", 5, 6, 3);
  ASSERT_NE(info, 0u);
  EXPECT_EQ(sprite_from(info)->cell_width, 322);
  EXPECT_EQ(sprite_from(info)->cell_height, 242);
  EXPECT_EQ(sprite_from(info)->rect.right, 322);
  OrvHandle plain = OrvMSpriteInfoCreate(nullptr, 5, 6, 3);
  ASSERT_NE(plain, 0u);
  EXPECT_EQ(sprite_from(plain)->cell_width, 5);
  EXPECT_EQ(sprite_from(plain)->cell_height, 6);
  EXPECT_EQ(OrvMSpriteInfoCreate("MISSING.MPG", 5, 6, 3), 0u);
  EXPECT_EQ(OrvMSpriteCheck(info), 0);
}

TEST_F(MovieTest, AMovieSpriteIsHitLikeAnyOtherSprite) {
  OrvHandle sprite = OrvMSpriteLoad(list, "SILENT.MPG", 10);
  ASSERT_NE(sprite, 0u);
  OrvSpriteViewCtrl(sprite, 1);
  EXPECT_EQ(OrvSpriteGetForeground(5, 5, 0), sprite);
  EXPECT_EQ(OrvSpriteGetForeground(400, 5, 0), 0u);
}

TEST_F(MovieTest, ReleaseWhileDecodingAndPlaying) {
  for (int i = 0; i < 5; ++i) {
    OrvHandle sprite = OrvMSpriteLoad(list, "OPENING.MPG", 10);
    ASSERT_NE(sprite, 0u);
    if (i % 2) OrvMSpritePlay(sprite, 1);
    pull_ms(40 * i);
    EXPECT_EQ(OrvSpriteRelease(list, sprite), 1);
    EXPECT_EQ(OrvMSpriteGetState(sprite), 0);
  }
}

TEST_F(MovieTest, PicturesAreConvertedToTheAskedSizeWhateverTheStreamsSize) {
  MoviePlayerOptions options;
  options.width = 100;
  options.height = 30;
  std::string why;
  MoviePlayer* p = movie_player_open("ODD.MPG", options, &why);
  ASSERT_NE(p, nullptr) << why;
  EXPECT_EQ(movie_player_width(p), 100);
  EXPECT_EQ(movie_player_height(p), 30);
  // One row more than the picture, filled with a mark: the take writes 100 x 30, no more.
  std::vector<uint32_t> px(100 * 31, 0x12345678u);
  movie_player_run(p);
  movie_player_wait_decoded(p, 0);
  ASSERT_TRUE(movie_player_take(p, px.data(), 100));
  for (int x = 0; x < 100; ++x) EXPECT_EQ(px[30 * 100 + x], 0x12345678u);
  EXPECT_EQ(px[0] >> 24, 0xFFu);
  movie_player_close(p);

  // Fitted: the video's shape inside the asked size.
  options.width = 640;
  options.height = 640;
  options.fit = true;
  p = movie_player_open("OPENING.MPG", options, &why);
  ASSERT_NE(p, nullptr) << why;
  EXPECT_EQ(movie_player_width(p), 640);
  EXPECT_EQ(movie_player_height(p), 480);
  movie_player_close(p);
}

}  // namespace
