// Loading Script.src and its tables from memory, and the word scrambler.
#include <cstring>

#include "engine/operand.h"
#include "shared/word_scrambler.h"
#include "support/vm_fixture.h"

namespace enginetest {
namespace {

TEST(WordScrambler, RotatesByTheWordCountAndUndoes) {
  uint8_t bytes[11] = {};
  scramble_words(bytes, sizeof bytes);
  // XOR with both keys gives F8B8A682; the low byte 82 turns right by 4, then by 5.
  const uint8_t expected[11] = {0x28, 0xA6, 0xB8, 0xF8, 0x14, 0xA6, 0xB8, 0xF8, 0, 0, 0};
  EXPECT_EQ(std::memcmp(bytes, expected, sizeof bytes), 0);  // the tail stays plain
  unscramble_words(bytes, sizeof bytes);
  for (uint8_t b : bytes) EXPECT_EQ(b, 0);
}

class ScriptFilesTest : public VmTest {};

TEST_F(ScriptFilesTest, LoadsHeaderEntryAndScrambledTables) {
  load(".stamp 0x1234\n.entry 0x10\n.scramble all\n.text \"hi\"\n.mem 5 6\n  nop\n  nop\n");
  const engine::ScriptRunner& r = vm().runner;
  EXPECT_EQ(r.dwPc, 0x10u);  // used as is
  EXPECT_EQ(r.dwRestartPc, 0x10u);
  EXPECT_EQ(r.dwBase, 12u);
  EXPECT_EQ(r.dwCodeSize, 20u);
  EXPECT_EQ(vm().files.pTextDat[0], '$');  // the header stays as stored
  EXPECT_EQ(vm().files.pTextDat[12], 1);
  EXPECT_STREQ(reinterpret_cast<char*>(vm().files.pTextDat + 20), "hi");
  uint32_t cell;
  std::memcpy(&cell, vm().files.pMemDat + 20, 4);
  EXPECT_EQ(cell, 6u);
}

TEST_F(ScriptFilesTest, RefusesAnotherMagicAndShortHeaders) {
  for (const std::string& script :
       {std::string("Sv21\0\0\0\0\x0c\0\0\0", 12), std::string("Sv20")}) {
    engine::ScriptFileBytes bytes{};
    bytes.script = {reinterpret_cast<const uint8_t*>(script.data()),
                    static_cast<uint32_t>(script.size())};
    EXPECT_FALSE(engine::script_files_load(vm(), bytes));
  }
  EXPECT_EQ(log_count(0), 2u);
  EXPECT_TRUE(logged(0, "script load error"));
}

TEST_F(ScriptFilesTest, ShortTablesKeepWhatTheyHave) {
  // A '$' table shorter than its header has nothing to unscramble; an empty one loads empty.
  const std::string script("Sv20\0\0\0\0\x0c\0\0\0", 12);
  const std::string short_table("$abc", 4);
  auto span = [](const std::string& s) {
    return engine::ScriptFileBytes::Span{reinterpret_cast<const uint8_t*>(s.data()),
                                         static_cast<uint32_t>(s.size())};
  };
  engine::ScriptFileBytes bytes{
      span(script), span(short_table), {nullptr, 0}, span(short_table), {nullptr, 0}};
  ASSERT_TRUE(engine::script_files_load(vm(), bytes));
  EXPECT_EQ(vm().files.dwFileDatSize, 4u);
  EXPECT_EQ(std::memcmp(vm().files.pFileDat, "$abc", 4), 0);
  EXPECT_EQ(vm().files.dwTextDatSize, 0u);
  ASSERT_TRUE(engine::seen_flags_fit_tables(vm()));
  EXPECT_EQ(run(), 1u);
  uint8_t name[32];
  engine::get_file_name_operand(vm(), name, 32, 0, 1);  // no names at all
  EXPECT_EQ(name[0], 0);
  uint32_t pc;
  EXPECT_FALSE(engine::label_target(vm(), 1, &pc));  // Point.dat is empty
}

}  // namespace
}  // namespace enginetest
