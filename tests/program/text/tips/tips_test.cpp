// Tips words as the scripts read them (records filled the way the renderer fills them), the
// favourites with their file laid out by hand, and the tips dictionary from hand-written CSV.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/game_files.h"
#include "platform/file_handle.h"
#include "support/temp_dir.h"
#include "support/vm_fixture.h"
#include "text/render/text_tips.h"
#include "text/tips/favourites.h"
#include "text/tips/tips_dictionary.h"

namespace {

constexpr uint32_t kSlot = 0x10000000;

class TipsTest : public enginetest::VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    tips::fav_clear(tips::favourites);
    tips::favourites.capacity = 0;
    tips::tips_dictionary = tips::TipsDictionary{};
  }
  void TearDown() override {
    tips::fav_clear(tips::favourites);
    tips::tips_dictionary = tips::TipsDictionary{};
    VmTest::TearDown();
  }
  uint32_t call(uint32_t id, std::vector<uint32_t> args, uint32_t* verdict = nullptr) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) engine::vm_push(vm(), *it);
    vm().dwResultReg = 0;
    vm().reg[0] = 0xDEAD;
    const engine::CommandHandler h = engine::command_lookup(id);
    EXPECT_NE(h, nullptr) << std::hex << id;
    const uint32_t v = h ? h(vm()) : 0;
    if (verdict) *verdict = v;
    return vm().reg[0];
  }
  uint32_t slot(uint32_t n, const std::string& text) {
    std::strcpy(vm().strings.slots[n], text.c_str());
    return kSlot | n;
  }
  // A word as the renderer records it: into record [count], then count grows.
  void record(const char* word, int wrapped = 0) {
    engine::TextTipsState& t = vm().tips;
    if (t.nCount >= 31) t.nCount = 0;
    engine::TextTip& tip = t.tips[t.nCount];
    tip = engine::TextTip{};
    std::strcpy(tip.strings[0], word);
    tip.fields[engine::kTipWrapped] = wrapped;
    tip.fields[9] = 24;
    tip.fields[10] = 30;
    ++t.nCount;
    t.dwState = engine::kTipsBeginEnabled | engine::kTipsEndRequested;
  }
};

// ---- tips words ----

TEST_F(TipsTest, WordsAreFoundByTextAndTheirParamsFollowTheFont) {
  call(0x020028, {});  // tips_reset
  record("alpha");
  record("beta", 1);
  record("gamma");
  EXPECT_EQ(call(0x020025, {}), 2u);  // tips_get_last_index
  EXPECT_EQ(call(0x020029, {slot(0, "beta")}), 1u);
  EXPECT_EQ(call(0x020029, {slot(0, "delta")}), 0xFFFFFFFFu);
  EXPECT_EQ(call(0x020029, {5}), 0xFFFFFFFFu);  // not a string slot
  EXPECT_EQ(call(0x020027, {1, 9}), 1u);        // wrapped
  EXPECT_EQ(call(0x020027, {0, 9}), 0u);
  int32_t effect = 3;
  static int32_t* s_effect = nullptr;
  s_effect = &effect;
  orv.OrvFontGetEffect = [] { return *s_effect; };
  EXPECT_EQ(call(0x020027, {0, 10}), 28u);  // field 9 + 4
  effect = 1;
  EXPECT_EQ(call(0x020027, {0, 11}), 32u);  // field 10 + 2
  EXPECT_EQ(call(0x020027, {0, 21}), 0u);
  vm().text.nCharSize = 24;
  EXPECT_EQ(call(0x020027, {0, 12}), 24u);
  uint32_t verdict = 1;
  EXPECT_EQ(call(0x020026, {2, slot(1, ""), 3}, &verdict), 0u);  // part 3 does not exist
  EXPECT_EQ(verdict, 0u);
  call(0x020026, {2, slot(1, ""), 0});
  EXPECT_STREQ(vm().strings.slots[1], "gamma");
  EXPECT_EQ(call(0x020027, {40, 0}), 0u);  // a tip past the 32 records reads nothing

  // The 32nd word since the reset overwrites record 0.
  for (int i = 3; i < 32; ++i) record("w");
  EXPECT_EQ(vm().tips.nCount, 1);
  EXPECT_EQ(call(0x020025, {}), 0u);
}

TEST_F(TipsTest, ColoursPauseAndInit) {
  call(0x02002A, {0x112233, 0x445566});
  EXPECT_EQ(vm().tips.bColoursOn, 1u);
  call(0x02002A, {0xFFFFFFFFu, 7});
  EXPECT_EQ(vm().tips.bColoursOn, 0u);
  EXPECT_EQ(vm().tips.dwColour1, 0x112233u);  // kept
  EXPECT_EQ(call(0x02002E, {}), 0u);          // tips_pause: before 0, now 1
  EXPECT_EQ(call(0x02002E, {}), 1u);
  call(0x02002B, {});
  EXPECT_EQ(vm().tips.dwState, engine::kTipsEndRequested);
  call(0x02002D, {});
  EXPECT_EQ(vm().tips.dwColour1, 0u);
  EXPECT_EQ(vm().tips.dwState, 0u);
}

// Leaving a sub-scene ends the wait of a line with tips words: the end label runs as a gosub
// and the script goes on after leave_sub_scene when it returns. Unarmed, nothing is called.
TEST_F(TipsTest, LeavingASubSceneRunsTheGlossaryEndLabel) {
  for (const bool armed : {true, false}) {
    load(std::string(armed ? "  call tips_stop\n" : "") +
         "  call tips_set_process(0, @glossary_end)\n"
         "  call leave_sub_scene\n"
         "  mov r3, 1\n"
         "  end\n"
         "glossary_end:\n"
         "  mov r4, 7\n"
         "  ret\n");
    vm().reg[3] = vm().reg[4] = 0;
    vm().tips.bHookRunning = 1;
    vm().runner.bRunning = 1;
    run();
    EXPECT_EQ(vm().reg[4], armed ? 7u : 0u) << armed;
    if (armed) {
      EXPECT_EQ(vm().reg[3], 1u);  // back after the command
    }
    EXPECT_EQ(vm().tips.bHookRunning, armed ? 0 : 1) << armed;
    vm().tips = engine::TextTipsState{};
  }
}

// ---- favourites ----

TEST_F(TipsTest, FavouritesNeedACapacityAndTakeTheNextFreeNumber) {
  using tips::favourites;
  EXPECT_EQ(tips::fav_add_record(favourites, -1, "n", "v", "t"), -1);
  favourites.capacity = 100;
  EXPECT_EQ(tips::fav_add_record(favourites, -1, "n", "v", "t"), 0);
  favourites.records[0].number = 3;
  EXPECT_EQ(tips::fav_add_record(favourites, 7, "n", "v", "t"), 7);
  EXPECT_EQ(tips::fav_add_record(favourites, -1, "n", "v", "a<c#FF0000>b"), 8);
  EXPECT_STREQ(favourites.records[2].text, "ab");
  EXPECT_EQ(tips::fav_strip_tags("a<b"), "a");

  // favdel keeps the place; favsearchno(-1) finds it.
  EXPECT_EQ(call(0x12003E, {1}), 1u);
  EXPECT_EQ(favourites.count, 3u);
  EXPECT_EQ(call(0x120046, {0xFFFFFFFFu}), 1u);
  EXPECT_EQ(call(0x12003E, {3}), 0u);
  // The integer table takes indices 0-4095 only.
  EXPECT_EQ(call(0x120048, {4096, 5}), 0u);
  EXPECT_EQ(call(0x120049, {0xFFFFFFFFu}), 0u);
  call(0x120048, {4095, 5});
  EXPECT_EQ(call(0x120049, {4095}), 5u);

  // favadd through the command: name 0 takes the window's current line.
  std::strcpy(vm().text.szName, "who");
  std::strcpy(vm().text.szVoice, "VO9");
  std::strcpy(vm().text.szMessage, "x<br>y");
  EXPECT_EQ(call(0x12003D, {20, 0, 0, 0}), 20u);
  EXPECT_STREQ(favourites.records[3].name, "who");
  EXPECT_STREQ(favourites.records[3].text, "xy");
  EXPECT_EQ(call(0x120042, {3, 3, slot(0, "old")}), 1u);
  EXPECT_STREQ(vm().strings.slots[0], "VO9");
  EXPECT_EQ(call(0x120042, {3, 0, 9}), 20u);
  EXPECT_EQ(call(0x120042, {9, 0, 9}), 0xFFFFFFFFu);
}

TEST_F(TipsTest, TheFavouritesFileIsByteExactAndReadsBack) {
  using tips::favourites;
  favourites.capacity = 10;
  tips::fav_add_record(favourites, 5, "\x88\xa2", "VO01|A|B", "line");
  tips::fav_add_record(favourites, 6, "gone", "", "");
  favourites.records[0].flag = 1;
  favourites.records[1].number = -1;  // deleted: not written
  tips::fav_add_record(favourites, 12, "", "", std::string(300, 't'));
  const std::string expected = std::string("000005,1,\"\x88\xa2\",\"VO01|A|B\",\"line\"\r\n") +
                               "000012,0,\"\",\"\",\"" + std::string(254, 't') + "\"\r\n";
  EXPECT_EQ(tips::fav_file_bytes(favourites), expected);

  // Through a real file, written beside itself and renamed into place.
  testsupport::TempDir dir;
  favourites.path = dir.path() + "/fav.csv";
  EXPECT_EQ(call(0x120041, {}), 1u);  // favsave
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(engine::game_file_load(favourites.path, &bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
  favourites.count = 0;
  EXPECT_EQ(call(0x120040, {}), 2u);  // favload
  EXPECT_EQ(favourites.records[0].number, 5);
  EXPECT_EQ(favourites.records[0].flag, 1);
  EXPECT_STREQ(favourites.records[0].voice, "VO01|A|B");
  EXPECT_EQ(favourites.records[1].number, 12);
  EXPECT_EQ(std::strlen(favourites.records[1].text), 254u);

  // Full fields make a line longer than 512 bytes: it is written whole and reads back.
  favourites.count = 0;
  tips::fav_add_record(favourites, 1, std::string(254, 'n'), std::string(127, 'v'),
                       std::string(254, 't'));
  EXPECT_EQ(call(0x120047, {}), 0xDEADu);  // fav_save_reload
  EXPECT_EQ(favourites.count, 1u);
  EXPECT_EQ(std::strlen(favourites.records[0].name), 254u);
  EXPECT_EQ(std::strlen(favourites.records[0].voice), 127u);
  EXPECT_EQ(std::strlen(favourites.records[0].text), 254u);

  // A cut or overlong line is read within the fields and ends the reading.
  const std::string broken =
      "000001,0,\"" + std::string(600, 'n') + "\",\"v\",\"t\"\r\n" + "000002,0,\"half";
  tips::fav_file_parse(favourites, reinterpret_cast<const uint8_t*>(broken.data()), broken.size());
  EXPECT_EQ(favourites.count, 1u);
  EXPECT_EQ(std::strlen(favourites.records[0].name), 254u);
  favourites.path.clear();
  EXPECT_EQ(call(0x120041, {}), 0u);
  EXPECT_EQ(call(0x120040, {}), 0xFFFFFFFFu);
}

TEST_F(TipsTest, AMixVoiceIsStoredWithItsFiles) {
  EXPECT_EQ(tips::fav_voice_expand("VO01", {"VO01A", "VO01B"}), "VO01|VO01A|VO01B");
  EXPECT_EQ(tips::fav_voice_expand("VO01|X", {"VO01A"}), "VO01|X");
  const std::string cut = tips::fav_voice_expand(std::string(120, 'v'), {"ABCDEFGHIJ"});
  EXPECT_EQ(cut.size(), 127u);
}

// ---- tips dictionary ----

std::vector<tips::TipsEntry> parse(const std::string& csv) {
  return tips::tips_csv_parse(reinterpret_cast<const uint8_t*>(csv.data()), csv.size());
}

TEST_F(TipsTest, CsvFieldsFollowTheQuoteSpaceAndCommentRules) {
  const auto e = parse(
      "//a comment line\r\n"
      "k1,\"a b\",c,d\r\n"
      "k2,a b,\"x\" y,z\r\n"
      "k3,\"a,b\",c\r\n"
      "k4,r,c,d");
  ASSERT_EQ(e.size(), 4u);
  EXPECT_EQ(e[0].column[0], "k1");
  EXPECT_EQ(e[0].column[1], "a b");  // the quote starts the field: the space stays
  EXPECT_EQ(e[1].column[1], "ab");   // without a quote the space is dropped
  EXPECT_EQ(e[1].column[2], "x y");  // after the quote it is kept
  EXPECT_EQ(e[1].column[3], "z");
  // A comma ends a field and the line break after it goes with the comma: a record ending in an
  // empty field takes the next line's first field as its fourth.
  EXPECT_EQ(parse("a,b,c,\r\nd,e,f,g\r\n")[0].column[3], "d");
  // A comma in quotes ends the field: the fields shift into the next record.
  EXPECT_EQ(e[2].column[1], "a");
  EXPECT_EQ(e[2].column[2], "b");
  EXPECT_EQ(e[2].column[3], "c");
  EXPECT_EQ(e[3].column[0], "k4");
  EXPECT_EQ(e[3].number, 3);
  EXPECT_EQ(parse("a,b,c").size(), 0u);  // cut short
}

TEST_F(TipsTest, KanaRowsSortAndListSort) {
  const struct {
    const char* reading;
    int32_t row;
  } rows[] = {{"\x82\xab", 1},                     // き
              {"\x83\x4b", 1},                     // ガ
              {"\x82\xf1", 9},                     // ん
              {"\x82\xa0", 0},                     // あ
              {"\x8a\xbf", -1},                    // 漢
              {"A", -1},        {"\x83\x41", 0}};  // ア, whose trail byte is 'A'
  for (const auto& r : rows) EXPECT_EQ(tips::tips_kana_row(r.reading), r.row) << r.reading;

  tips::TipsDictionary& dict = tips::tips_dictionary;
  // Readings: 0 う, 1 あ, 2 か, 3 い, 4 え, 5 お, 6 き
  dict.entries = parse(
      "u,\x82\xa4,x,y\r\na,\x82\xa0,x,y\r\nka,\x82\xa9,x,y\r\ni,\x82\xa2,x,y\r\n"
      "e,\x82\xa6,x,y\r\no,\x82\xa8,x,y\r\nki,\x82\xab,x,y\r\n");
  ASSERT_EQ(dict.entries.size(), 7u);
  int32_t words[4096];
  std::fill(std::begin(words), std::end(words), 0);
  const int32_t list[] = {10000, 2, 5, 10001, 6, 3, -1};
  std::copy(std::begin(list), std::end(list), words);
  tips::tips_list_sort(dict, words, 4096, nullptr);
  EXPECT_EQ(words[0], 10000);
  EXPECT_EQ(words[1], 5);  // お
  EXPECT_EQ(words[2], 2);  // か
  EXPECT_EQ(words[3], 10001);
  EXPECT_EQ(words[4], 3);  // い
  EXPECT_EQ(words[5], 6);  // き
  EXPECT_EQ(words[6], -1);

  // A word that names no entry leaves its group as it was.
  const int32_t bad[] = {10000, 2, 5, 99, -1};
  std::copy(std::begin(bad), std::end(bad), words);
  tips::tips_list_sort(dict, words, 4096, nullptr);
  EXPECT_EQ(words[1], 2);
  EXPECT_EQ(words[2], 5);

  // tips_sort moves whole entries; search and get follow them.
  tips::tips_sort(dict);
  EXPECT_EQ(dict.entries[0].column[0], "a");
  EXPECT_EQ(dict.entries[6].column[0], "ki");
  EXPECT_EQ(call(0x120054, {slot(0, "ki")}), 6u);     // tips_csv_search
  EXPECT_EQ(call(0x120053, {6, 0, 9}), 6u);           // number moved with the entry
  EXPECT_EQ(call(0x120053, {6, 4, 9}), 0xFFFFFFFFu);  // kana row not computed by parse
  EXPECT_EQ(call(0x120053, {7, 0, 9}), 0u);           // past the entries
  call(0x120053, {6, 0, slot(1, "pre:")});
  EXPECT_STREQ(vm().strings.slots[1], "pre:ki");
}

TEST_F(TipsTest, FlagsReadAndSaveAsTwoDigitsPerEntry) {
  tips::TipsDictionary& dict = tips::tips_dictionary;
  dict.entries = parse("a,r,x,y\r\nb,r,x,y\r\nc,r,x,y\r\n");
  const std::string flags = "1021";  // the third entry is past the file
  tips::tips_flags_apply(dict, reinterpret_cast<const uint8_t*>(flags.data()), flags.size());
  EXPECT_EQ(dict.entries[0].flag1, 1);
  EXPECT_EQ(dict.entries[1].flag2, 1);
  EXPECT_EQ(dict.entries[2].flag1, 0);
  EXPECT_EQ(call(0x120056, {2, 6, 3}), 0u);  // tips_acc_set: flag 2 of entry 2
  EXPECT_EQ(call(0x120056, {3, 0, 1}), 0xFFFFFFFFu);
  testsupport::TempDir dir;
  dict.flagPath = dir.path() + "/tips.flg";
  call(0x120057, {});
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(engine::game_file_load(dict.flagPath, &bytes));
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "102103");
}

// tips_csv_read end to end: the data file found by name (here in a folder of the test's own),
// the flag file beside it, the kana rows; a missing file and an entry without reading.
std::string g_data_dir;

TEST_F(TipsTest, CsvReadLoadsEntriesFlagsAndRows) {
  testsupport::TempDir dir;
  g_data_dir = dir.path();
  orv.OrvFileCreate = [](const char* name, FileRange* range) -> OrvFileHandle {
    int64_t size = 0;
    const OrvFileHandle file =
        orv.OrvFileOpen((g_data_dir + "/" + name).c_str(), platform::kGenericRead,
                        platform::kFileShareRead, platform::kOpenExisting, 0, &size);
    if (file != kOrvInvalidFile)
      *range = {0, static_cast<uint32_t>(size), static_cast<uint32_t>(size)};
    return file;
  };
  testsupport::write_file(dir / "TIPS.CSV",
                          "\x8c\xea,\x82\xab,a,b\r\nword,\x83\x4b,c,d\r\nkan,\x8a\xbf,e,f\r\n");
  testsupport::write_file(dir / "tips.flg", "110001");
  const uint32_t flags = slot(1, dir.path() + "/tips.flg");
  EXPECT_EQ(call(0x120052, {slot(0, "TIPS.CSV"), flags}), 3u);
  EXPECT_EQ(call(0x120053, {0, 4, 9}), 1u);           // き
  EXPECT_EQ(call(0x120053, {1, 4, 9}), 1u);           // ガ
  EXPECT_EQ(call(0x120053, {2, 4, 9}), 0xFFFFFFFFu);  // a kanji
  EXPECT_EQ(call(0x120053, {0, 5, 9}), 1u);
  EXPECT_EQ(call(0x120053, {2, 6, 9}), 1u);
  EXPECT_EQ(call(0x120054, {slot(0, "word")}), 1u);

  // A missing file keeps the old entries; an entry without reading answers 0.
  EXPECT_EQ(call(0x120052, {slot(0, "NONE.CSV"), flags}), 0u);
  EXPECT_EQ(tips::tips_dictionary.entries.size(), 3u);
  testsupport::write_file(dir / "BAD.CSV", "a,r,x,y\r\nb,,x,y\r\n");
  EXPECT_EQ(call(0x120052, {slot(0, "BAD.CSV"), flags}), 0u);
  EXPECT_TRUE(logged(0, "tips_csv error line 1 : BAD.CSV"));
}

}  // namespace
