// The movie commands as assembled scripts on the real interpreter, with the platform's sprite
// and movie calls faked: what each command asks of the platform, its result and its log line.
#include <gtest/gtest.h>

#include <set>

#include "engine/formats/startup_info.h"
#include "graphics/layers/layer_slots.h"
#include "program/graphics/layers/layers_fixture.h"

namespace {

using layerstest::g_fake;

struct FakeMovies {
  std::set<uint32_t> movies;  // sprite ids that are movie sprites
  std::map<uint32_t, int32_t> state;
  std::vector<std::string> calls;
  std::set<std::string> videos;  // names OrvVideoPlay starts
};
FakeMovies* g_movies = nullptr;

class MovieCommandsTest : public layerstest::LayersTest {
 protected:
  void SetUp() override {
    LayersTest::SetUp();
    saved_ = orv;
    g_movies = &movies_;
    fake().files = {{"OP.mpg", {320, 240}}, {"BG.png", {64, 48}}};
    orv.OrvMSpriteLoad = [](OrvHandle, const char* path, int32_t) -> OrvHandle {
      auto it = g_fake->files.find(path);
      if (it == g_fake->files.end()) return 0;
      const uint32_t id = g_fake->add(path, it->second.first, it->second.second);
      g_movies->movies.insert(id);
      return id;
    };
    orv.OrvMSpriteInfoCreate = [](const char* path, int32_t, int32_t, int32_t) -> OrvHandle {
      auto it = path ? g_fake->files.find(path) : g_fake->files.end();
      if (it == g_fake->files.end()) return 0;
      return g_fake->add(path, it->second.first, it->second.second);
    };
    orv.OrvMSpriteCheck = [](OrvHandle s) -> OrvBool {
      return g_movies->movies.count(s) && g_fake->at(s) ? 1 : 0;
    };
    orv.OrvMSpritePlay = [](OrvHandle s, int32_t loop) -> OrvBool {
      g_movies->calls.push_back("play " + std::to_string(loop));
      g_movies->state[s] = 1;
      return 1;
    };
    orv.OrvMSpriteStop = [](OrvHandle s) -> OrvBool {
      g_movies->calls.push_back("stop");
      g_movies->state[s] = 2;
      return 1;
    };
    orv.OrvMSpriteGetState = [](OrvHandle s) -> int32_t { return g_movies->state[s]; };
    orv.OrvMSpriteSetLoop = [](OrvHandle, int32_t loop) -> OrvBool {
      g_movies->calls.push_back("loop " + std::to_string(loop));
      return 1;
    };
    orv.OrvMSpriteSetLoopPoint = [](OrvHandle, uint32_t a, uint32_t b) -> OrvBool {
      g_movies->calls.push_back("points " + std::to_string(a) + " " + std::to_string(b));
      return 1;
    };
    orv.OrvMSpriteLock = [](OrvHandle) -> OrvBool {
      g_movies->calls.push_back("lock");
      return 1;
    };
    orv.OrvMSpriteUnlock = [](OrvHandle) -> OrvBool {
      g_movies->calls.push_back("unlock");
      return 1;
    };
    orv.OrvMSpriteSetVolumeEx = [](OrvHandle, int32_t v) -> OrvBool {
      g_movies->calls.push_back("volume " + std::to_string(v));
      return 1;
    };
    orv.OrvVideoPlay = [](const char* name, int32_t mode) -> int32_t {
      g_movies->calls.push_back(std::string("video ") + name + " " + std::to_string(mode));
      return g_movies->videos.count(name) ? 1 : 0;
    };
    orv.OrvSetVideoVolumeType = [](int32_t type) -> int32_t {
      g_movies->calls.push_back("volume type " + std::to_string(type));
      return 0;
    };
    orv.OrvSoundSetVolume = [](int32_t volume, int32_t type) -> OrvBool {
      g_movies->calls.push_back("sound volume " + std::to_string(volume) + " " +
                                std::to_string(type));
      return 1;
    };
  }
  void TearDown() override {
    engine::startup_settings().bMovieSkip = 0;
    LayersTest::TearDown();
    orv = saved_;
    g_movies = nullptr;
  }
  bool called(const std::string& c) const {
    for (const auto& x : movies_.calls) {
      if (x == c) return true;
    }
    return false;
  }
  uint32_t sprite(uint32_t layer) { return image(layer) ? image(layer)->hSprite : 0; }

  FakeMovies movies_;
  OrvApi saved_;
};

TEST_F(MovieCommandsTest, MoviePlayTriesWmvThenMpgAndYields) {
  movies_.videos = {"OPENING.mpg"};
  load(
      "  call movie_play(file\"OPENING.mpg\", 0x10001)\n"
      "  mov r1, 1\n");
  run();
  EXPECT_EQ(movies_.calls,
            (std::vector<std::string>{"video OPENING.wmv 1", "video OPENING.mpg 1"}));
  EXPECT_TRUE(logged(10, "movie_play  OPENING.mpg"));
  EXPECT_EQ(vm().reg[1], 0u) << "the script waits for the next frame";
  run();
  EXPECT_EQ(vm().reg[1], 1u);
}

TEST_F(MovieCommandsTest, MoviePlayOfNoFileLogsAndGoesOnNextFrame) {
  load(
      "  call movie_play(file\"NONE\", 0)\n"
      "  mov r1, 1\n");
  run();
  EXPECT_TRUE(logged(0, "error movie_play [NONE]"));
  EXPECT_EQ(vm().reg[1], 0u);
}

TEST_F(MovieCommandsTest, MoviePlayDoesNothingUnderMovieSkipOrSceneSkip) {
  movies_.videos = {"OPENING.mpg"};
  engine::startup_settings().bMovieSkip = 1;
  load(
      "  call movie_play(file\"OPENING\", 0)\n"
      "  mov r1, 1\n");
  run();
  EXPECT_TRUE(movies_.calls.empty());
  EXPECT_EQ(vm().reg[1], 1u) << "no yield either";
  engine::startup_settings().bMovieSkip = 0;
  vm().run.bSceneSkip = 1;
  load(
      "  call movie_play(file\"OPENING\", 0)\n"
      "  mov r1, 2\n");
  run();
  EXPECT_TRUE(movies_.calls.empty());
  EXPECT_EQ(vm().reg[1], 2u);
}

TEST_F(MovieCommandsTest, MspSetLoadsPlaysWithLoopPointsAndTheLayerKeepsTheLoop) {
  load("  call msp_set(file\"OP\", 5, 10, 20, 0, 1, 2000, 0) -> r1\n");
  run();
  ASSERT_TRUE(image(5));
  EXPECT_EQ(vm().reg[1], 1u);
  EXPECT_TRUE(movies_.movies.count(sprite(5)));
  EXPECT_TRUE(called("points 2000 0"));
  EXPECT_TRUE(called("play 1"));
  EXPECT_TRUE(vm().layers[5].dwFlags & 0x400000);
  EXPECT_EQ(vm().layers[5].nMovieLoop, 1);
  EXPECT_TRUE(logged(10, "msp_set loop[1], sp[2000], ep[0]"));
}

TEST_F(MovieCommandsTest, MspSetOutsideTheLayersOrWithoutAFileFails) {
  load(
      "  call msp_set(file\"OP\", 200, 0, 0, 0, 1, 0, 0) -> r1\n"
      "  call msp_set(file\"NONE\", 6, 0, 0, 0, 1, 0, 0) -> r2\n");
  run();
  EXPECT_TRUE(movies_.calls.empty());
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_EQ(vm().reg[2], 0u);
}

TEST_F(MovieCommandsTest, LayerCallsOnMovieSpritesAndOnPictures) {
  load(
      "  call msp_set(file\"OP\", 5, 0, 0, 0, 0, 0, 0) -> r1\n"
      "  call sp_set_ex(file\"BG\", 6, 0, 0, 0)\n"
      "  call msp_lock(5)\n"
      "  call msp_unlock(5)\n"
      "  call msp_stop(5)\n"
      "  call msp_lock(6)\n"
      "  call msp_play(5, 1)\n"
      "  call msp_play(6, 1)\n"
      "  call msp_get_state(5) -> r2\n"
      "  call msp_get_state(6) -> r3\n"
      "  call msp_get_state(7) -> r4\n"
      "  call msp_get_state(300) -> r5\n"
      "  call msp_set_volume(5, 150) -> r6\n"
      "  call msp_set_volume(6, 50) -> r7\n"
      "  call msp_set_volume(7, 50) -> r8\n");
  run();
  EXPECT_EQ(movies_.calls, (std::vector<std::string>{"points 0 0", "play 0", "lock", "unlock",
                                                     "stop", "play 1", "volume 100"}));
  EXPECT_TRUE(logged(10, "msp_lock 5"));
  EXPECT_TRUE(logged(10, "msp_lock 6")) << "logged for any image";
  EXPECT_TRUE(logged(10, "msp_stop 5"));
  EXPECT_TRUE(logged(10, "msp_play 5, 1"));
  EXPECT_TRUE(logged(0, "msp_play : 初期化していないレイヤーを指定しました。"));
  EXPECT_EQ(vm().reg[2], 1u);
  EXPECT_EQ(vm().reg[3], 0u);
  EXPECT_EQ(vm().reg[4], 0xFFFFFFFFu);
  EXPECT_TRUE(logged(0, "error: msp_get_state 7 / no image"));
  EXPECT_EQ(vm().reg[5], 0xFFFFFFFFu);
  EXPECT_TRUE(logged(0, "error: msp_get_state 300"));
  EXPECT_EQ(vm().reg[6], 1u);
  EXPECT_EQ(vm().reg[7], 0u);
  EXPECT_EQ(vm().reg[8], 0xFFFFFFFFu);
}

TEST_F(MovieCommandsTest, MovieVolumeAndMute) {
  load(
      "  call movie_set_volume(50)\n"
      "  call movie_get_volume -> r1\n"
      "  call movie_mute(1)\n"
      "  call movie_mute(0)\n"
      "  call movie_set_volume_type(2)\n");
  run();
  EXPECT_EQ(vm().sysMem[507], 5000u);
  EXPECT_EQ(vm().reg[1], 50u);
  EXPECT_EQ(vm().sysMem[508], 0u);
  EXPECT_EQ(movies_.calls, (std::vector<std::string>{"sound volume 5000 0", "sound volume 0 0",
                                                     "sound volume 5000 0", "volume type 2"}));
  EXPECT_TRUE(logged(10, "movie_set_volume  5000"));
  EXPECT_TRUE(logged(10, "[50] movie_get_volume"));
  EXPECT_TRUE(logged(10, "movie_mute 1"));
}

class MspWait : public MovieCommandsTest {
 protected:
  void start_waiting() {
    load(
        "  call msp_set(file\"OP\", 5, 0, 0, 0, 1, 0, 0) -> r1\n"
        "  call msp_wait(5)\n"
        "  mov r2, 1\n");
    run();
    ASSERT_TRUE(called("loop 0")) << "the loop is switched off so that the movie can end";
    ASSERT_TRUE(logged(10, "msp_wait 5"));
    ASSERT_EQ(vm().reg[2], 0u);
    run();
    ASSERT_EQ(vm().reg[2], 0u) << "still playing";
  }
};

TEST_F(MspWait, EndsWhenTheMovieEnds) {
  start_waiting();
  movies_.state[sprite(5)] = 6;
  run();  // the wait ends; the command still hands the frame back
  EXPECT_EQ(vm().movieWait.bWaiting, 0u);
  run();
  EXPECT_EQ(vm().reg[2], 1u);
  EXPECT_EQ(vm().movieWait.bWaiting, 0u);
}

TEST_F(MspWait, EndsWhenItsLayerLosesTheSprite) {
  start_waiting();
  layers::layer_release_now(vm(), vm().layers[5]);
  run();
  run();
  EXPECT_EQ(vm().reg[2], 1u);
}

TEST_F(MspWait, EndsOnSkip) {
  start_waiting();
  vm().run.bSkip = 1;
  vm().run.bSceneSkip = 1;
  run();
  EXPECT_EQ(vm().reg[2], 1u);
}

TEST_F(MovieCommandsTest, MspWaitOnAPictureOrNothing) {
  load(
      "  call sp_set_ex(file\"BG\", 6, 0, 0, 0)\n"
      "  call msp_wait(6)\n"
      "  call msp_wait(7)\n"
      "  call msp_wait(900)\n"
      "  mov r2, 1\n");
  run();
  run();
  run();
  run();
  EXPECT_TRUE(logged(10, "not msp 6"));
  EXPECT_EQ(vm().reg[2], 1u);
}

TEST_F(MovieCommandsTest, MspClsClearsLikeSpCls) {
  load(
      "  call msp_set(file\"OP\", 5, 0, 0, 0, 0, 0, 0) -> r1\n"
      "  call msp_cls(5)\n"
      "  call run(0, 0, 0)\n");
  run();
  EXPECT_TRUE(logged(10, "msp_cls"));
  EXPECT_TRUE(logged(10, "sp_cls  5"));
  run();
  EXPECT_EQ(image(5), nullptr);
}

}  // namespace
