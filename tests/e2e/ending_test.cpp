// Ending the real Velmora while its script never yields: a signal, and the script's own end
// asked for from the game thread and from the work thread. Each ends with exit code 0 within a
// second on an idle machine and leaves the player's files written. The bound checked is looser
// (the three files are flushed to disk on the way out, which a machine busy with parallel test
// runs can stretch past a second); a program that does not end at all fails it either way.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "engine/formats/system_files.h"
#include "support/game_folder.h"

namespace fs = std::filesystem;
using testsupport::GameFolder;
using testsupport::GameFolderOptions;
using testsupport::RunControl;

namespace {

// A cell of the persistent script memory, and a loop that never gives the frame back: plain
// operations only, or a command in every round.
const char kMarkCell[] = ".stamp 0x77\n  mov s[r0], 42\n";
const char kPlainLoop[] = "spin:\n  add r2, 1\n  jmp spin\n";
const char kCommandLoop[] = "spin:\n  call strlen(text\"x\") -> r3\n  jmp spin\n";

void expect_files_written(const GameFolder& game, const std::string& output) {
  const std::string sys = testsupport::read_file(game.save() + "/system.dat");
  ASSERT_GT(sys.size(), 3774u) << output;
  EXPECT_EQ(static_cast<uint8_t>(sys[3770]), 42) << output;  // persistent cell 0 kept
  EXPECT_TRUE(fs::exists(game.save() + "/access.dat")) << output;
  EXPECT_TRUE(fs::exists(game.save() + "/config.dat")) << output;
}

TEST(Ending, SignalEndsALoopingScriptWithItsFilesWritten) {
  struct Case {
    const char* what;
    int signal;
    const char* loop;
  };
  const Case cases[] = {
      {"SIGTERM, plain loop", SIGTERM, kPlainLoop},
      {"SIGINT, plain loop", SIGINT, kPlainLoop},
      {"SIGTERM, loop with a command", SIGTERM, kCommandLoop},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameFolderOptions o;
    o.script = std::string(kMarkCell) + c.loop;
    GameFolder game(o);
    RunControl control;
    control.signal = c.signal;
    control.after_output = "startup:";
    control.after_ms = 1500;
    const auto r = game.run({}, {}, 30, control);
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_GE(r.ms_after_signal, 0) << r.output;
    EXPECT_LT(r.ms_after_signal, 3000) << r.output;
    expect_files_written(game, r.output);
  }
}

// A script that asks for the end from the work thread while the game thread is idle, and one
// that hands itself to the work thread and loops there until a signal ends the program.
TEST(Ending, WorkThreadScriptEnds) {
  {
    SCOPED_TRACE("end on the work thread");
    GameFolderOptions o;
    o.script = std::string(kMarkCell) + "  call work_thread_start\n  end\n";
    GameFolder game(o);
    const auto r = game.run({}, {}, 30);
    EXPECT_EQ(r.exit_code, 0) << r.output;
    expect_files_written(game, r.output);
  }
  {
    SCOPED_TRACE("signal while the work thread loops");
    GameFolderOptions o;
    o.script = std::string(kMarkCell) + "  call work_thread_start\n" + kPlainLoop;
    GameFolder game(o);
    RunControl control;
    control.signal = SIGTERM;
    control.after_output = "startup:";
    control.after_ms = 1500;
    const auto r = game.run({}, {}, 30, control);
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_GE(r.ms_after_signal, 0) << r.output;
    EXPECT_LT(r.ms_after_signal, 3000) << r.output;
    expect_files_written(game, r.output);
  }
}

}  // namespace

namespace {

// The voluntary context switches of a thread so far (each one a sleep the thread woke from).
long wakeups(int pid, int tid) {
  const std::string status = testsupport::read_file("/proc/" + std::to_string(pid) + "/task/" +
                                                    std::to_string(tid) + "/status");
  const std::string key = "voluntary_ctxt_switches:";
  const size_t at = status.find(key);
  return at == std::string::npos ? -1 : std::stol(status.substr(at + key.size()));
}

// An idle game (the script waits frame after frame) leaves the window thread asleep between the
// frames it shows: no waking every millisecond.
TEST(Ending, IdleWindowThreadSleeps) {
  GameFolderOptions o;
  o.script = "spin:\n  call wait_frame\n  jmp spin\n";
  GameFolder game(o);
  long per_second = -1;
  RunControl control;
  control.signal = SIGTERM;
  control.after_output = "startup:";
  control.after_ms = 1000;
  control.probe = [&](int pid) {
    const long before = wakeups(pid, pid);  // the main thread is the window thread
    usleep(2000 * 1000);
    const long after = wakeups(pid, pid);
    if (before >= 0 && after >= 0) per_second = (after - before) / 2;
  };
  const auto r = game.run({}, {}, 30, control);
  EXPECT_EQ(r.exit_code, 0) << r.output;
  ASSERT_GE(per_second, 0);
  // 60 frames a second reach the window; a thread that polled would wake about 1,000 times.
  EXPECT_LT(per_second, 200) << r.output;
  std::printf("window thread wake-ups a second: %ld\n", per_second);
}

}  // namespace

namespace {

// The temporary files a killed run left in the save folder go at the next start; files that
// only look like them stay.
TEST(Ending, NextStartRemovesTheTemporariesOfAKilledRun) {
  GameFolder game;
  fs::create_directories(game.save());
  const char* gone[] = {"system.dat.tmp4242", "SAVE001.DAT.tmp7"};
  const char* kept[] = {"notes.tmp", "x.tmp12ab", ".tmp55", "keep.tmp1.txt"};
  for (const char* n : gone) testsupport::write_file(game.save() + "/" + n, "half");
  for (const char* n : kept) testsupport::write_file(game.save() + "/" + n, "mine");
  const auto r = game.run();
  EXPECT_EQ(r.exit_code, 0) << r.output;
  for (const char* n : gone) EXPECT_FALSE(fs::exists(game.save() + "/" + n)) << n;
  for (const char* n : kept) EXPECT_TRUE(fs::exists(game.save() + "/" + n)) << n;
}

}  // namespace

namespace {

// A damaged system.dat never deletes a save, whether the start may ask or wipes without
// asking (-DISWND): its stamp means nothing. It is kept aside as it was, and the game runs.
TEST(Ending, DamagedSystemDatNeverDeletesASave) {
  engine::SystemDatImage image;
  image.settings.dwScriptStamp = 1;  // another script's
  image.sysMem[0] = 42;
  image.textRead.assign(1, 0);
  image.fileSeen.assign(1, 0);
  const std::vector<uint8_t> encoded = engine::system_dat_encode(image);
  const std::string valid(encoded.begin(), encoded.end());
  std::string noise(64, '\0');
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 37 + 11);
  struct Case {
    const char* what;
    std::string system_dat;
  };
  const Case files[] = {{"random bytes", noise},
                        {"cut by one byte", valid.substr(0, valid.size() - 1)}};
  for (const Case& f : files) {
    for (const char* comments : {"", " -DISWND"}) {
      SCOPED_TRACE(std::string(f.what) + comments);
      GameFolderOptions o;
      o.comments = comments;
      o.script = ".stamp 2\n  end\n";
      GameFolder game(o);
      testsupport::write_file(game.save() + "/system.dat", f.system_dat);
      testsupport::write_file(game.save() + "/save001.dat", "slot");
      const auto r = game.run({}, {{"VELMORA_MSGBOX_ANSWERS", "6"}});
      EXPECT_EQ(r.exit_code, 0) << r.output;
      EXPECT_EQ(r.output.find("スクリプトファイルが更新されています。"), std::string::npos)
          << r.output;
      EXPECT_TRUE(fs::exists(game.save() + "/save001.dat")) << r.output;
      EXPECT_EQ(testsupport::read_file(game.save() + "/system.dat.bad"), f.system_dat);
      EXPECT_NE(r.output.find("damaged system file"), std::string::npos) << r.output;
      // Written again for this script: the next start asks nothing either.
      const auto again = game.run({}, {{"VELMORA_MSGBOX_ANSWERS", "6"}});
      EXPECT_EQ(again.exit_code, 0) << again.output;
      EXPECT_TRUE(fs::exists(game.save() + "/save001.dat")) << again.output;
    }
  }
}

}  // namespace

namespace {

// A start whose script cannot be read fails with exit code 1 and writes nothing over the files
// of the last good start, so the next good start goes on as before (no question, no wipe).
TEST(Ending, FailedStartLeavesTheGoodFilesAlone) {
  struct Case {
    const char* what;
    bool remove;  // true: no archive; false: an archive of noise
  };
  const Case cases[] = {{"missing script", true}, {"damaged archive", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameFolderOptions o;
    o.script = std::string(kMarkCell) + "  end\n";
    GameFolder game(o);
    testsupport::write_file(game.save() + "/save001.dat", "slot");
    const auto good = game.run();
    ASSERT_EQ(good.exit_code, 0) << good.output;
    const std::string system_dat = testsupport::read_file(game.save() + "/system.dat");
    const std::string config_dat = testsupport::read_file(game.save() + "/config.dat");
    const std::string pac = testsupport::read_file(game / "scene.pac");
    if (c.remove) {
      fs::remove(game / "scene.pac");
    } else {
      testsupport::write_file(game / "scene.pac", std::string(pac.size(), 'Z'));
    }
    const auto failed = game.run();
    EXPECT_EQ(failed.exit_code, 1) << failed.output;
    EXPECT_NE(failed.output.find("Script.src: not found"), std::string::npos) << failed.output;
    EXPECT_NE(failed.output.find("ゲームを開始できませんでした。"), std::string::npos)
        << failed.output;
    EXPECT_EQ(testsupport::read_file(game.save() + "/system.dat"), system_dat);
    EXPECT_EQ(testsupport::read_file(game.save() + "/config.dat"), config_dat);

    testsupport::write_file(game / "scene.pac", pac);
    const auto next = game.run({}, {{"VELMORA_MSGBOX_ANSWERS", "6"}});
    EXPECT_EQ(next.exit_code, 0) << next.output;
    EXPECT_EQ(next.output.find("スクリプトファイルが更新されています。"), std::string::npos)
        << next.output;
    EXPECT_TRUE(fs::exists(game.save() + "/save001.dat"));
  }
}

}  // namespace

namespace {

// A damaged access.dat or config.dat is said so, on stderr, naming the file; the original is
// kept beside the file that replaces it.
TEST(Ending, DamagedAccessAndConfigFilesAreReported) {
  GameFolder game;
  fs::create_directories(game.save());
  const std::string access(34, 'A');  // one record and a byte
  const std::string config(5, 'C');
  testsupport::write_file(game.save() + "/access.dat", access);
  testsupport::write_file(game.save() + "/config.dat", config);
  const auto r = game.run();
  EXPECT_EQ(r.exit_code, 0) << r.output;
  EXPECT_NE(r.output.find("access.dat: damaged file"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("config.dat: damaged file"), std::string::npos) << r.output;
  EXPECT_EQ(testsupport::read_file(game.save() + "/access.dat.bad"), access);
  EXPECT_EQ(testsupport::read_file(game.save() + "/config.dat.bad"), config);
  EXPECT_EQ(testsupport::read_file(game.save() + "/access.dat").size(), 33u);
  EXPECT_EQ(testsupport::read_file(game.save() + "/config.dat").size(), 36u);
}

}  // namespace
