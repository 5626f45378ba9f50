// The real Velmora speaking: lines of dialogue with voices over music, clicked through with
// scripted input (VELMORA_INPUT_SCRIPT) on a fixed-step clock. The voices and the music are
// Ogg Vorbis files of the system's freedesktop sound theme.
//
// Nothing here is timed from outside: the script writes what it sees (times of the fixed-step
// clock, voice and music queries) as lines of numbers to seen.txt, the program's command log
// (VELMORA_COMMAND_LOG) tells which commands ran in which order, and system.dat what was kept.
// A script thread counts frames and ends the program when a case runs too long, so that a
// script left waiting (as in the run without clicks) ends by itself.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/game_folder.h"

using testsupport::GameFolder;
using testsupport::GameFolderOptions;

namespace {

const std::string kTheme = "/usr/share/sounds/freedesktop/stereo/";
// Clock step of a frame (ms): frame F of the input script is at about (F + 1) x 10 ms.
const char kStepMs[] = "10";
// The tag of the line the watchdog writes before it ends the program.
constexpr int32_t kWatchdog = 99;

// The end of every script: `note` appends r1..r8 as one line of numbers to seen.txt; the
// watchdog thread (started by the case's first line) ends the program after `frames` frames,
// noting its tag, the frames and r10 (where a case keeps how far it got). Kept after the case's
// own code, so that the case's texts get the first Text.dat ids (0, 1, 2, ... in the order the
// assembler meets them).
std::string tail(int frames) {
  return "note:\n"
         "  call string(0) -> r30\n"
         "  call wsprint(r30, text\"%d %d %d %d %d %d %d %d%n\", r1, r2, r3, r4, r5, r6, r7, r8)\n"
         "  call text_file_save(text\"seen.txt\", r30)\n"
         "  ret\n"
         "watch:\n"
         "  add r20, 1\n"
         "  mov r21, r20\n"
         "  lt r21, " +
         std::to_string(frames) +
         "\n"
         "  jz watch_end, r21\n"
         "  ret\n"
         "watch_end:\n"
         "  mov r1, " +
         std::to_string(kWatchdog) +
         "\n"
         "  mov r2, r20\n"
         "  mov r3, r10\n"
         "  gosub note\n"
         "  end\n";
}

// The sound theme is a build dependency of the demo; without it the cases with sounds are
// skipped.
bool theme_present() {
  return std::filesystem::exists(kTheme + "alarm-clock-elapsed.oga");
}

struct Sound {
  const char* name;   // the file in data/ ("VO01_001.ogg")
  const char* theme;  // the theme's file it is a copy of
};

struct GameRun {
  testsupport::RunResult result;
  std::vector<std::vector<int32_t>> seen;  // the lines of seen.txt
  std::vector<std::string> log;            // the command log
  std::string system_dat;
};

GameRun run_case(const std::string& script, int watchdog_frames, const std::vector<Sound>& sounds,
                 const std::string& input) {
  GameFolderOptions o;
  o.script = "  call create_thread(@watch)\n" + script + tail(watchdog_frames);
  GameFolder game(o);
  std::filesystem::create_directories(game / "data");
  for (const Sound& s : sounds) {
    std::filesystem::copy_file(kTheme + s.theme, game / (std::string("data/") + s.name));
  }
  std::map<std::string, std::string> env = {{"VELMORA_FIXED_STEP_MS", kStepMs},
                                            {"VELMORA_COMMAND_LOG", game / "commands.txt"}};
  if (!input.empty()) env["VELMORA_INPUT_SCRIPT"] = input;
  GameRun run;
  run.result = game.run({}, env, 60);
  std::istringstream seen(testsupport::read_file(game / "seen.txt"));
  for (std::string line; std::getline(seen, line);) {
    std::istringstream numbers(line);
    std::vector<int32_t> row;
    for (int32_t n; numbers >> n;) row.push_back(n);
    if (!row.empty()) run.seen.push_back(row);
  }
  std::istringstream log(testsupport::read_file(game / "commands.txt"));
  for (std::string line; std::getline(log, line);) run.log.push_back(line);
  run.system_dat = testsupport::read_file(game.save() + "/system.dat");
  return run;
}

uint32_t word_at(const std::string& s, size_t at) {
  if (s.size() < at + 4) return 0xFFFFFFFFu;
  return uint32_t(uint8_t(s[at])) | uint32_t(uint8_t(s[at + 1])) << 8 |
         uint32_t(uint8_t(s[at + 2])) << 16 | uint32_t(uint8_t(s[at + 3])) << 24;
}

// system.dat: the sound block follows the 2-byte head and the 816 bytes of SystemSettings; the
// read bits of the texts (their byte count, then one bit per text id) follow the sound block
// and the 4,096 bytes after it.
constexpr size_t kSoundBlock = 2 + 816;
constexpr size_t kReadBits = kSoundBlock + 2952 + 4096;

// The command-log lines that begin with `prefix`, in order.
std::vector<std::string> lines_with(const std::vector<std::string>& log,
                                    const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& line : log) {
    if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line);
  }
  return out;
}

// The command log for a failure message.
std::string joined(const std::vector<std::string>& log) {
  std::string out;
  for (const std::string& line : log) out += line + "\n";
  return out;
}

const char kTextInit[] = "  call text_init(24, 40, 500, 800, 120, 40, 460, 0)\n";

// Three lines, two of them voiced, over music; the first note is written after the first line
// ends, the second at the end with the volumes. Text ids: the messages 0, 2 and 4 (a call's
// last operand is met first), the names 1, 3 and 5.
const char kScene[] =
    "  call bgm_set_volume(40)\n"
    "  call voice_set_volume(70)\n"
    "  call bgm_play(0, file\"TUNE\", 1, 0, 0, 0, 0)\n"
    "  call text(file\"VO01_001\", text\"Rin\", text\"first line\", -1)\n"
    "  mov r10, 1\n"
    "  mov r1, 1\n"
    "  gosub note\n"
    "  call text(file\"VO01_002\", text\"Rin\", text\"second line\", -1)\n"
    "  mov r10, 2\n"
    "  call text(0x0FFFFFFF, text\"Kai\", text\"third line\", -1)\n"
    "  mov r10, 3\n"
    "  mov r1, 2\n"
    "  call bgm_get_volume -> r2\n"
    "  call voice_get_volume -> r3\n"
    "  gosub note\n"
    "  end\n";

const std::vector<Sound> kSceneSounds = {{"TUNE.ogg", "alarm-clock-elapsed.oga"},
                                         {"VO01_001.ogg", "audio-channel-front-left.oga"},
                                         {"VO01_002.ogg", "audio-channel-front-right.oga"}};

TEST(Voices, AVoicedSceneOverMusicGoesOnlyAsFarAsItIsClicked) {
  if (!theme_present()) GTEST_SKIP() << "no sound theme in " << kTheme;
  struct Case {
    const char* what;
    const char* input;
    std::vector<std::vector<int32_t>> seen;
    std::vector<std::string> lines;  // the command log's text lines
    uint8_t read_bits;               // the first byte of the read bits
  } cases[] = {
      {"three clicks reach the end",
       "40:800000@640,600;41:0;70:800000;71:0;100:800000;101:0",
       {{1, 0, 0, 0, 0, 0, 0, 0}, {2, 40, 70, 0, 0, 0, 0, 0}},
       {"text  first line", "text  second line", "text  third line"},
       0x15},
      {"without clicks it stays at the first line",
       "",
       {{kWatchdog, 150, 0, 0, 0, 0, 0, 0}},
       {"text  first line"},
       0x01},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const GameRun run = run_case(std::string(kTextInit) + kScene, 150, kSceneSounds, c.input);
    const std::string& out = run.result.output;
    EXPECT_EQ(run.result.exit_code, 0) << out;
    EXPECT_EQ(run.seen, c.seen) << out << joined(run.log);
    EXPECT_EQ(lines_with(run.log, "text  "), c.lines) << out;
    // The voices of the lines that were shown, and the music under them, played.
    EXPECT_EQ(lines_with(run.log, "text : voice VO01_001").size(), 1u) << out;
    EXPECT_EQ(lines_with(run.log, "bgm_play  0, TUNE").size(), 1u) << out;
    EXPECT_EQ(out.find("load error"), std::string::npos) << out;
    // What the scene set is kept: the volumes, and a read bit for each message shown.
    EXPECT_EQ(word_at(run.system_dat, kSoundBlock + 4), 4000u) << out;   // music
    EXPECT_EQ(word_at(run.system_dat, kSoundBlock + 12), 7000u) << out;  // voices
    ASSERT_GT(run.system_dat.size(), kReadBits + 4) << out;
    EXPECT_GE(word_at(run.system_dat, kReadBits), 1u) << out;  // bytes of read bits
    EXPECT_EQ(uint8_t(run.system_dat[kReadBits + 4]), c.read_bits)
        << std::hex << int(uint8_t(run.system_dat[kReadBits + 4]));
  }
}

// A text_w line, a timed wait during which the player may click, then wait_click(-1). The note:
// 1, the clock when wait_click starts and when the script goes on after it (wait_sync times).
std::string no_wait_line_then_click_wait(int time) {
  return std::string(kTextInit) +
         "  call wait_sync_begin\n"
         "  call text_w(0x0FFFFFFF, text\"Rin\", text\"a line that does not wait\", " +
         std::to_string(time) +
         ")\n"
         "  call wait(500, 0)\n"
         "  call wait_sync_get_time -> r2\n"
         "  call wait_click(-1)\n"
         "  call wait_sync_get_time -> r3\n"
         "  mov r1, 1\n"
         "  gosub note\n"
         "  end\n";
}

TEST(Voices, AClickOnAShownNoWaitLineEndsTheNextClickWait) {
  struct Case {
    const char* what;
    int time;                    // text_w's time operand
    const char* input;           // clicks (frame F is at about (F + 1) x 10 ms)
    int32_t min_wait, max_wait;  // how long wait_click waited (ms)
  } cases[] = {
      // Shown at once, clicked at 200 ms while the script waits: wait_click ends by the next
      // frame.
      {"a click on the shown line", -1, "20:800000@640,600;21:0", 0, 20},
      // No click before wait_click: it waits for the click at about 1 s.
      {"a click only after wait_click began", -1, "100:800000@640,600;101:0", 400, 600},
      // A click while the line still reveals completes the reveal and is used up by it:
      // wait_click waits for the second click.
      {"a click during the reveal", 3000, "20:800000@640,600;21:0;100:800000;101:0", 400, 600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const GameRun run = run_case(no_wait_line_then_click_wait(c.time), 300, {}, c.input);
    const std::string& out = run.result.output;
    EXPECT_EQ(run.result.exit_code, 0) << out;
    ASSERT_EQ(run.seen.size(), 1u) << out << joined(run.log);
    ASSERT_EQ(run.seen[0][0], 1) << out << joined(run.log);
    EXPECT_GE(run.seen[0][1], 500) << out;
    const int32_t waited = run.seen[0][2] - run.seen[0][1];
    EXPECT_GE(waited, c.min_wait) << out << joined(run.log);
    EXPECT_LE(waited, c.max_wait) << out << joined(run.log);
    EXPECT_EQ(lines_with(run.log, "text_w  a line that does not wait").size(), 1u) << out;
  }
}

// A voice held by voice_play with flag 2 (wait), or played without it and then waited for
// with voice_wait. The note: 1, the clock when the script goes on after the hold, whether a
// voice plays then and 1.5 s later, and voice_play's result.
std::string held_voice(bool by_voice_wait) {
  return std::string("  call wait_sync_begin\n") +
         (by_voice_wait ? "  call voice_play(0, file\"VO01_001\", 0, 0) -> r5\n"
                          "  call voice_wait(0)\n"
                        : "  call voice_play(0, file\"VO01_001\", 2, 0) -> r5\n") +
         "  call wait_sync_get_time -> r2\n"
         "  call is_voice_playing -> r3\n"
         "  call wait(1500, 0)\n"
         "  call is_voice_playing -> r4\n"
         "  mov r1, 1\n"
         "  gosub note\n"
         "  end\n";
}

TEST(Voices, AWaitingVoiceHoldsTheScriptUntilItEndsOrAClickFadesIt) {
  if (!theme_present()) GTEST_SKIP() << "no sound theme in " << kTheme;
  struct Case {
    const char* what;
    bool by_voice_wait;
    const char* theme;  // the voice
    const char* input;
    int32_t playing_after;       // is_voice_playing when the script goes on
    int32_t min_time, max_time;  // when it goes on (ms of the fixed-step clock)
  } cases[] = {
      // A voice of about 6 s, clicked at about 200 ms: the script goes on in the next frame
      // while the voice fades out over a second.
      {"a click fades the voice", false, "alarm-clock-elapsed.oga", "20:800000@640,600;21:0", 1,
       200, 230},
      {"a click ends voice_wait", true, "alarm-clock-elapsed.oga", "20:800000@640,600;21:0", 1, 200,
       230},
      // A voice of about 1.5 s without a click: the script goes on once it has ended, so no
      // voice plays then. (When depends on the sound's real time, which the fixed-step clock
      // does not follow.)
      {"without a click the voice plays to its end", false, "audio-channel-front-left.oga", "", 0,
       0, 100000},
      {"without a click voice_wait lasts as long as the voice", true,
       "audio-channel-front-left.oga", "", 0, 0, 100000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const GameRun run =
        run_case(held_voice(c.by_voice_wait), 900, {{"VO01_001.ogg", c.theme}}, c.input);
    const std::string& out = run.result.output;
    EXPECT_EQ(run.result.exit_code, 0) << out;
    ASSERT_EQ(run.seen.size(), 1u) << out << joined(run.log);
    const std::vector<int32_t>& seen = run.seen[0];
    ASSERT_EQ(seen[0], 1) << out << joined(run.log);
    EXPECT_GE(seen[1], c.min_time) << out << joined(run.log);
    EXPECT_LE(seen[1], c.max_time) << out << joined(run.log);
    EXPECT_EQ(seen[2], c.playing_after) << out << joined(run.log);
    EXPECT_EQ(seen[3], 0) << out << joined(run.log);  // faded out, or ended
    EXPECT_EQ(seen[4], 0) << out;                     // the slot asked for
    const std::string play =
        c.by_voice_wait ? "voice_play  0, VO01_001, 0, 0" : "voice_play  0, VO01_001, 2, 0";
    EXPECT_EQ(lines_with(run.log, play).size(), 1u) << out;
    EXPECT_EQ(lines_with(run.log, "voice_wait 0").size(), c.by_voice_wait ? 1u : 0u) << out;
  }
}

// Notes the music channels: tag r8, then for channel 1 and channel 0 whether its record holds
// the file named (r11 for channel 1, r12 for channel 0; file operands) and whether the
// platform channel of its sound plays; the first platform channel with a sound; and whether
// channel 0 plays as get_bgm_pos reads it from the platform.
const char kChannels[] =
    "channels:\n"
    "  mov r1, r8\n"
    "  call get_bgm_pos(1, -2) -> r2\n"
    "  eq r2, r11\n"
    "  call sound_ch_to_orv_ch(3, 1) -> r3\n"
    "  call sound_read_reg(3, r3, 8) -> r3\n"
    "  call get_bgm_pos(0, -2) -> r4\n"
    "  eq r4, r12\n"
    "  call sound_ch_to_orv_ch(3, 0) -> r5\n"
    "  call sound_read_reg(3, r5, 8) -> r5\n"
    "  call get_bgm_ch -> r6\n"
    "  call get_bgm_pos(0, 8) -> r7\n"
    "  gosub note\n"
    "  ret\n";

TEST(Voices, ACrossFadeLeavesTheOldMusicOnChannelOne) {
  if (!theme_present()) GTEST_SKIP() << "no sound theme in " << kTheme;
  // The first piece plays; a cross-fade brings in the second (a fade-in of 100 ms). The note
  // of tag 1: channel 1 holds the first piece and plays, channel 0 the second and plays.
  // Stopping channel 1 with a fade leaves channel 1 empty and the second piece on channel 0
  // (tag 2). A second cross-fade then moves the second piece to channel 1 in its turn (tag 3).
  // Finally both stop (tag 4).
  const std::string script =
      ".file \"AMBIENCE\"\n"  // no music file has the index 0, which a record reads as none
      "  call bgm_play(0, file\"TUNE\", 1, 0, 0, 0, 0)\n"
      "  call wait(200, 0)\n"
      "  call bgm_play(-1, file\"TUNE2\", 5, 25, 0, 0, 0)\n"
      "  call wait(200, 0)\n"
      "  mov r8, 1\n"
      "  mov r11, file\"TUNE\"\n"
      "  mov r12, file\"TUNE2\"\n"
      "  gosub channels\n"
      "  call bgm_stop(1, 250)\n"
      "  call wait(1500, 0)\n"
      "  mov r8, 2\n"
      "  mov r11, 0\n"
      "  gosub channels\n"
      "  call bgm_play(-1, file\"TUNE3\", 5, 25, 0, 0, 0)\n"
      "  call wait(200, 0)\n"
      "  mov r8, 3\n"
      "  mov r11, file\"TUNE2\"\n"
      "  mov r12, file\"TUNE3\"\n"
      "  gosub channels\n"
      "  call bgm_stop(-1, 250)\n"
      "  call wait(1500, 0)\n"
      "  mov r8, 4\n"
      "  mov r11, 0\n"
      "  mov r12, 0\n"
      "  gosub channels\n"
      "  end\n" +
      std::string(kChannels);
  const GameRun run = run_case(script, 900,
                               {{"TUNE.ogg", "alarm-clock-elapsed.oga"},
                                {"TUNE2.ogg", "phone-incoming-call.oga"},
                                {"TUNE3.ogg", "complete.oga"}},
                               "");
  const std::string& out = run.result.output;
  EXPECT_EQ(run.result.exit_code, 0) << out;
  // The tag; channel 1 holds its file, its sound plays; channel 0 the same; the first platform
  // channel with a sound (get_bgm_ch: -1 none); get_bgm_pos(0, 8); the tag again (r8). The
  // second piece is loaded into platform channel 1 while the first plays on channel 0, so from
  // the first cross-fade on, records and platform channels are crossed.
  const std::vector<std::vector<int32_t>> expected = {
      {1, 1, 1, 1, 1, 0, 1, 1},
      {2, 1, 0, 1, 1, 1, 1, 2},
      {3, 1, 1, 1, 1, 0, 1, 3},
      {4, 1, 0, 1, 0, -1, 0, 4},
  };
  EXPECT_EQ(run.seen, expected) << out << joined(run.log);
  EXPECT_EQ(out.find("load error"), std::string::npos) << out;
}

// A line with the asynchronous voice: the voice loads on the work thread, the line shows once
// it has loaded and its voice plays; the click at about 400 ms ends the line. The note: 1,
// whether the voice plays after the line, text_set_async_voice's previous switch.
TEST(Voices, AnAsynchronousLineVoiceLoadsOnTheWorkThreadAndPlays) {
  if (!theme_present()) GTEST_SKIP() << "no sound theme in " << kTheme;
  const std::string script = std::string(kTextInit) +
                             "  call text_set_async_voice(1) -> r3\n"
                             "  call text(file\"VO01_001\", text\"Rin\", text\"first line\", -1)\n"
                             "  call is_voice_playing -> r2\n"
                             "  mov r1, 1\n"
                             "  gosub note\n"
                             "  end\n";
  const GameRun run = run_case(script, 300, {{"VO01_001.ogg", "alarm-clock-elapsed.oga"}},
                               "40:800000@640,600;41:0");
  const std::string& out = run.result.output;
  EXPECT_EQ(run.result.exit_code, 0) << out;
  const std::vector<std::vector<int32_t>> expected = {{1, 1, 0, 0, 0, 0, 0, 0}};
  EXPECT_EQ(run.seen, expected) << out << joined(run.log);
  EXPECT_EQ(lines_with(run.log, "text : voice VO01_001").size(), 1u) << joined(run.log);
  EXPECT_EQ(lines_with(run.log, "text*  first line").size(), 1u) << joined(run.log);
}

// A sound effect held by flag 2 until a click at about 200 ms, over music and a background
// voice, and the spectrum of the music. The note: 1, when the script goes on after the effect,
// the effect channel's frequency, the sum of the 31 band values, the effect's channel and the
// background voice's slot.
TEST(Voices, AnEffectHoldsTheScriptUntilAClickAndTheMusicHasASpectrum) {
  if (!theme_present()) GTEST_SKIP() << "no sound theme in " << kTheme;
  const std::string script =
      "  call bgm_play(0, file\"TUNE\", 1, 0, 0, 0, 0)\n"
      "  call bgv_play(-1, file\"BG\", 1, 0) -> r6\n"
      "  call wait_sync_begin\n"
      "  call se_play_ex(-1, file\"HIT\", 2, 0, 0) -> r5\n"
      "  call wait_sync_get_time -> r2\n"
      "  call se_get_ch_freq(r5) -> r3\n"
      "  call spectrum_create(0, 0)\n"
      "  call sound_ch_to_orv_ch_ex(3, 0) -> r12\n"
      "  call spectrum_set_sound(r12)\n"
      "  call wait(300, 0)\n"
      "  call spectrum_update(r12)\n"
      "  mov r4, 0\n"
      "  mov r13, 0\n"
      "bands:\n"
      "  call spectrum_get_band(r13, 0) -> r14\n"
      "  add r4, r14\n"
      "  add r13, 1\n"
      "  mov r15, r13\n"
      "  lt r15, 31\n"
      "  jz bands_done, r15\n"
      "  jmp bands\n"
      "bands_done:\n"
      "  call spectrum_delete\n"
      "  mov r1, 1\n"
      "  gosub note\n"
      "  end\n";
  const GameRun run = run_case(script, 300,
                               {{"TUNE.ogg", "phone-incoming-call.oga"},  // loud throughout
                                {"BG.ogg", "complete.oga"},
                                {"HIT.ogg", "audio-channel-front-left.oga"}},
                               "20:800000@640,600;21:0");
  const std::string& out = run.result.output;
  EXPECT_EQ(run.result.exit_code, 0) << out;
  ASSERT_EQ(run.seen.size(), 1u) << out << joined(run.log);
  const std::vector<int32_t>& seen = run.seen[0];
  ASSERT_EQ(seen[0], 1) << out << joined(run.log);
  EXPECT_GE(seen[1], 200) << joined(run.log);
  EXPECT_LE(seen[1], 230) << joined(run.log);
  EXPECT_EQ(seen[2], 48000);  // the effect file's own rate
  EXPECT_GT(seen[3], 0) << out << joined(run.log);
  EXPECT_EQ(seen[4], 0);
  EXPECT_EQ(seen[5], 0);
  EXPECT_EQ(lines_with(run.log, "se_play_ex [0]ch  HIT, 2, 0, 0").size(), 1u) << joined(run.log);
  EXPECT_EQ(lines_with(run.log, "bgv_play 0, BG, 1, 0").size(), 1u) << joined(run.log);
  EXPECT_EQ(out.find("load error"), std::string::npos) << out;
}

}  // namespace
