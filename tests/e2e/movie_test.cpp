// The real Velmora playing movies from its .pac archive: a full-screen movie that the script
// waits for (played to its end, or ended early by an injected Esc), and a looping movie sprite
// whose states the script keeps in its persistent memory (system.dat), also across a save and
// its load.
#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>
#include <sstream>

#include "support/game_folder.h"
#include "support/movie_fixtures.h"

using testsupport::GameFolder;
using testsupport::GameFolderOptions;
using testsupport::MovieFixture;
using testsupport::RunControl;

namespace {

uint32_t cell(const std::string& sys, int n) {
  const size_t at = 3770 + size_t(n) * 4;  // persistent cell n of system.dat
  if (sys.size() < at + 4) return 0xDEADBEEFu;
  return uint32_t(uint8_t(sys[at])) | uint32_t(uint8_t(sys[at + 1])) << 8 |
         uint32_t(uint8_t(sys[at + 2])) << 16 | uint32_t(uint8_t(sys[at + 3])) << 24;
}

TEST(Movies, FullScreenMovieFromAnArchiveTheScriptResumesAfterIt) {
  struct Case {
    const char* what;
    std::string input;  // VELMORA_INPUT_SCRIPT
    bool early;
  };
  const Case cases[] = {{"played to its end", "", false},
                        {"Esc ends it early (after the fade)", "20:1;24:0", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameFolderOptions o;
    o.script =
        "  call time_get_time -> r1\n"
        "  call movie_play(file\"OPENING\", 0)\n"
        "  call time_get_time -> r2\n"
        "  sub r2, r1\n"
        "  mov s[r0], r2\n"
        "  mov r3, 1\n"
        "  mov s[r3], 7\n"
        "  end\n";
    o.members = {{"OPENING.MPG", testsupport::movie_fixture(MovieFixture::kMpegSound320)}};
    GameFolder game(o);
    std::map<std::string, std::string> env;
    if (!c.input.empty()) env["VELMORA_INPUT_SCRIPT"] = c.input;
    // The early end is timed on the fixed-step clock: frames, not the machine's load, decide it.
    // A whole play keeps the real clock, whose lower bound load cannot break.
    if (c.early) env["VELMORA_FIXED_STEP_MS"] = "16";
    const auto r = game.run({}, env, 60);
    EXPECT_EQ(r.exit_code, 0) << r.output;
    const std::string sys = testsupport::read_file(game.save() + "/system.dat");
    EXPECT_EQ(cell(sys, 1), 7u) << "the script went on after the movie\n" << r.output;
    const uint32_t took = cell(sys, 0);
    if (c.early) {
      EXPECT_LT(took, 2600u) << r.output;
    } else {
      EXPECT_GE(took, 2800u) << r.output;
      EXPECT_LT(took, 20000u) << r.output;
    }
  }
}

TEST(Movies, MovieSkipSwitchPlaysNothing) {
  GameFolderOptions o;
  o.script =
      "  call time_get_time -> r1\n"
      "  call movie_play(file\"OPENING\", 0)\n"
      "  call time_get_time -> r2\n"
      "  sub r2, r1\n"
      "  mov s[r0], r2\n"
      "  end\n";
  o.members = {{"OPENING.MPG", testsupport::movie_fixture(MovieFixture::kMpegSound320)}};
  GameFolder game(o);
  const auto r = game.run({"/MOVIESKIP"}, {}, 60);
  EXPECT_EQ(r.exit_code, 0) << r.output;
  EXPECT_LT(cell(testsupport::read_file(game.save() + "/system.dat"), 0), 1000u) << r.output;
}

TEST(Movies, ALoopingMovieSpriteKeepsPlayingUntilItsWaitEndsIt) {
  GameFolderOptions o;
  o.script =
      "  call msp_set(file\"SHORT\", 3, 0, 0, 0, 1, 0, 0) -> r4\n"
      "  call run(0, 0, 0)\n"
      "  call wait(1600, 0)\n"
      "  call msp_get_state(3) -> r5\n"
      "  mov s[r0], r5\n"
      "  call msp_wait(3)\n"
      "  call msp_get_state(3) -> r5\n"
      "  mov r3, 1\n"
      "  mov s[r3], r5\n"
      "  mov r3, 2\n"
      "  mov s[r3], r4\n"
      "  end\n";
  o.members = {{"SHORT.MPG", testsupport::movie_fixture(MovieFixture::kMpegShort)}};
  GameFolder game(o);
  const auto r = game.run({}, {}, 60);
  EXPECT_EQ(r.exit_code, 0) << r.output;
  const std::string sys = testsupport::read_file(game.save() + "/system.dat");
  EXPECT_EQ(cell(sys, 2), 1u) << "msp_set\n" << r.output;
  EXPECT_EQ(cell(sys, 0), 1u) << "still playing after its end: it loops\n" << r.output;
  EXPECT_EQ(cell(sys, 1), 6u) << "ended once the wait switched the loop off\n" << r.output;
}

// A movie sprite saved with its layer plays again after the load, with the loop setting of
// its msp_set: the script stops it after the save, so only the load can have started it. The
// 1-second clip still plays 1.6 s after the load when it loops, and has ended when it does not.
TEST(Movies, ALoadedGameStartsItsMovieSpriteAgainWithItsLoop) {
  struct Case {
    const char* what;
    int loop;
    int wait_ms;
    uint32_t state;
  };
  const Case cases[] = {{"looping", 1, 1600, 1u}, {"played once", 0, 3000, 6u}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameFolderOptions o;
    // File.dat entry 0 cannot be told from "no file" in the layer block: the movie is given a
    // later entry by a name that sorts before it.
    o.script =
        "  mov r9, file\"AAA\"\n"
        "  call text_init(24, 40, 500, 800, 120, 40, 460, 0)\n"
        "  call msp_set(file\"SHORT\", 3, 0, 0, 0, " +
        std::to_string(c.loop) +
        ", 0, 0) -> r4\n"
        "  call run(0, 0, 0)\n"
        "line:\n"
        "  call text_h(0x0FFFFFFF, 0x0FFFFFFF, text\"a line to come back to\", -2)\n"
        "  mov r3, 1\n"
        "  add s[r3], 1\n"
        "  mov r4, s[r3]\n"
        "  eq r4, 1\n"
        "  jz loaded, r4\n"
        "  call save(1, 1)\n"
        "  call msp_stop(3)\n"
        "  call msp_get_state(3) -> r5\n"
        "  mov r3, 2\n"
        "  mov s[r3], r5\n"
        "  call load(1)\n"
        "loaded:\n"
        "  call run(0, 0, 0)\n"
        "  call wait(" +
        std::to_string(c.wait_ms) +
        ", 0)\n"
        "  call msp_get_state(3) -> r5\n"
        "  mov r3, 0\n"
        "  mov s[r3], r5\n"
        "  end\n";
    o.members = {{"SHORT.MPG", testsupport::movie_fixture(MovieFixture::kMpegShort)}};
    GameFolder game(o);
    const auto r = game.run({}, {}, 60);
    EXPECT_EQ(r.exit_code, 0) << r.output;
    const std::string sys = testsupport::read_file(game.save() + "/system.dat");
    EXPECT_EQ(cell(sys, 1), 2u) << "the line ran again after the load\n" << r.output;
    EXPECT_EQ(cell(sys, 2), 2u) << "stopped before the load\n" << r.output;
    EXPECT_EQ(cell(sys, 0), c.state) << r.output;
  }
}

// The movie libraries are loaded by the first movie, not at start-up: a game that shows a
// picture and waits has none of them mapped; one that plays a movie sprite has.
TEST(Movies, TheMovieLibrariesLoadOnlyForAMovie) {
  struct Case {
    const char* what;
    const char* load;
    bool mapped;
  };
  const Case cases[] = {
      {"no movie", "  call sp_set(file\"NOPE\", 3, 0, 0)\n", false},
      {"a movie sprite", "  call msp_set(file\"SHORT\", 3, 0, 0, 0, 1, 0, 0)\n", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameFolderOptions o;
    o.script = std::string(c.load) +
               "  call run(0, 0, 0)\n"
               "spin:\n"
               "  call wait(100, 0)\n"
               "  jmp spin\n";
    o.members = {{"SHORT.MPG", testsupport::movie_fixture(MovieFixture::kMpegShort)}};
    GameFolder game(o);
    std::string maps;
    RunControl control;
    control.signal = SIGTERM;
    control.after_output = "startup: first frame";
    // The movie opens on the movie thread after the sprite is set: on a loaded machine that
    // can take seconds, so the probe waits long enough for it either way.
    control.after_ms = 5000;
    control.probe = [&](int pid) {
      std::ifstream in("/proc/" + std::to_string(pid) + "/maps");
      std::stringstream ss;
      ss << in.rdbuf();
      maps = ss.str();
    };
    const auto r = game.run({}, {{"VELMORA_STARTUP_TRACE", "1"}}, 60, control);
    EXPECT_EQ(r.exit_code, 0) << r.output;
    ASSERT_FALSE(maps.empty());
    EXPECT_EQ(maps.find("libavformat") != std::string::npos, c.mapped);
    EXPECT_EQ(maps.find("libavcodec") != std::string::npos, c.mapped);
  }
}

}  // namespace
