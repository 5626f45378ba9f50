// The backlog record: the stored layout of an entry, what a line writes, the Shift-JIS tail cut
// of the backlog, the 128-entry window and the reset.
#include <cstring>
#include <string>
#include <vector>

#include "support/vm_fixture.h"
#include "text/history/history_write.h"

namespace {

using engine::HistoryEntry;

class HistoryTest : public enginetest::VmTest {
 protected:
  engine::HistoryLog& log() { return vm().history; }
};

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  codec::store_u32(&b[at], v);
}

TEST_F(HistoryTest, EntryLayoutIsPinnedByHandLaidBytes) {
  std::vector<uint8_t> bytes(492, 0);
  std::memcpy(&bytes[0], "\x88\xa2name", 6);
  std::memcpy(&bytes[64], "line", 4);
  std::memcpy(&bytes[448], "VO01_001", 8);
  put32(bytes, 480, 0x1234);
  put32(bytes, 484, 0xFFFFFFFF);
  put32(bytes, 488, 1);
  HistoryEntry e{};
  codec::ByteReader in(bytes.data(), bytes.size());
  ASSERT_TRUE(engine::history_entry_load(e, in));
  EXPECT_STREQ(e.name, "\x88\xa2name");
  EXPECT_STREQ(e.text, "line");
  EXPECT_STREQ(e.voice, "VO01_001");
  EXPECT_EQ(e.scriptPoint, 0x1234u);
  EXPECT_EQ(e.historyNo, -1);
  EXPECT_EQ(e.faceFlag, 1u);
  std::vector<uint8_t> out;
  codec::ByteWriter w(&out);
  engine::history_entry_store(e, w);
  EXPECT_EQ(out, bytes);

  // Fields without a terminator are read within their bytes; short bytes give nothing.
  std::memset(&bytes[0], 'n', 64);
  std::memset(&bytes[64], 't', 384);
  std::memset(&bytes[448], 'v', 32);
  codec::ByteReader full(bytes.data(), bytes.size());
  ASSERT_TRUE(engine::history_entry_load(e, full));
  EXPECT_EQ(std::strlen(e.name), 63u);
  EXPECT_EQ(std::strlen(e.text), 383u);
  EXPECT_EQ(std::strlen(e.voice), 31u);
  codec::ByteReader short_in(bytes.data(), 491);
  EXPECT_FALSE(engine::history_entry_load(e, short_in));
  EXPECT_EQ(e.scriptPoint, 0u);
}

TEST_F(HistoryTest, ALineWritesItsFieldsAndClosesAtTheCommand) {
  log().bFaceForNew = 1;
  vm().dwCurrentPc = 0x400;
  engine::history_write_line(vm(), "\x88\xa2", "hello", "VO01_001", false);
  EXPECT_EQ(log().nEntryCount, 1u);
  const HistoryEntry& e = log().entries[0];
  EXPECT_STREQ(e.name, "\x88\xa2");
  EXPECT_STREQ(e.text, "hello");
  EXPECT_STREQ(e.voice, "VO01_001");
  EXPECT_EQ(e.scriptPoint, 0x400u);
  EXPECT_EQ(e.historyNo, -1);  // history snapshots off
  EXPECT_EQ(e.faceFlag, 1u);

  // No speaker: 0x00 0x81. Snapshots on: the current history number; at the snapshot: its
  // resume point.
  log().bSnapshotsOn = 1;
  log().bFaceForNew = 0;
  vm().sysMem[509] = 17;
  vm().save.dwResumePc = 0x900;
  engine::history_write_line(vm(), nullptr, "aside", nullptr, true);
  const HistoryEntry& n = log().entries[0];
  EXPECT_EQ(n.name[0], 0);
  EXPECT_EQ(static_cast<uint8_t>(n.name[1]), 0x81);
  EXPECT_EQ(n.voice[0], 0);
  EXPECT_EQ(n.scriptPoint, 0x900u);
  EXPECT_EQ(n.historyNo, 17);
  EXPECT_EQ(n.faceFlag, 0u);
  EXPECT_STREQ(log().entries[1].text, "hello");
  EXPECT_EQ(log().nEntryCount, 2u);
}

TEST_F(HistoryTest, TextsAreCutToTheirFieldAndAnIncompleteLastCharacterGoes) {
  struct Case {
    std::string text;
    std::string kept;
  } cases[] = {
      {std::string(400, 'a'), std::string(383, 'a')},
      // The 383rd byte is a lead whose trail was cut off: the text ends before it.
      {std::string(382, 'a') + "\x82\xa0", std::string(382, 'a')},
      // A lead followed by a byte that is no trail byte: the text ends at that byte.
      {"ab\x82\x20zz", "ab\x82"},
      // 0x80 leads here (not for the renderer); 0xF0 does not.
      {"\x80\x40x", "\x80\x40x"},
      {"\xf0\x20x", "\xf0\x20x"},
      {"\x88\xa2\x88\xa2", "\x88\xa2\x88\xa2"},
  };
  for (const Case& c : cases) {
    engine::history_write_field(vm(), nullptr, engine::kHistoryNewLine);
    engine::history_write_field(vm(), c.text.c_str(), engine::kHistoryText);
    EXPECT_EQ(std::string(log().entries[0].text), c.kept) << c.text.size();
  }
  engine::history_write_field(vm(), std::string(40, 'v').c_str(), engine::kHistoryVoice);
  EXPECT_EQ(std::strlen(log().entries[0].voice), 31u);
  engine::history_write_field(vm(), (std::string(62, 'n') + "\x88\xa2").c_str(),
                              engine::kHistoryName);
  EXPECT_EQ(std::string(log().entries[0].name), std::string(62, 'n'));
}

TEST_F(HistoryTest, TheHundredAndTwentyNinthLineDropsTheOldest) {
  for (int i = 0; i < 129; ++i) {
    engine::history_write_line(vm(), "n", std::to_string(i).c_str(), nullptr, false);
  }
  EXPECT_EQ(log().nEntryCount, 128u);
  EXPECT_STREQ(log().entries[0].text, "128");
  EXPECT_STREQ(log().entries[127].text, "1");
}

TEST_F(HistoryTest, DisabledOrUnknownKindsWriteNothingAndResetEmptiesTheBacklog) {
  engine::history_write_line(vm(), "n", "kept", nullptr, false);
  log().bDisabled = 1;
  engine::history_write_line(vm(), "n", "lost", nullptr, false);
  EXPECT_STREQ(log().entries[0].text, "kept");
  EXPECT_EQ(log().nEntryCount, 1u);
  log().bDisabled = 0;
  engine::history_write_field(vm(), "x", 0);
  engine::history_write_field(vm(), "x", 7);
  EXPECT_STREQ(log().entries[0].text, "kept");

  log().bDisabled = 1;
  log().bSnapshotsOn = 1;
  engine::vm_reset(vm());
  EXPECT_EQ(log().nEntryCount, 0u);
  EXPECT_EQ(log().bDisabled, 0u);
  EXPECT_EQ(log().entries[0].text[0], 0);
  EXPECT_EQ(log().bSnapshotsOn, 1u);  // a setting, not an entry
}

}  // namespace
