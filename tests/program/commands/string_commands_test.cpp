// The string commands run from assembled scripts on real string slots.
#include <cstring>

#include "commands/script_format.h"
#include "commands/string_commands.h"
#include "support/vm_fixture.h"

namespace enginetest {
namespace {

class StringCommands : public VmTest {
 protected:
  // Runs source; the text of the slot that r1 names.
  std::string run_slot(const std::string& source) {
    load(source);
    run();
    const uint32_t n = vm().reg[1] & 0x0FFFFFFF;
    return n < 16 ? std::string(vm().strings.slots[n]) : std::string("<no slot>");
  }
};

struct SlotCase {
  const char* name;
  const char* source;  // leaves a slot handle in r1
  const char* text;    // the slot's text afterwards
  int32_t r2;          // expected r2 (kAny: not checked)
};
constexpr int32_t kAny = 0x7777;

TEST_F(StringCommands, EditTheSlotText) {
  const SlotCase cases[] = {
      {"strcpy leaves the old tail",
       "call string(0) -> r1\ncall strcpy(r1, text\"wxyz\", -1)\n"
       "call strcpy(r1, text\"ab\", -1)\n",
       "abyz", kAny},
      {"strcpy count past the text ends it",
       "call string(0) -> r1\ncall strcpy(r1, text\"wxyz\", -1)\ncall strcpy(r1, text\"ab\", 9)\n",
       "ab", kAny},
      {"strcpyf upper-cases a slot name",
       "call string(0) -> r3\ncall strcpy(r3, text\"data\\\\a.png\", -1)\n"
       "call string(0) -> r1\ncall strcpyf(r1, r3, -1)\n",
       "DATA\\A.PNG", kAny},
      {"strcpyf keeps an address",
       "call string(0) -> r3\ncall strcpy(r3, text\"httpdoc.txt\", -1)\n"
       "call string(0) -> r1\ncall strcpyf(r1, r3, -1)\n",
       "httpdoc.txt", kAny},
      {"strcat", "call string(0) -> r1\ncall strcat(r1, text\"ab\")\ncall strcat(r1, text\"cd\")\n",
       "abcd", kAny},
      {"cat_str_char", "call string(0) -> r1\ncall cat_str_char(r1, 65) -> r2\n", "A", 0},
      {"substr to the end", "call string(0) -> r1\ncall substr(r1, text\"abcdef\", 2, -1)\n",
       "cdef", kAny},
      {"substr past the end is cut", "call string(0) -> r1\ncall substr(r1, text\"abc\", 1, 50)\n",
       "bc", kAny},
      {"strreplace shorter",
       "call string(0) -> r1\ncall strcpy(r1, text\"ABCDEF\", -1)\n"
       "call strreplace(r1, file\"CD\", file\"X\")\n",
       "ABXDEF", kAny},
      {"strreplace missing",
       "call string(0) -> r1\ncall strcpy(r1, text\"ABCDEF\", -1)\n"
       "call strreplace(r1, file\"ZZ\", file\"X\")\n",
       "ABCDEF", kAny},
      {"strreplace past the end grows the text",
       "call string(0) -> r1\ncall strcpy(r1, text\"ABCD\", -1)\n"
       "call strreplace(r1, file\"CD\", file\"XYZW\")\n",
       "ABXYZW", kAny},
      {"strslim",
       "call string(0) -> r1\ncall strcpy(r1, text\"a<b>c<d\", -1)\ncall strslim(r1) -> r2\n", "ac",
       1},
      {"strcut",
       "call string(0) -> r1\ncall strcpy(r1, text\"%123ab\", -1)\ncall strcut(r1, 2) -> r2\n",
       "%123a", 3},
      {"strcut never cuts at 0",
       "call string(0) -> r1\ncall strcpy(r1, text\"abc\", -1)\n"
       "call strcut(r1, 0) -> r2\n",
       "abc", 3},
      {"wsprint",
       "call string(0) -> r1\ncall wsprint(r1, text\"%d-%05d-%X%%%n\", 7, 42, 255, 0, 0, 0, 0, "
       "0)\n",
       "7-00042-FF%\r\n", kAny},
      {"wsprint text and file",
       "call string(0) -> r1\n"
       "call wsprint(r1, text\"<%s|%f>\", text\"hi\", file\"a.png\", 0, 0, 0, 0, 0, 0)\n",
       "<hi|A.PNG>", kAny},
      {"wsprint ends at a lone %",
       "call string(0) -> r1\n"
       "call wsprint(r1, text\"a%d%\", 5, 6, 0, 0, 0, 0, 0, 0)\n",
       "a5", kAny},
      {"wsprint: no text read from a number",
       "call string(0) -> r1\ncall wsprint(r1, text\"[%5s]%d\", 1, 0, 0, 0, 0, 0, 0, 0)\n",
       "[%5s]1", kAny},
      {"wsprint: %D and unknown letters copy the percent",
       "call string(0) -> r1\ncall wsprint(r1, text\"%D %q %-4d|\", 3, 0, 0, 0, 0, 0, 0, 0)\n",
       "%D %q 3   |", kAny},
      {"download_text empties",
       "call string(0) -> r1\ncall strcpy(r1, text\"abc\", -1)\n"
       "call download_text(text\"x\", r1) -> r2\n",
       "", -1},
  };
  for (const SlotCase& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    vm().reg[2] = kAny;
    EXPECT_EQ(run_slot(c.source), c.text);
    if (c.r2 != kAny) {
      EXPECT_EQ(static_cast<int32_t>(vm().reg[2]), c.r2);
    }
  }
}

TEST_F(StringCommands, QueriesGiveResults) {
  struct Case {
    const char* source;  // sets r2
    int32_t r2;
  } cases[] = {
      {"call string(0) -> r1\ncall strcpy(r1, text\"abc\", -1)\ncall strlen(r1) -> r2\n", 3},
      {"call strlenf(file\"a.b\") -> r2\n", 3},
      {"call string(0) -> r1\ncall strcpy(r1, text\"abc\", -1)\ncall get_char(r1, 3, 0) -> r2\n",
       0},
      {"call string(0) -> r1\ncall strcpy(r1, text\"aあ\", -1)\ncall get_char(r1, 1, 0) -> r2\n",
       -126},
      {"call get_str_char(text\"abc\", 1) -> r2\n", 'b'},
      {"call strgetcf(file\"AB12\", 2, 2) -> r2\n", 12},
      {"call strgetcf(file\"AB12\", 1, 3) -> r2\n", 0},
      {"call strgetcf(file\"AB12\", 0, 0) -> r2\n", 'A'},
      {"call str_equal_nocase(text\"Abc\", text\"aBC\") -> r2\n", 0},
      {"call str_equal_nocase(text\"Abc\", text\"aBD\") -> r2\n", 1},
      {"call string(0) -> r1\ncall strcpy(r1, text\"Data\\\\Pic\", -1)\n"
       "call str_contains_nocase(r1, file\"pic\") -> r2\n",
       1},
      {"call str_indexof(text\"abcb\", text\"b\", 2, -1) -> r2\n", 3},
      {"call str_indexof(text\"abcb\", text\"x\", 0, -1) -> r2\n", -1},
      {"call str_indexof(text\"abc\", text\"\", 3, 0) -> r2\n", 3},
      {"call is_var_string(5) -> r2\n", 0},
      {"call string(0) -> r1\ncall is_var_string(r1) -> r2\n", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    TearDown();
    SetUp();
    load(c.source);
    run();
    EXPECT_EQ(static_cast<int32_t>(vm().reg[2]), c.r2);
  }
}

TEST_F(StringCommands, RingHandsOutClearedSlots) {
  load(
      "call string(0) -> r1\n"
      "call strcpy(r1, text\"x\", -1)\n"
      "call string(0) -> r2\n"
      "call string_move(0) -> r3\n"
      "call string_move(-3) -> r4\n"
      "call get_active_string_add_no -> r5\n");
  std::strcpy(vm().strings.slots[15], "old");
  run();
  EXPECT_EQ(vm().reg[1], 0x10000000u);
  EXPECT_EQ(vm().reg[2], 0x10000001u);
  EXPECT_EQ(vm().reg[3], 0x10000002u);       // n = 0 only reports
  EXPECT_EQ(vm().reg[4], 0x1000000Fu);       // 2 - 3 wraps to 15 ...
  EXPECT_STREQ(vm().strings.slots[15], "");  // ... and clears it
  EXPECT_STREQ(vm().strings.slots[0], "x");
  EXPECT_EQ(vm().reg[5], 15u);
  EXPECT_TRUE(logged(10, "string -3 : prevno=2 => actno=15"));
}

TEST_F(StringCommands, ErrorsLeaveTextsAndReportAsTheyShould) {
  load(
      "mov r2, 99\n"
      "call strcpy(5, text\"x\", -1)\n"
      "call string(0) -> r1\n"
      "call strcpy(r1, text\"abc\", -1)\n"
      "call get_char(r1, 4, 0) -> r2\n"
      "call get_str_char(text\"abc\", -1) -> r3\n"
      "call str_indexof(text\"abc\", text\"a\", 1, 5) -> r4\n"
      "call str_indexof(text\"abc\", text\"a\", -1, 1) -> r5\n");
  run();
  EXPECT_TRUE(logged(0, "strcpy : string型以外の型を指定しました。"));
  EXPECT_EQ(vm().reg[2], 99u);  // get_char out of range leaves the result
  EXPECT_TRUE(logged(0, "get_char : 文字の位置指定がオーバーしています。[4/3]"));
  EXPECT_EQ(vm().reg[3], 0xFFFFFFFFu);
  EXPECT_TRUE(logged(0, "get_str_char : string position error"));
  EXPECT_EQ(vm().reg[4], 0xFFFFFFFFu);
  EXPECT_TRUE(logged(0, "error str_indexof(), index over"));
  EXPECT_TRUE(logged(0, "error str_indexof(), index < 0"));
  // The failing handlers report failure to the interpreter.
  EXPECT_TRUE(logged(0, "0x00120078"));
  EXPECT_TRUE(logged(0, "0x00120083"));
}

TEST_F(StringCommands, LongTextsStopAtTheSlotOnACharacterBoundary) {
  // 2,045 single bytes and then a two-byte character: the slot has room for one byte more,
  // which would split the character, so the text stops before it.
  load(
      "call string(0) -> r1\ncall strcpy(r1, r5, -1)\ncall strcat(r1, r6)\n"
      "call string(0) -> r3\ncall wsprint(r3, text\"%s%s\", r5, r6, 0, 0, 0, 0, 0, 0)\n"
      "call string(0) -> r4\ncall substr(r4, r5, 2000, -1)\n");
  std::memset(vm().strings.slots[5], 'a', 2045);
  std::strcpy(vm().strings.slots[6], "\x82\xa0");  // "あ"
  vm().reg[5] = 0x10000005;
  vm().reg[6] = 0x10000006;
  run();
  EXPECT_EQ(std::string(vm().strings.slots[0]), std::string(2045, 'a'));
  EXPECT_EQ(std::string(vm().strings.slots[1]), std::string(2045, 'a'));
  // substr fetches through a 2,048-byte buffer (2,043 text bytes): 43 bytes from 2,000 on.
  EXPECT_EQ(std::string(vm().strings.slots[2]), std::string(43, 'a'));
}

TEST_F(StringCommands, StringListKeepsShortTexts) {
  load("call strlist_clear\ncall strlist_push(text\"one\")\ncall strlist_push(r1)\n");
  std::string longer(70, 'x');
  std::strcpy(vm().strings.slots[0], longer.c_str());
  vm().reg[1] = 0x10000000;
  run();
  ASSERT_EQ(engine::string_list().size(), 2u);
  EXPECT_EQ(engine::string_list()[0], "one");
  EXPECT_EQ(engine::string_list()[1], std::string(59, 'x'));  // the 64-byte fetch
}

}  // namespace
}  // namespace enginetest
