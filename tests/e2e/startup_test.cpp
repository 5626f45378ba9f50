// Starting the real Velmora on a game folder: exit codes, the files it leaves, the questions
// it asks, the switches, the save folder and the version tokens.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/formats/system_files.h"
#include "shared/word_scrambler.h"
#include "support/game_folder.h"

namespace fs = std::filesystem;
using testsupport::GameFolder;
using testsupport::GameFolderOptions;

namespace {

bool has(const std::string& output, const std::string& text) {
  return output.find(text) != std::string::npos;
}

// A system.dat as the game writes it, kept for the script with this stamp.
std::string system_dat_with_stamp(uint32_t stamp) {
  engine::SystemDatImage image;
  image.settings.dwScriptStamp = stamp;
  image.textRead.assign(1, 0);
  image.fileSeen.assign(1, 0);
  const std::vector<uint8_t> b = engine::system_dat_encode(image);
  return std::string(b.begin(), b.end());
}

const char kWindowQuestion[] = "フルスクリーンでゲームを開始する。";
const char kScriptQuestion[] = "スクリプトファイルが更新されています。";

TEST(Startup, RunsAndLeavesItsDisplaySettings) {
  for (bool packed : {true, false}) {
    SCOPED_TRACE(packed ? "script in an archive" : "script loose");
    GameFolderOptions o;
    o.packed = packed;
    GameFolder game(o);
    const auto r = game.run();
    EXPECT_EQ(r.exit_code, 0) << r.output;
    const std::string config = testsupport::read_file(game.save() + "/config.dat");
    ASSERT_EQ(config.size(), 36u) << r.output;
    EXPECT_EQ(config[16] & 8, 8);  // saved with the Direct3D bit although /DIB ran
    EXPECT_TRUE(has(r.output, "save_folder=" + game.save())) << r.output;
  }
}

// A script that keeps a system-memory cell, marks a name outside File.dat as seen and ends.
std::string script_that_leaves_marks() {
  std::string s = ".stamp 0x5151\n";
  for (int i = 0; i < 80; ++i) s += ".text \"t" + std::to_string(i) + "\"\n";      // T = 81 / 8 + 1
  for (int i = 0; i < 80; ++i) s += ".file \"F" + std::to_string(i) + ".PNG\"\n";  // F = 80 / 4 + 1
  s += "  mov r1, 0x8000000\n"
       "  add r1, r1\n"  // string slot 0
       "  call strcpy(r1, text\"EXTRA.PNG\", -1)\n"
       "  call entry_access(r1)\n"
       "  mov s[r0], 99\n"
       "  end\n";
  return s;
}

TEST(Startup, GameEndsWithItsFilesWritten) {
  GameFolderOptions o;
  o.script = script_that_leaves_marks();
  GameFolder game(o);
  for (int run = 0; run < 2; ++run) {
    SCOPED_TRACE(run == 0 ? "first start" : "second start");
    const auto r = game.run();
    ASSERT_EQ(r.exit_code, 0) << r.output;
    EXPECT_FALSE(has(r.output, kScriptQuestion)) << r.output;
    // The first start finds no system.dat and says so in the error log before making one.
    EXPECT_EQ(has(r.output, "システムファイルの読み込みに失敗。[file open error]"), run == 0)
        << r.output;

    const std::string sys = testsupport::read_file(game.save() + "/system.dat");
    ASSERT_EQ(sys.size(), 7874u + 11 + 21) << r.output;
    auto u32 = [&](size_t at) {
      return static_cast<uint8_t>(sys[at]) | static_cast<uint8_t>(sys[at + 1]) << 8 |
             static_cast<uint8_t>(sys[at + 2]) << 16 |
             static_cast<uint32_t>(static_cast<uint8_t>(sys[at + 3])) << 24;
    };
    EXPECT_EQ(sys[0], 27);
    EXPECT_EQ(sys[1], 0);
    EXPECT_EQ(u32(2), 0x5151u);           // the script's stamp
    EXPECT_EQ(u32(2 + 24), 0xFFFFFFFFu);  // no save yet
    EXPECT_EQ(u32(3770), 99u);            // system memory cell 0
    EXPECT_EQ(u32(7866), 11u);
    EXPECT_EQ(u32(7866 + 4 + 11), 21u);

    std::string access = testsupport::read_file(game.save() + "/access.dat");
    ASSERT_EQ(access.size(), 33u);  // the name is not added twice on the second start
    unscramble_words(reinterpret_cast<uint8_t*>(access.data()), access.size());
    EXPECT_EQ(access.substr(0, 10), std::string("EXTRA.PNG\0", 10));
    EXPECT_EQ(access[32], 3);  // entered and new

    EXPECT_EQ(testsupport::read_file(game.save() + "/config.dat").size(), 36u);
    for (const auto& e : fs::directory_iterator(game.save())) {
      EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();
    }
  }
}

TEST(Startup, FoldersNamedBeyondShiftJis) {
  // The game folder (with its save folder, the XDG folders and the lock beside it) lies in a
  // folder whose name Shift-JIS cannot write: Latin-1, and an emoji.
  for (const char* folder : {"jos\xC3\xA9", "\xF0\x9F\x8E\xAE games"}) {
    SCOPED_TRACE(folder);
    GameFolderOptions o;
    o.folder = folder;
    o.script = script_that_leaves_marks();
    GameFolder game(o);
    for (int run = 0; run < 2; ++run) {
      const auto r = game.run();
      ASSERT_EQ(r.exit_code, 0) << r.output;
      EXPECT_TRUE(has(r.output, "save_folder=" + game.save() + " ")) << r.output;
      EXPECT_FALSE(has(r.output, kScriptQuestion)) << r.output;  // system.dat was read back
      const std::string sys = testsupport::read_file(game.save() + "/system.dat");
      ASSERT_EQ(sys.size(), 7874u + 11 + 21) << r.output;
      EXPECT_EQ(static_cast<uint8_t>(sys[3770]), 99);  // system memory cell 0
      EXPECT_EQ(testsupport::read_file(game.save() + "/config.dat").size(), 36u);
      EXPECT_EQ(testsupport::read_file(game.save() + "/access.dat").size(), 33u);
    }
  }
}

TEST(Startup, SecondInstanceEndsWithExitCodeOne) {
  GameFolder game;
  // Hold the lock as a running first copy does.
  const std::string lock = game / (game.product() + ".lock");
  const int fd = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  auto r = game.run();
  EXPECT_EQ(r.exit_code, 1) << r.output;
  EXPECT_FALSE(has(r.output, "startup:")) << r.output;  // it stopped before the window
  close(fd);
  r = game.run();
  EXPECT_EQ(r.exit_code, 0) << r.output;
}

TEST(Startup, MissingPlatformLibraryEndsWithExitCodeOne) {
  GameFolder game;
  fs::remove(game / "dll/libOrv.so");
  const auto r = game.run();
  EXPECT_EQ(r.exit_code, 1) << r.output;
  EXPECT_TRUE(has(r.output, "DLL NOT FOUND")) << r.output;
}

TEST(Startup, FirstRunWindowModeQuestion) {
  struct Case {
    const char* what;
    const char* comments;
    const char* answers;  // nullptr: no answer (no display)
    bool has_system_dat;
    bool asked;
    int full_screen;
    const char* desktop = nullptr;  // the desktop size the display reports
  };
  const Case cases[] = {
      {"answered yes", " VGA", "6", false, true, 1},
      {"answered no", " VGA", "7", false, true, 0},
      {"no answer", " VGA", nullptr, false, true, 0},
      {"played before", " VGA", "6", true, false, 0},
      {"does not fit the desktop", "", "7", false, false, 1},
      {"locked", " VGA -DISWND", "7", false, false, 1},
      // The desktop is read from the display before the window exists.
      {"fits a wide desktop", "", "7", false, true, 0, "1920x1080"},
      {"fills a desktop of its size", "", "7", false, false, 1, "1280x720"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameFolderOptions o;
    o.comments = c.comments;
    o.script = ".stamp 5\n  end\n";
    GameFolder game(o);
    if (c.has_system_dat)
      testsupport::write_file(game.save() + "/system.dat", system_dat_with_stamp(5));
    std::map<std::string, std::string> env;
    if (c.answers) env["VELMORA_MSGBOX_ANSWERS"] = c.answers;
    if (c.desktop) env["VELMORA_DESKTOP_SIZE"] = c.desktop;
    const auto r = game.run({}, env);
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_EQ(has(r.output, kWindowQuestion), c.asked) << r.output;
    EXPECT_TRUE(has(r.output, "full_screen=" + std::to_string(c.full_screen))) << r.output;
  }
}

TEST(Startup, ChangedScriptQuestion) {
  struct Case {
    const char* what;
    const char* comments;
    const char* answers;
    bool packed_script;  // false: no Script.src at all
    bool asked;
    bool wiped;
    int exit_code;  // a start without its script fails
  };
  const Case cases[] = {
      {"yes wipes", "", "6", true, true, true, 0},
      {"no keeps", "", "7", true, true, false, 0},
      {"no answer keeps", "", nullptr, true, true, false, 0},
      {"locked wipes without asking", " -DISWND", nullptr, true, false, true, 0},
      {"no script, nothing changed", "", "6", false, false, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameFolderOptions o;
    o.comments = c.comments;
    o.script = ".stamp 2\n  end\n";
    GameFolder game(o);
    if (!c.packed_script) fs::remove(game / "scene.pac");
    testsupport::write_file(game.save() + "/system.dat", system_dat_with_stamp(1));
    testsupport::write_file(game.save() + "/save001.dat", "slot");
    testsupport::write_file(game.save() + "/notes.txt", "keep");
    std::map<std::string, std::string> env;
    if (c.answers) env["VELMORA_MSGBOX_ANSWERS"] = c.answers;
    const auto r = game.run({}, env);
    EXPECT_EQ(r.exit_code, c.exit_code) << r.output;
    EXPECT_EQ(has(r.output, kScriptQuestion), c.asked) << r.output;
    EXPECT_EQ(fs::exists(game.save() + "/save001.dat"), !c.wiped) << r.output;
    EXPECT_TRUE(fs::exists(game.save() + "/notes.txt"));
  }
}

TEST(Startup, SwitchesFromTheArguments) {
  struct Case {
    std::vector<std::string> args;  // after the /DIB that every run has
    const char* expect;
  };
  const Case cases[] = {
      {{}, "gpu=0 run_inactive=1 wait_mode=2 movie_skip=0 "},
      {{"/DX"}, "gpu=1 "},
      {{"/NA"}, "run_inactive=0 "},
      {{"/VS"}, "wait_mode=0 "},
      {{"/MOVIESKIP"}, "movie_skip=1 "},
      {{"/dx"}, "gpu=0 "},
      {{"/NA/DX/VS", "/MOVIESKIP"}, "gpu=1 run_inactive=0 wait_mode=0 movie_skip=1 "},
  };
  GameFolder game;
  for (const Case& c : cases) {
    const std::string label = c.args.empty() ? "(none)" : c.args[0];
    const auto r = game.run(c.args);
    EXPECT_EQ(r.exit_code, 0) << label << r.output;
    EXPECT_TRUE(has(r.output, c.expect)) << label << "\n" << r.output;
  }
}

TEST(Startup, SaveFolderChoice) {
  {
    SCOPED_TRACE("installer's ini");
    GameFolder game;
    const std::string target = game / "installed/saves";
    testsupport::write_file(game / "xdg-config/Test Works/Velmora.ini",
                            "[INSTALL]\r\nSaveFold=" + target + "\r\n");
    const auto r = game.run();
    EXPECT_TRUE(has(r.output, "save_folder=" + target)) << r.output;
    EXPECT_TRUE(fs::is_regular_file(target + "/config.dat")) << r.output;
  }
  {
    SCOPED_TRACE("installer's ini ignored by -DL");
    GameFolderOptions o;
    o.comments = " -DL";
    GameFolder game(o);
    testsupport::write_file(game / "xdg-config/Test Works/Velmora.ini",
                            "[INSTALL]\nSaveFold=" + (game / "installed") + "\n");
    const auto r = game.run();
    EXPECT_TRUE(has(r.output, "save_folder=" + game.save() + " ")) << r.output;
  }
  {
    SCOPED_TRACE("folder that cannot be made");
    GameFolder game;
    testsupport::write_file(game / "blocker", "x");
    testsupport::write_file(game / "xdg-config/Test Works/Velmora.ini",
                            "[INSTALL]\nSaveFold=" + (game / "blocker/saves") + "\n");
    const auto r = game.run();
    EXPECT_EQ(r.exit_code, 1) << r.output;
  }
  // A read-only program folder puts the saves in the player's data folder, here one in a home
  // whose name Shift-JIS cannot write.
  for (const char* home : {"home", "jos\xC3\xA9 \xF0\x9F\x8E\xAE"}) {
    SCOPED_TRACE(std::string("read-only program folder, data folder in ") + home);
    GameFolderOptions o;
    o.company = "Co/Brand";
    o.script = script_that_leaves_marks();
    GameFolder game(o);
    testsupport::TempDir outside;
    const std::string data = outside / (std::string(home) + "/.local/share");
    fs::create_directories(data);
    bool skipped = false;
    const auto r = game.run_read_only(&skipped, {{"XDG_DATA_HOME", data}});
    if (skipped) GTEST_SKIP() << "no way to make the folder read-only for root here";
    EXPECT_EQ(r.exit_code, 0) << r.output;
    const std::string docs = data + "/Co/Brand/" + game.product() + "/save";
    EXPECT_TRUE(has(r.output, "save_folder=" + docs)) << r.output;
    EXPECT_TRUE(has(r.output, "セーブフォルダを")) << r.output;
    EXPECT_TRUE(fs::is_regular_file(docs + "/config.dat")) << r.output;
    EXPECT_EQ(testsupport::read_file(docs + "/system.dat").size(), 7874u + 11 + 21) << r.output;
    EXPECT_FALSE(fs::exists(game.save())) << r.output;
  }
}

TEST(Startup, VersionTokensAndNames) {
  struct Case {
    const char* comments;
    const char* system_ini;
    const char* expect;
  };
  const Case cases[] = {
      {"", "", "screen=1280x720 "},
      {" VGA", "", "screen=640x480 "},
      {" SVGA FHD", "", "screen=800x600 "},
      {" W600P", "", "screen=960x600 "},
      {" FHD", "", "screen=1920x1080 "},
      {" -DL", "", "run_mode=1 "},
      {"-DISWND", "", "run_mode=3 "},
      {" -RUBY -GRPOS", "", "ruby=0 grid=0 "},
      {"", "[initialize]\nPRODUCT_NAME= Renamed \nCOMPANY_NAME=NewCo/NewBrand\n",
       "product=Renamed company=NewCo brand=NewBrand "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.comments);
    GameFolderOptions o;
    o.comments = c.comments;
    o.system_ini = c.system_ini;
    GameFolder game(o);
    const auto r = game.run();
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_TRUE(has(r.output, c.expect)) << r.output;
  }
}

}  // namespace

namespace {

// Started from another folder, the game still works in its own: a relative name of a file
// command names a file of the program folder.
TEST(Startup, RelativeFileNamesNameFilesOfTheProgramFolder) {
  GameFolderOptions o;
  o.script = "  call text_file_save(text\"marks.txt\", text\"here\")\n  end\n";
  GameFolder game(o);
  testsupport::TempDir elsewhere;
  const auto r = testsupport::run_program(game / "Velmora", {"/DIB"}, elsewhere.path(),
                                          {{"SDL_VIDEODRIVER", "dummy"},
                                           {"SDL_AUDIODRIVER", "dummy"},
                                           {"XDG_DATA_HOME", elsewhere / "xdg"},
                                           {"XDG_CONFIG_HOME", elsewhere / "xdg"},
                                           {"XDG_RUNTIME_DIR", elsewhere.path()}});
  ASSERT_EQ(r.exit_code, 0) << r.output;
  EXPECT_EQ(testsupport::read_file(game / "marks.txt"), "here");
  EXPECT_FALSE(std::filesystem::exists(elsewhere / "marks.txt"));
}

}  // namespace

namespace {

// One fault, one report: a game without archive.dat shows its box once, and one line says which
// file is missing, by its real path.
TEST(Startup, MissingArchiveListIsReportedOnceByItsPath) {
  GameFolderOptions o;
  o.with_archive_dat = false;
  o.packed = false;
  GameFolder game(o);
  const auto r = game.run();
  size_t boxes = 0;
  for (size_t at = r.output.find("ArchiveData Fail"); at != std::string::npos;
       at = r.output.find("ArchiveData Fail", at + 1)) {
    ++boxes;
  }
  EXPECT_EQ(boxes, 1u) << r.output;
  EXPECT_NE(r.output.find(game.path() + "/data/archive.dat: not found"), std::string::npos)
      << r.output;
}

}  // namespace
