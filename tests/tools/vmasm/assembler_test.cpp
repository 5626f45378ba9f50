// The script assembler: byte-exact file layouts, the round trip through the disassembler, and
// source errors.
#include <gtest/gtest.h>

#include <string>

#include "shared/word_scrambler.h"
#include "vmasm/assembler.h"

namespace {

std::string words(std::initializer_list<uint32_t> list) {
  std::string out;
  for (uint32_t w : list) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>(w >> (8 * i));
  }
  return out;
}

std::string header(uint32_t count, bool scrambled) {
  std::string h(12, '\0');
  if (scrambled) h[0] = '$';
  return h + words({count});
}

std::string padded(const std::string& name) {
  return name + std::string(32 - name.size(), '\0');
}

std::string scrambled(std::string body) {
  scramble_words(reinterpret_cast<uint8_t*>(body.data()), body.size());
  return body;
}

const char kLayoutSource[] =
    ".stamp 0x01020304\n"
    ".entry start\n"
    ".file \"b.ogg\"\n"
    ".mem 7 @start\n"
    "  nop\n"
    "start:\n"
    "  mov r1, text\"\xE3\x81\x82\"\n"  // あ
    "  push file\"a.png\"\n"
    "  jz done, r1\n"
    "done:\n";

TEST(Assembler, FileLayoutsAreExact) {
  for (bool scramble : {false, true}) {
    SCOPED_TRACE(scramble);
    vmasm::ScriptFiles f;
    std::string error;
    const std::string source = std::string(scramble ? ".scramble all\n" : "") + kLayoutSource;
    ASSERT_TRUE(vmasm::assemble(source, &f, &error)) << error;
    EXPECT_EQ(f.script, "Sv20" + words({0x01020304, 16,  // stamp, entry = 12 + offset of start
                                        0x00010016,      // nop
                                        0x00010001, 0x40000001, 16,    // mov r1, text at 16
                                        0x0001001F, 0,                 // push A.PNG (index 0)
                                        0x0001000A, 2, 0x40000001}));  // jz label 2, r1
    auto body = [&](const std::string& b) { return scramble ? scrambled(b) : b; };
    EXPECT_EQ(f.file, header(2, scramble) + body(padded("A.PNG") + padded("B.OGG")));
    EXPECT_EQ(f.text, header(1, scramble) + body(words({0}) + std::string("\x82\xa0\0", 3)));
    EXPECT_EQ(f.mem, header(2, scramble) + body(words({7, 1})));
    // Label 1 (start, offset 4) is the last word; label 2 (done, offset 36) comes first.
    EXPECT_EQ(f.point, header(2, scramble) + body(words({36, 4})));
  }
}

const char kEverything[] =
    ".stamp 7\n"
    ".scramble text point\n"
    ".text 40 \"line \\\"one\\\"\"\n"
    ".mem 0x00030000 1 2 3 4\n"
    "top:\n"
    "  mov r1, 5\n  add u[r1], -1\n  sub s[r2], a[3]\n  mul t[r3], t[r4+7]\n"
    "  div m[r5+2], mi[r6+1]\n  and f[2], ebp\n  or r7, =0x4123FFFF\n  xor r8, 0x0FFFFFFF\n"
    "  mod r9, -0x60000000\n  shl r1, 33\n  sar r1, 1\n  eq r1, 1\n  ne r1, 1\n  le r1, 1\n"
    "  ge r1, 1\n  lt r1, 1\n  gt r1, 1\n  lor r1, 0\n  land r1, 1\n"
    "  jmp top\n  jmp r4\n  jz top, r1\n  jz 0x99, r1\n  gosub sub\n"
    "  not r2\n  neg r300\n  push text\"x\"\n  pop r3\n  enter 2\n  leave 2\n  push file\"f.bmp\"\n"
    "  call wait(100, 1) -> r7\n  call 0x12345678 -> 0x1FF\n  call wait_frame\n"
    "  reset\n  nop\n  end\n"
    "sub:\n"
    "  ret\n"
    "  .word 0x00020001 0x00010001\n"
    ".label outside 0x4000\n";

TEST(Assembler, RoundTripsThroughTheDisassembler) {
  vmasm::ScriptFiles first, second;
  std::string error, source, again;
  ASSERT_TRUE(vmasm::assemble(kEverything, &first, &error)) << error;
  ASSERT_TRUE(vmasm::disassemble(first, &source, &error)) << error;
  ASSERT_TRUE(vmasm::assemble(source, &second, &error)) << error << "\n" << source;
  EXPECT_EQ(first.script, second.script) << source;
  EXPECT_EQ(first.file, second.file);
  EXPECT_EQ(first.text, second.text);
  EXPECT_EQ(first.mem, second.mem);
  EXPECT_EQ(first.point, second.point);
  ASSERT_TRUE(vmasm::disassemble(second, &again, &error)) << error;
  EXPECT_EQ(source, again);
  EXPECT_NE(source.find("call wait -> 0x7"), std::string::npos) << source;
}

TEST(Assembler, ReportsErrorsWithTheirLine) {
  struct Case {
    const char* source;
    const char* error;
  };
  const Case cases[] = {
      {"  nop\n  bogus r1\n", "line 2: unknown instruction 'bogus'"},
      {"  mov r1, 0x10000000\n", "cannot be written; use a register"},
      {"  mov r1\n", "mov takes 2 operand(s)"},
      {"  jmp nowhere\n", "label never defined: nowhere"},
      {"a:\na:\n", "line 2: label defined twice: a"},
      {"  call wait(1) -> r0\n", "wait takes 2 argument(s)"},
      {"  call no_such_command -> r0\n", "unknown command"},
      {"  mov t[r1+5000], 1\n", "bad offset"},
      {".file \""
       "0123456789012345678901234567890123"
       "\"\n",
       "longer than 32 bytes"},
      {".scramble code\n", "unknown table 'code'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source);
    vmasm::ScriptFiles f;
    std::string error;
    EXPECT_FALSE(vmasm::assemble(c.source, &f, &error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
}

}  // namespace
