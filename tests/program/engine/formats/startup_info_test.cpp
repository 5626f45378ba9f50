// The version record, its Comments tokens, the switches and the save-folder choice.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/save_folder.h"
#include "engine/formats/startup_info.h"
#include "engine/startup_params.h"
#include "platform/file.h"
#include "engine/orv_static_bind.h"
#include "support/temp_dir.h"

namespace {

TEST(VersionRecord, FileOverridesKeyByKey) {
  engine::VersionRecord r{"Co", "Prod", "Velmora", " VGA"};
  engine::version_record_apply(&r,
                               "ProductName=\xe3\x81\x82 Game\r\n"  // "あ Game"
                               "Comments= FHD -DL\n"
                               "Unknown=1\n"
                               "no equals sign\n"
                               "CompanyName=A=B/C");
  EXPECT_EQ(r.company, "A=B/C");  // the value is everything after the first '='
  EXPECT_EQ(r.product, "\x82\xa0 Game");
  EXPECT_EQ(r.original_filename, "Velmora");
  EXPECT_EQ(r.comments, " FHD -DL");                           // the leading blank stays
  engine::version_record_apply(&r, "ProductName=\xff\xfe\n");  // not UTF-8: kept as it was
  EXPECT_EQ(r.product, "\x82\xa0 Game");
}

TEST(VersionRecord, CommentTokens) {
  struct Case {
    const char* comments;
    uint32_t size_index, run_mode, ruby, grid;
    uint8_t skip_instance, lock, ignore_ini;
  };
  const Case cases[] = {
      {"", 0, 0, 1, 1, 0, 0, 0},
      {"build FHD SVGA", 2, 0, 1, 1, 0, 0, 0},  // the table's order wins, not the text's
      {" VGA", 1, 0, 1, 1, 0, 0, 0},
      {" W600P", 3, 0, 1, 1, 0, 0, 0},
      {"x FHD", 5, 0, 1, 1, 0, 0, 0},
      {"FHD", 0, 0, 1, 1, 0, 0, 0},  // needs its blank
      {" -RUBY -GRPOS", 0, 0, 0, 0, 0, 0, 0},
      {" -DL", 0, 1, 1, 1, 0, 0, 1},
      {"-DISWND -DL", 0, 3, 1, 1, 0, 1, 1},
      {"x-BOOT2SKIP", 0, 0, 1, 1, 1, 0, 0},
      {" svga -dl", 0, 0, 1, 1, 0, 0, 0},  // case-sensitive
  };
  for (const Case& c : cases) {
    engine::StartupSettings s;
    engine::comment_tokens_apply(c.comments, &s);
    EXPECT_EQ(s.nScreenSizeIndex, c.size_index) << c.comments;
    EXPECT_EQ(s.nRunMode, c.run_mode) << c.comments;
    EXPECT_EQ(s.bRubyOffset, c.ruby) << c.comments;
    EXPECT_EQ(s.bLayoutGrid, c.grid) << c.comments;
    EXPECT_EQ(s.bSkipSingleInstance, c.skip_instance) << c.comments;
    EXPECT_EQ(s.bWindowModeLock, c.lock) << c.comments;
    EXPECT_EQ(s.bIgnoreInstallIni, c.ignore_ini) << c.comments;
  }
}

TEST(StartupInfo, TrimAndScreenTable) {
  EXPECT_EQ(engine::str_trim(" \t\r\nGame \v\f"), "Game");
  EXPECT_EQ(engine::str_trim(" \n "), "");
  EXPECT_EQ(engine::screen_size_row(5).client_width, 1920);
  EXPECT_EQ(engine::screen_size_row(8).screen_height, 4320);
  EXPECT_EQ(engine::screen_size_row(9).client_width, 1280);  // unknown rows give 1280 x 720
  EXPECT_EQ(engine::screen_size_row(0xFFFFFFFF).client_height, 720);
}

TEST(Switches, FromTheArgumentsOnly) {
  struct Case {
    std::vector<std::string> args;
    uint32_t flags;
    int32_t wait_mode;
    uint8_t movie_skip;
  };
  const Case cases[] = {
      {{}, 9, 2, 0},
      {{"/MOVIESKIP"}, 9, 2, 1},
      {{"/DIB"}, 1, 2, 0},
      {{"/DIB/DX"}, 9, 2, 0},
      {{"/DX", "/DIB"}, 1, 2, 0},
      {{"/dx", "/dib"}, 9, 2, 0},
      {{"/NA"}, 8, 2, 0},
      {{"/VS"}, 9, 0, 0},
      {{"/DIBX/NAME"}, 0, 2, 0},  // text after a name is ignored
      {{"x/VS/"}, 9, 0, 0},
  };
  for (const Case& c : cases) {
    // The program's own path holds "/DX" and "/NA": it never counts.
    std::vector<std::string> storage = {"/games/DXgame/NAme/Velmora"};
    storage.insert(storage.end(), c.args.begin(), c.args.end());
    std::vector<char*> argv;
    for (std::string& a : storage) argv.push_back(a.data());
    StartParams p{};
    p.display_flags = 9;
    p.wait_mode = 2;
    engine::StartupSettings s;
    engine::switches_apply(static_cast<int>(argv.size()), argv.data(), &p, &s);
    const std::string label = c.args.empty() ? "(none)" : c.args[0];
    EXPECT_EQ(p.display_flags, c.flags) << label;
    EXPECT_EQ(p.wait_mode, c.wait_mode) << label;
    EXPECT_EQ(s.bMovieSkip, c.movie_skip) << label;
  }
}

const std::string kIniValue = "\\srv\\saves";
bool ini_present(const std::string& path, std::string* value) {
  if (path != "\\cfg\\Co\\Velmora.ini") return false;
  *value = kIniValue;
  return true;
}
bool ini_absent(const std::string&, std::string*) {
  return false;
}

TEST(SaveFolder, ChoiceOverAFakeEnvironment) {
  struct Case {
    const char* what;
    std::string brand;
    uint8_t ignore_ini;
    bool protected_dir;
    std::string documents;
    bool (*ini)(const std::string&, std::string*);
    std::string path;
    int32_t kind;
  };
  const Case cases[] = {
      {"plain folder", "", 0, false, "\\home\\p\\.local\\share", ini_absent, "\\games\\x\\save", 0},
      {"protected folder", "", 0, true, "\\docs", ini_absent, "\\docs\\Co\\Game\\save", 1},
      {"protected, with brand", "Br", 0, true, "\\docs", ini_absent, "\\docs\\Co\\Br\\Game\\save",
       1},
      {"protected, no documents", "", 0, true, "", ini_absent, "\\games\\x\\save", 0},
      {"installer ini", "", 0, true, "\\docs", ini_present, kIniValue, 2},
      {"installer ini ignored", "", 1, false, "\\docs", ini_present, "\\games\\x\\save", 0},
  };
  for (const Case& c : cases) {
    engine::SaveFolderInfo info{"\\games\\x", "Co", c.brand, "Velmora.exe", "Game", c.ignore_ini};
    engine::SaveFolderEnvironment env{c.documents, "\\cfg\\Co\\Velmora.ini", c.protected_dir};
    const engine::SaveFolderChoice r = engine::save_folder_resolve(info, env, c.ini);
    EXPECT_EQ(r.szPath, c.path) << c.what;
    EXPECT_EQ(r.nKind, c.kind) << c.what;
  }
}

TEST(SaveFolder, CreatesEveryMissingFolderWithoutSplittingCharacters) {
  engine::orv_static_bind();  // folders are made through the library's file exports
  testsupport::TempDir dir;
  std::string base = dir.path();
  for (char& ch : base) {
    if (ch == '/') ch = '\\';
  }
  // "表" is 0x95 0x5C: its trail byte is a backslash and must not cut the name.
  const std::string path = base + "\\a\\\x95\x5c\\b";
  ASSERT_EQ(engine::create_folder_path(path), 1u);
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() + "/a/\xe8\xa1\xa8/b"));
  EXPECT_EQ(engine::create_folder_path(path), 1u);  // already there
  EXPECT_EQ(engine::create_folder_path("relative\\x"), 0u);
  EXPECT_EQ(engine::create_folder_path("\\" + std::string(300, 'a')), 0u);
  testsupport::write_file(dir.path() + "/file", "x");
  EXPECT_EQ(engine::create_folder_path(base + "\\file\\sub"), 0u);
}

}  // namespace
