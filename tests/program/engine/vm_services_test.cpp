// Services of the script machine: text and file references, seen marks, the return stack and
// the display queue, the skip state and the reset.
#include <cstring>

#include "support/vm_fixture.h"

namespace enginetest {
namespace {

using engine::kNoText;
using engine::kStringHandleBit;

class ServicesTest : public VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    // Text.dat: entry 0 "ab" at 16, entry 1 "xyz" at 23; File.dat: two sorted names.
    load(".text \"ab\"\n.text \"xyz\"\n.file \"b.png\"\n.file \"a.png\"\n  nop\n");
  }
  static void replace(uint8_t** image, uint32_t* size, const std::string& bytes) {
    orv.OrvMemoryFree(*image);
    *image = static_cast<uint8_t*>(orv.OrvMemoryAlloc(static_cast<uint32_t>(bytes.size()), 0));
    std::memcpy(*image, bytes.data(), bytes.size());
    *size = static_cast<uint32_t>(bytes.size());
  }
  std::string text_of(const uint8_t* buffer) { return reinterpret_cast<const char*>(buffer + 4); }
};

TEST_F(ServicesTest, StringOperandResolvesEveryReferenceKind) {
  std::strcpy(vm().strings.slots[3], "slot");
  uint8_t buf[16];
  std::memset(buf, 0xEE, sizeof buf);
  engine::get_string_operand(vm(), buf, kStringHandleBit | 3, sizeof buf);
  EXPECT_EQ(text_of(buf), "slot");
  EXPECT_EQ(buf[0] | buf[1] | buf[2] | buf[3], 0);

  engine::get_string_operand(vm(), buf, 23, sizeof buf);
  EXPECT_EQ(buf[0], 1);  // the entry's id head
  EXPECT_EQ(text_of(buf), "xyz");

  std::memset(buf, 0xEE, sizeof buf);
  engine::get_string_operand(vm(), buf, kNoText, sizeof buf);
  for (uint8_t b : buf) EXPECT_EQ(b, 0);

  engine::get_string_operand(vm(), buf, 9999, sizeof buf);  // past Text.dat
  EXPECT_EQ(text_of(buf), "");

  engine::get_string_operand(vm(), buf, kStringHandleBit | 16, sizeof buf);
  EXPECT_EQ(text_of(buf), "");
  EXPECT_TRUE(logged(0, "AdvGetVarString(16): Out of Range"));

  // A small buffer keeps the text terminated inside it.
  uint8_t small[6];
  engine::get_string_operand(vm(), small, 23, sizeof small);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(small + 4)), "x");
  std::strcpy(vm().strings.slots[3], "longer");
  engine::get_string_operand(vm(), small, kStringHandleBit | 3, sizeof small);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(small + 4)), "l");
}

TEST_F(ServicesTest, FileNameOperandMarksSeenOrRegisters) {
  uint8_t name[260];
  engine::get_file_name_operand(vm(), name, sizeof name, 1, 1);  // "B.PNG"
  EXPECT_STREQ(reinterpret_cast<char*>(name), "B.PNG");
  EXPECT_EQ(vm().seen.lpFileSeen[0] & 0x0C, 0x0C);  // entry 1: entered and new

  std::strcpy(vm().strings.slots[0], "a.png");
  engine::get_file_name_operand(vm(), name, sizeof name, kStringHandleBit | 0, 1);
  EXPECT_STREQ(reinterpret_cast<char*>(name), "A.PNG");
  EXPECT_EQ(vm().seen.lpFileSeen[0] & 0x03, 0x03);

  // The trail byte of a two-byte character (0x61 here, an "a") is not upper-cased.
  std::strcpy(vm().strings.slots[1], "\x82\x61x.ogg");
  engine::get_file_name_operand(vm(), name, sizeof name, kStringHandleBit | 1, 1);
  EXPECT_STREQ(reinterpret_cast<char*>(name), "\x82\x61X.OGG");
  EXPECT_EQ(engine::orv_list_count(vm().seen.hEntryNames, 0), 1u);
  engine::get_file_name_operand(vm(), name, sizeof name, kStringHandleBit | 1, 1);
  EXPECT_EQ(engine::orv_list_count(vm().seen.hEntryNames, 0), 1u);  // registered once

  std::strcpy(vm().strings.slots[2], "http://x/a");
  engine::get_file_name_operand(vm(), name, sizeof name, kStringHandleBit | 2, 1);
  EXPECT_STREQ(reinterpret_cast<char*>(name), "http://x/a");
  EXPECT_EQ(engine::orv_list_count(vm().seen.hEntryNames, 0), 1u);

  const uint8_t seen = vm().seen.lpFileSeen[0];
  std::memset(name, 0xEE, 32);
  engine::get_file_name_operand(vm(), name, sizeof name, 2, 1);  // past File.dat
  for (int i = 0; i < 32; ++i) EXPECT_EQ(name[i], 0);
  EXPECT_EQ(vm().seen.lpFileSeen[0], seen);
  EXPECT_TRUE(logged(0, "file reference 2 outside File.dat"));
}

TEST_F(ServicesTest, FileSeenBits) {
  engine::file_seen_mark(vm(), 1);
  engine::file_seen_mark(vm(), 1);
  EXPECT_EQ(vm().seen.lpFileSeen[0], 0x0C);
  vm().seen.lpFileSeen[0] &= ~0x08;  // "new" cleared by the access-flag commands
  engine::file_seen_mark(vm(), 1);
  EXPECT_EQ(vm().seen.lpFileSeen[0], 0x04);
}

TEST_F(ServicesTest, SeenBitsFitTheTablesAndRefuseOutsideIndexes) {
  // Blocks from an older system.dat: one byte each, with a mark kept.
  orv.OrvMemoryFree(vm().seen.lpTextRead);
  orv.OrvMemoryFree(vm().seen.lpFileSeen);
  vm().seen.lpTextRead = static_cast<uint8_t*>(orv.OrvMemoryAlloc(1, 1));
  vm().seen.lpFileSeen = static_cast<uint8_t*>(orv.OrvMemoryAlloc(1, 1));
  vm().seen.dwTextReadBytes = vm().seen.dwFileSeenBytes = 1;
  vm().seen.lpTextRead[0] = 0x01;
  // Tables that grew: 20 texts, 40 file names.
  std::string texts(16, '\0');
  texts[12] = 20;
  for (int i = 0; i < 20; ++i) texts += std::string("\0\0\0\0a", 6);
  replace(&vm().files.pTextDat, &vm().files.dwTextDatSize, texts);
  std::string big(16 + 40 * 32, '\0');
  for (int i = 0; i < 40; ++i) big[16 + 32 * i] = static_cast<char>('A' + i);
  replace(&vm().files.pFileDat, &vm().files.dwFileDatSize, big);

  ASSERT_TRUE(engine::seen_flags_fit_tables(vm()));
  EXPECT_EQ(vm().seen.dwTextReadBytes, 20u / 8 + 1);
  EXPECT_EQ(vm().seen.dwFileSeenBytes, 40u / 4 + 1);
  EXPECT_TRUE(engine::text_read_get(vm(), 0));  // kept
  engine::text_read_set(vm(), 19);
  EXPECT_TRUE(engine::text_read_get(vm(), 19));
  engine::file_seen_mark(vm(), 39);
  EXPECT_EQ(vm().seen.lpFileSeen[9], 0xC0);

  engine::text_read_set(vm(), 24);  // past the block
  EXPECT_FALSE(engine::text_read_get(vm(), 24));
  engine::file_seen_mark(vm(), 44);
  engine::file_seen_mark(vm(), -1);
  EXPECT_EQ(log_count(0), 3u);

  // A count beyond what Text.dat can hold sizes the bits by the file: 136 bytes, 24 entries.
  texts[12] = texts[13] = texts[14] = texts[15] = '\xFF';
  replace(&vm().files.pTextDat, &vm().files.dwTextDatSize, texts);
  ASSERT_TRUE(engine::seen_flags_fit_tables(vm()));
  EXPECT_EQ(vm().seen.dwTextReadBytes, 24u / 8 + 1);
}

TEST_F(ServicesTest, ReturnStackAndDisplayQueue) {
  EXPECT_EQ(engine::is_thread_call(vm()), 0u);
  engine::data_entry_push(vm(), engine::kChannelReturns, 100, 3);
  engine::data_entry_push(vm(), engine::kChannelReturns, 200, 0);
  EXPECT_EQ(engine::is_thread_call(vm()), 1u);
  for (uint32_t id : {1u, 2u, 3u}) {
    engine::DisplayOp op{};
    op.dwId = id;
    op.args[9] = id * 10;
    EXPECT_EQ(engine::display_op_push(vm(), op), 1u);
  }
  engine::DisplayOp op;
  ASSERT_TRUE(engine::display_op_pop(vm(), &op));
  EXPECT_EQ(op.dwId, 1u);  // first in, first out
  EXPECT_EQ(op.args[9], 10u);
  engine::DataEntry e;
  ASSERT_TRUE(engine::data_entry_pop(vm(), engine::kChannelReturns, &e));
  EXPECT_EQ(e.dwValue, 200u);  // returns are last in, first out
  engine::vm_reset(vm());
  EXPECT_FALSE(engine::display_op_pop(vm(), &op));
  EXPECT_FALSE(engine::data_entry_pop(vm(), engine::kChannelReturns, &e));
}

// The input the skip state reads, as OrvInputGet* give it.
struct SkipInput {
  uint32_t push = 0, pull = 0, on = 0;
  int32_t wheel = 0;
};
SkipInput g_skip_input;

TEST_F(ServicesTest, SkipStateReadsTheInput) {
  orv.OrvInputGetKeyPush = [] { return g_skip_input.push; };
  orv.OrvInputGetKeyPull = [] { return g_skip_input.pull; };
  orv.OrvInputGetKeyOn = [] { return g_skip_input.on; };
  orv.OrvInputGetWheel = [] { return g_skip_input.wheel; };
  struct Case {
    const char* what;
    SkipInput in;
    bool key_release;
    uint32_t want;
  };
  const Case cases[] = {
      {"nothing", {}, false, 0},
      {"Enter pushed (bit 1)", {0x2, 0, 0x2}, false, 8},
      {"left button pushed (bit 23)", {0x800000, 0, 0}, false, 8},
      {"Space pushed (bit 2)", {0x4, 0, 0}, false, 8},
      {"Enter pushed with Alt held: Alt+Enter is the window toggle", {0x2, 0, 0x22}, false, 0},
      {"another key pushed", {0x1, 0, 0}, false, 0},
      {"Ctrl held", {0, 0, 0x8}, false, 4},
      {"Ctrl held and Enter pushed", {0x2, 0, 0xA}, false, 12},
      {"wheel towards the player", {0, 0, 0, 1}, false, 8},
      {"wheel away", {0, 0, 0, -1}, false, 0},
      {"released keys count when the buttons ask for release", {0x2, 0x4, 0}, true, 8},
      {"a push does not count then", {0x2, 0, 0}, true, 0},
  };
  for (const Case& c : cases) {
    g_skip_input = c.in;
    vm().buttons.bKeyRelease = c.key_release ? 1 : 0;
    EXPECT_EQ(engine::get_skip_state(vm()), c.want) << c.what;
  }
  vm().buttons.bKeyRelease = 0;

  // The advance latch keeps a click of the main flow until it is cleared; other flows neither
  // set nor see it.
  engine::g_advance_latch = engine::AdvanceLatch{1, 0, 1};
  g_skip_input = {0x2, 0, 0};
  EXPECT_EQ(engine::get_skip_state(vm()), 8u);
  g_skip_input = {};
  EXPECT_EQ(engine::get_skip_state(vm()), 8u);  // latched
  engine::script_thread_id.store(2);
  EXPECT_EQ(engine::get_skip_state(vm()), 0u);
  engine::script_thread_id.store(0);
  engine::g_advance_latch.bApplies = 0;
  EXPECT_EQ(engine::get_skip_state(vm()), 0u);  // kept but not applied
  engine::g_advance_latch = engine::AdvanceLatch{0, 0, 1};
  EXPECT_EQ(engine::get_skip_state(vm()), 0u);  // disabled: forgotten

  // Begin-skip mode remembers the click in the begin-skip keys, which stay in the state.
  vm().run.dwBeginSkipMode = 1;
  g_skip_input = {0x2, 0, 0};
  EXPECT_EQ(engine::get_skip_state(vm()), 8u);
  g_skip_input = {};
  EXPECT_EQ(vm().run.dwBeginSkipKeys, 8u);
  EXPECT_EQ(engine::get_skip_state(vm()), 8u);
  vm().run.dwBeginSkipMode = 0;
  vm().run.dwBeginSkipKeys = 0;
}

// The interpreter answers its yield test without reading the input when skip_state_quiet says
// it may: then reading the state must change nothing and have a skip bit exactly in a skip.
TEST_F(ServicesTest, QuietSkipStateChangesNothingAndSkipsOnlyInASkip) {
  orv.OrvInputGetKeyPush = [] { return g_skip_input.push; };
  orv.OrvInputGetKeyPull = [] { return g_skip_input.pull; };
  orv.OrvInputGetKeyOn = [] { return g_skip_input.on; };
  orv.OrvInputGetWheel = [] { return g_skip_input.wheel; };
  int quiet_seen = 0;
  for (uint32_t bits = 0; bits < 256; ++bits) {
    auto on = [&](int b) { return (bits >> b) & 1; };
    vm().run.bSceneSkip = on(0);
    vm().run.bHistorySkip = on(1);
    vm().run.dwBeginSkipMode = on(2);
    vm().run.dwBeginSkipKeys = on(3) ? 0x28 : 0;  // a save may carry any bits
    engine::g_advance_latch = engine::AdvanceLatch{on(4), on(5) ? 0x38u : 0u, 1};
    engine::script_thread_id.store(on(6) ? 1 : 0);
    g_skip_input = on(7) ? SkipInput{0x2, 0, 0} : SkipInput{};
    if (!engine::skip_state_quiet(vm())) continue;
    ++quiet_seen;
    const engine::AdvanceLatch latch = engine::g_advance_latch;
    const uint32_t begin_keys = vm().run.dwBeginSkipKeys;
    const bool skipping = (engine::get_skip_state(vm()) & engine::kSkipAny) != 0;
    EXPECT_EQ(skipping, vm().run.bSceneSkip || vm().run.bHistorySkip) << bits;
    EXPECT_EQ(engine::g_advance_latch.dwLatched, latch.dwLatched) << bits;
    EXPECT_EQ(vm().run.dwBeginSkipKeys, begin_keys) << bits;
  }
  EXPECT_GT(quiet_seen, 64);  // the plain states (no latch, no begin-skip mode) are quiet
  vm().run.bSceneSkip = vm().run.bHistorySkip = 0;
  vm().run.dwBeginSkipMode = vm().run.dwBeginSkipKeys = 0;
  engine::g_advance_latch = engine::AdvanceLatch{0, 0, 1};
  engine::script_thread_id.store(0);
  g_skip_input = {};
}

TEST_F(ServicesTest, SkipStateAndReset) {
  EXPECT_EQ(engine::get_skip_state(vm()), 0u);
  vm().run.bSkip = 1;
  EXPECT_EQ(engine::get_skip_state(vm()), 1u);
  vm().run.bSceneSkip = 1;
  EXPECT_EQ(engine::get_skip_state(vm()), ~0x20u);
  vm().run.dwBeginSkipMode = 1;
  vm().tempMem[7] = 7;
  vm().sysMem[7] = 8;
  vm().userMem[7] = 9;
  std::strcpy(vm().strings.slots[5], "kept");
  vm().messages.dwHandler = 40;
  vm().messages.bPending = 1;
  vm().runner.dwPc = 16;
  engine::vm_reset(vm());
  EXPECT_EQ(engine::get_skip_state(vm()), 0u);
  EXPECT_EQ(vm().tempMem[7], 7u);
  EXPECT_EQ(vm().sysMem[7], 8u);
  EXPECT_EQ(vm().userMem[7], 0u);
  EXPECT_STREQ(vm().strings.slots[5], "kept");
  EXPECT_EQ(vm().messages.dwHandler, 40u);
  EXPECT_EQ(vm().messages.bPending, 0u);
  EXPECT_EQ(vm().runner.dwPc, 16u);
  EXPECT_EQ(vm().save.nLoadAfterLabel, -1);
}

}  // namespace
}  // namespace enginetest
