// The formats of system.dat, access.dat, config.dat and archive.dat, and the save-folder wipe.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "engine/formats/startup_info.h"
#include "engine/formats/system_files.h"
#include "engine/game_task.h"
#include "platform/file.h"
#include "shared/word_scrambler.h"
#include "support/game_folder_fixture.h"
#include "support/temp_dir.h"

namespace enginetest {
namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

TEST(SystemDat, LayoutPutsEveryRegionAtItsOffset) {
  engine::SystemDatImage image;
  image.settings.dwScriptStamp = 0x11223344;
  image.settings.nNewestSave = -1;
  image.settings.nameColors[15].szName[31] = 'z';
  image.sound[0] = 0xAB;
  image.sysMem[1023] = 0xCAFEF00D;
  image.textRead.assign(10, 0x5A);
  image.fileSeen.assign(20, 0xA5);
  const std::vector<uint8_t> b = engine::system_dat_encode(image);
  ASSERT_EQ(b.size(), 7904u);  // 7874 + T + F
  EXPECT_EQ(b[0], 27);
  EXPECT_EQ(b[1], 0);
  EXPECT_EQ(le32(b, 2), 0x11223344u);
  EXPECT_EQ(le32(b, 2 + 24), 0xFFFFFFFFu);
  EXPECT_EQ(b[2 + 48 + 15 * 48 + 16 + 31], 'z');  // last byte of the settings
  EXPECT_EQ(b[818], 0xAB);
  EXPECT_EQ(le32(b, 3770 + 4 * 1023), 0xCAFEF00Du);
  EXPECT_EQ(le32(b, 7866), 10u);
  EXPECT_EQ(b[7870], 0x5A);
  EXPECT_EQ(le32(b, 7880), 20u);
  EXPECT_EQ(b[7884], 0xA5);

  engine::SystemDatImage back;
  std::string error;
  ASSERT_TRUE(engine::system_dat_decode(b.data(), b.size(), &back, &error)) << error;
  EXPECT_EQ(engine::system_dat_encode(back), b);
}

TEST(SystemDat, DamagedFilesAreRefused) {
  engine::SystemDatImage image;
  image.textRead.assign(10, 1);
  image.fileSeen.assign(20, 2);
  const std::vector<uint8_t> good = engine::system_dat_encode(image);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> huge_count = good;
  huge_count[7866 + 3] = 0x7F;  // T claims about 2 GB
  const Case cases[] = {
      {"empty", {}},
      {"fixed part only", std::vector<uint8_t>(good.begin(), good.begin() + 7866)},
      {"text bits cut", std::vector<uint8_t>(good.begin(), good.begin() + 7875)},
      {"no file-seen count", std::vector<uint8_t>(good.begin(), good.begin() + 7880)},
      {"file bits cut", std::vector<uint8_t>(good.begin(), good.end() - 1)},
      {"huge count", huge_count},
  };
  for (const Case& c : cases) {
    const std::vector<uint8_t>& bytes = c.bytes;
    engine::SystemDatImage out;
    std::string error;
    EXPECT_FALSE(engine::system_dat_decode(bytes.data(), bytes.size(), &out, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

TEST(AccessDat, ScramblesWholeWordsAndKeepsTheTailPlain) {
  engine::EntryName e{};
  std::memcpy(e.name, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345", 32);  // 32 bytes, no terminator
  e.flag = 3;
  const std::vector<uint8_t> b = engine::access_dat_encode({e});
  ASSERT_EQ(b.size(), 33u);
  EXPECT_EQ(b[32], 3);  // the flag lies after the last whole word
  uint8_t plain[33];
  std::memcpy(plain, b.data(), 33);
  unscramble_words(plain, 33);
  EXPECT_EQ(std::memcmp(plain, e.name, 32), 0);
  EXPECT_NE(std::memcmp(b.data(), e.name, 32), 0);

  // Two records and a stray byte: the partial record is dropped.
  std::vector<uint8_t> two = engine::access_dat_encode({e, e});
  two.push_back(0x55);
  const auto names = engine::access_dat_decode(two.data(), two.size());
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(std::memcmp(names[1].name, e.name, 32), 0);
  EXPECT_EQ(names[1].flag, 3);
  EXPECT_TRUE(engine::access_dat_decode(nullptr, 0).empty());
}

TEST(ConfigDat, NineWordsAndShortFilesCountAsMissing) {
  StartParams p{};
  p.window_x = -5;
  p.client_width = 1280;
  p.display_flags = 9;
  p.movie_format = 1;
  uint8_t b[36];
  engine::config_dat_encode(p, b);
  EXPECT_EQ(b[0], 0xFB);  // -5
  EXPECT_EQ(b[8] | (b[9] << 8), 1280);
  EXPECT_EQ(b[16], 9);
  EXPECT_EQ(b[32], 1);

  StartParams q{};
  EXPECT_FALSE(engine::config_dat_decode(b, 35, &q));
  EXPECT_EQ(q.client_width, 0);  // untouched
  uint8_t longer[37];
  std::memcpy(longer, b, 36);
  longer[36] = 0xFF;
  ASSERT_TRUE(engine::config_dat_decode(longer, 37, &q));
  EXPECT_EQ(q.window_x, -5);
  EXPECT_EQ(q.client_width, 1280);
  EXPECT_EQ(q.display_flags, 9u);
}

TEST(ArchiveDat, FieldsNamesAndBlanks) {
  struct Case {
    const char* text;
    int n;
    bool found;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {"a|b,c", 0, true, {"a", "b"}},
      {"a|b,c", 1, true, {"c"}},
      {"a|b,c", 2, false, {}},
      {"a |  b\r\n", 0, true, {"a", "b"}},
      {"\t||x|", 0, true, {"x"}},
      {"", 0, true, {}},
      // Names in Shift-JIS: "ポ" ends in 0x7C, the name separator, and "＠" (0x81 0x40) is a
      // full-width blank that stays; neither splits or loses a byte.
      {"\x83\x7C\x83\x8B|b", 0, true, {"\x83\x7C\x83\x8B", "b"}},
      {"a,\x83\x7C|\x81\x40x", 1, true, {"\x83\x7C", "\x81\x40x"}},
      {"\x83\x7C,\x83\x7C", 1, true, {"\x83\x7C"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> names;
    EXPECT_EQ(engine::archive_field_names(c.text, c.n, &names), c.found) << c.text << " " << c.n;
    EXPECT_EQ(names, c.names) << c.text << " " << c.n;
  }
  // A field longer than 259 bytes is cut, never written past its buffer.
  std::vector<std::string> names;
  ASSERT_TRUE(engine::archive_field_names(std::string(400, 'q'), 0, &names));
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names[0].size(), 259u);
}

class SaveFolderFiles : public GameFolderTest {
 protected:
  void SetUp() override {
    GameFolderTest::SetUp();
    std::snprintf(engine::startup_info().szSaveFolder, 520, "%s", system_path(save_).c_str());
  }
  void TearDown() override {
    engine::startup_info().szSaveFolder[0] = 0;
    GameFolderTest::TearDown();
  }
};

TEST_F(SaveFolderFiles, WipeDeletesOnlyDatAndJpgFiles) {
  for (const char* name : {"save001.dat", "thumb.jpg", "config.DAT", "notes.txt"}) {
    put(std::string("save/") + name, "x");
  }
  std::filesystem::create_directories(save_ + "/keep.dat");
  EXPECT_EQ(engine::save_folder_wipe(), 1u);
  EXPECT_FALSE(exists("save/save001.dat"));
  EXPECT_FALSE(exists("save/thumb.jpg"));
  EXPECT_TRUE(exists("save/config.DAT"));
  EXPECT_TRUE(exists("save/notes.txt"));
  EXPECT_TRUE(exists("save/keep.dat"));
}

TEST_F(SaveFolderFiles, WriteFailuresAreReported) {
  StartParams p{};
  p.client_width = 640;
  p.client_height = 480;
  const std::string path = system_path(save_) + "\\config.dat";
  ASSERT_EQ(engine::config_dat_save(path, p), 1u);
  const std::string bytes = get("save/config.dat");
  ASSERT_EQ(bytes.size(), 36u);
  EXPECT_EQ(bytes[16] & 8, 8);  // the Direct3D bit is always saved set
  // A folder where the file should be: the write fails and says so, the folder stays.
  std::filesystem::create_directories(save_ + "/blocked.dat");
  EXPECT_EQ(engine::config_dat_save(system_path(save_) + "\\blocked.dat", p), 0u);
  EXPECT_EQ(engine::config_dat_save(system_path(save_) + "\\missing\\config.dat", p), 0u);
}

}  // namespace
}  // namespace enginetest

namespace enginetest {
namespace {

// A table file whose word at byte 12 is the count (the header is all that is read here).
std::string table_with_count(uint32_t count) {
  std::string t(16, '\0');
  for (int i = 0; i < 4; ++i) t[12 + i] = static_cast<char>(count >> (8 * i));
  return t;
}

class SystemDatFiles : public SaveFolderFiles {
 protected:
  void put_tables(uint32_t texts, uint32_t files) {
    put("Script.src", std::string("\0\0\0\0\x44\x33\x22\x11", 8));
    put("Text.dat", table_with_count(texts));
    put("File.dat", table_with_count(files));
  }
};

TEST_F(SystemDatFiles, CreateSizesTheReadMarksFromTheTables) {
  struct Case {
    uint32_t texts, files, text_bytes, file_bytes;
    bool text_warning, file_warning;
  };
  const Case cases[] = {
      {200000, 65535, 25001, 16384, false, false},
      {200001, 65536, 25001, 16385, true, true},
      {0, 0, 1, 1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.texts);
    put_tables(c.texts, c.files);
    testing::internal::CaptureStderr();
    ASSERT_EQ(engine::system_dat_create(gs()), 1u);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err.find("テキストワード数") != std::string::npos, c.text_warning) << err;
    EXPECT_EQ(err.find("画像ファイル数") != std::string::npos, c.file_warning) << err;
    EXPECT_EQ(vm().seen.dwTextReadBytes, c.text_bytes);
    EXPECT_EQ(vm().seen.dwFileSeenBytes, c.file_bytes);
    EXPECT_EQ(gs().settings.dwScriptStamp, 0x11223344u);
    EXPECT_EQ(gs().settings.nNewestSave, -1);
    EXPECT_EQ(gs().settings.dwMessageSpeed, 50u);
    const std::string file = get("save/system.dat");
    EXPECT_EQ(file.size(), 7874u + c.text_bytes + c.file_bytes);
    // The sound defaults as stored: words 0, 1, 3, 2, ... of the volume record.
    EXPECT_EQ(static_cast<uint8_t>(file[818 + 8]), 0u);  // stored third: word 3, volume 0
    EXPECT_EQ(static_cast<uint8_t>(file[818 + 12]), 5000 & 0xFF);
    EXPECT_TRUE(logged(engine::kLogError, "システムファイルを作成。"));
  }
}

TEST_F(SystemDatFiles, CreateFailsForEachMissingTable) {
  const struct {
    const char* missing;
    const char* line;
  } cases[] = {
      {"Script.src", "[Script.rc]"}, {"Text.dat", "[Text.dat]"}, {"File.dat", "[File.dat]"}};
  for (const auto& c : cases) {
    put_tables(1, 1);
    std::filesystem::remove(game_ + "/" + c.missing);
    platform::file_cache_clear();
    EXPECT_EQ(engine::system_dat_create(gs()), 0u) << c.missing;
    EXPECT_TRUE(logged(engine::kLogError, c.line)) << c.missing;
  }
}

TEST_F(SystemDatFiles, SaveAndLoadKeepEverything) {
  put_tables(100, 100);
  ASSERT_EQ(engine::system_dat_create(gs()), 1u);
  gs().settings.dwAutoSpeed = 77;
  gs().settings.nameColors[3].dwTextColor = 0xFF00FF00;
  vm().sysMem[1023] = 42;
  vm().seen.lpTextRead[12] = 0x81;
  vm().seen.lpFileSeen[25] = 0x3C;
  ASSERT_EQ(engine::system_dat_save(gs()), 1u);

  engine::GameState fresh{};
  ASSERT_TRUE(engine::system_dat_load(fresh));
  EXPECT_EQ(fresh.settings.dwAutoSpeed, 77u);
  EXPECT_EQ(fresh.settings.nameColors[3].dwTextColor, 0xFF00FF00u);
  EXPECT_EQ(fresh.vm.sysMem[1023], 42u);
  ASSERT_EQ(fresh.vm.seen.dwTextReadBytes, 13u);
  ASSERT_EQ(fresh.vm.seen.dwFileSeenBytes, 26u);
  EXPECT_EQ(fresh.vm.seen.lpTextRead[12], 0x81);
  EXPECT_EQ(fresh.vm.seen.lpFileSeen[25], 0x3C);
  orv.OrvMemoryFree(fresh.vm.seen.lpTextRead);
  orv.OrvMemoryFree(fresh.vm.seen.lpFileSeen);
}

// The sound settings travel through the file field by field: voice before background voice
// in memory, the other way round in the file.
TEST_F(SystemDatFiles, SoundSettingsSaveAndLoad) {
  put_tables(1, 1);
  ASSERT_EQ(engine::system_dat_create(gs()), 1u);
  engine::SoundState& s = vm().sound;
  s.volumes[engine::kCatVoice] = 1200;
  s.volumes[engine::kCatBgv] = 3400;
  s.switches[engine::kCatBgm] = 0;
  s.bgmAuto = {1, 40, 1};
  s.voiceInfo[5] = {1, 1, 80, "VO_A"};
  ASSERT_EQ(engine::system_dat_save(gs()), 1u);
  const std::string file = get("save/system.dat");
  EXPECT_EQ(static_cast<uint8_t>(file[818 + 8]), 3400 & 0xFF);   // background voice third
  EXPECT_EQ(static_cast<uint8_t>(file[818 + 12]), 1200 & 0xFF);  // voice fourth

  engine::GameState fresh{};
  ASSERT_TRUE(engine::system_dat_load(fresh));
  EXPECT_EQ(fresh.vm.sound.volumes[engine::kCatVoice], 1200);
  EXPECT_EQ(fresh.vm.sound.volumes[engine::kCatBgv], 3400);
  EXPECT_EQ(fresh.vm.sound.switches[engine::kCatBgm], 0u);
  EXPECT_EQ(fresh.vm.sound.bgmAuto.factor, 40u);
  EXPECT_STREQ(fresh.vm.sound.voiceInfo[5].prefix, "VO_A");
  orv.OrvMemoryFree(fresh.vm.seen.lpTextRead);
  orv.OrvMemoryFree(fresh.vm.seen.lpFileSeen);
}

// A damaged file is read as far as it goes and kept aside as it was; one line says so. Only
// a file without even its fixed part leaves the defaults to the caller.
TEST_F(SystemDatFiles, DamagedFileIsReadAsFarAsItGoesAndKeptAside) {
  put_tables(100, 100);
  ASSERT_EQ(engine::system_dat_create(gs()), 1u);
  vm().sysMem[0] = 42;
  vm().seen.lpTextRead[12] = 0x81;
  vm().seen.lpFileSeen[24] = 0x3C;
  ASSERT_EQ(engine::system_dat_save(gs()), 1u);
  const std::string whole = get("save/system.dat");

  const std::string cut = whole.substr(0, whole.size() - 1);  // the last mark byte is gone
  put("save/system.dat", cut);
  engine::GameState read{};
  ASSERT_TRUE(engine::system_dat_load(read));
  EXPECT_EQ(read.vm.sysMem[0], 42u);
  ASSERT_EQ(read.vm.seen.dwTextReadBytes, 13u);
  EXPECT_EQ(read.vm.seen.lpTextRead[12], 0x81);
  ASSERT_EQ(read.vm.seen.dwFileSeenBytes, 26u);  // as the tables need, the lost byte zero
  EXPECT_EQ(read.vm.seen.lpFileSeen[24], 0x3C);
  EXPECT_EQ(read.vm.seen.lpFileSeen[25], 0);
  EXPECT_EQ(read.settings.dwScriptStamp, 0x11223344u);
  EXPECT_EQ(get("save/system.dat.bad"), cut);
  EXPECT_TRUE(logged(engine::kLogError, "damaged system file"));
  orv.OrvMemoryFree(read.vm.seen.lpTextRead);
  orv.OrvMemoryFree(read.vm.seen.lpFileSeen);

  put("save/system.dat", whole.substr(0, 100));
  engine::GameState stub{};
  EXPECT_FALSE(engine::system_dat_load(stub));
  EXPECT_EQ(stub.vm.seen.lpTextRead, nullptr);
  EXPECT_EQ(get("save/system.dat.bad"), whole.substr(0, 100));
}

// The second record of the sound settings switches the categories of the first on and off: a
// switched-off category loads silent.
TEST_F(SystemDatFiles, LoadAppliesTheSoundSwitches) {
  put_tables(1, 1);
  ASSERT_EQ(engine::system_dat_create(gs()), 1u);
  std::string file = get("save/system.dat");
  // Record 1 is stored after record 0 (32 bytes); its word 4 (type 5) is stored fifth.
  for (int b = 0; b < 4; ++b) file[818 + 32 + 16 + b] = 0;
  put("save/system.dat", file);
  engine::GameState read{};
  ASSERT_TRUE(engine::system_dat_load(read));
  int32_t volume = -1;
  EXPECT_EQ(orv.OrvSoundGetVolume(&volume, 5), 0);
  EXPECT_EQ(orv.OrvSoundGetVolume(&volume, 4), 5000);
  orv.OrvMemoryFree(read.vm.seen.lpTextRead);
  orv.OrvMemoryFree(read.vm.seen.lpFileSeen);
}

TEST_F(SystemDatFiles, EntryNamesGoThroughAccessDat) {
  const std::string full(32, 'N');
  EXPECT_EQ(engine::entry_name_add(gs(), full.c_str(), 2), 1u);
  EXPECT_EQ(engine::entry_name_add(gs(), (full + "X").c_str(), 1), 0u);  // 33 bytes
  EXPECT_EQ(engine::entry_name_add(gs(), "BG01.PNG", 3), 1u);
  ASSERT_EQ(engine::access_dat_save(gs()), 1u);
  EXPECT_EQ(get("save/access.dat").size(), 66u);

  engine::GameState other{};
  other.vm.seen.hEntryNames = engine::orv_list_create();
  engine::access_dat_load(other);
  ASSERT_EQ(engine::orv_list_count(other.vm.seen.hEntryNames, 0), 2u);
  bool found_full = false;
  while (auto* e = reinterpret_cast<engine::EntryName*>(
             engine::orv_list_pop(other.vm.seen.hEntryNames, 0))) {
    if (std::memcmp(e->name, full.data(), 32) == 0) found_full = e->flag == 2;
    orv.OrvMemoryFree(e);
  }
  EXPECT_TRUE(found_full);
  engine::orv_list_release(other.vm.seen.hEntryNames);

  // An empty list writes an empty file; no list writes nothing.
  engine::GameState none{};
  EXPECT_EQ(engine::access_dat_save(none), 0u);
}

}  // namespace
}  // namespace enginetest
