// Operand words: every kind, and indexes outside their memory.
#include "support/vm_fixture.h"

namespace enginetest {
namespace {

struct OperandCase {
  const char* operand;
  uint32_t expected;
  bool out_of_range;
};

class OperandTest : public VmTest {
 protected:
  // Reads the operand into r200 through a mov and returns it.
  void prepare(const std::string& operand) {
    load(".mem 0x00020000 0 0 0 0 0 0 70 0\nmov r200, " + operand + "\n");
    engine::VmContext& v = vm();
    v.reg[1] = 5;
    v.reg[2] = 1024;  // one past UserMemory and SystemMemory
    v.reg[3] = 4096;  // one past TempMemory
    v.reg[4] = 9;     // one past Mem.dat
    v.userMem[5] = 11;
    v.sysMem[5] = 22;
    v.argStack[3] = 33;
    v.tempMem[5] = 44;
    v.tempMem[5 + 3 + 100] = 55;
    v.frame.dwEbp = 100;
    v.frame.dwEsp = 10;
    v.frame.cells[8] = 66;
  }
};

TEST_F(OperandTest, EveryKindAndOutOfRangeIndexes) {
  const OperandCase cases[] = {
      {"7", 7, false},
      {"-1", 0xFFFFFFFFu, false},
      {"=0xFFFFFFFF", 0xFFFFFFFFu, false},  // an immediate of kind 15 reads as -1
      {"0x0FFFFFFF", 0x0FFFFFFFu, false},
      {"u[r1]", 11, false},
      {"s[r1]", 22, false},
      {"a[3]", 33, false},
      {"r1", 5, false},
      {"t[r1]", 44, false},     // k = 0: ebp is not added
      {"t[r1+3]", 55, false},   // R[1] + 3 + ebp
      {"m[r1+2]", 70, false},   // Mem.dat cell 7
      {"mi[r1+0]", 70, false},  // cell R[1] + bits 16-27 of cell 0 (2)
      {"f[2]", 66, false},      // esp - 2
      {"ebp", 100, false},
      {"=0x4000FFFF", 0, true},  // register 65535
      {"=0x400000FF", 0, true},  // register 255
      {"u[r2]", 0, true},
      {"s[r2]", 0, true},
      {"=0x100000FF", 0, true},  // UserMemory through register 255
      {"a[64]", 0, true},
      {"t[r3]", 0, true},
      {"t[r1+4000]", 0, true},
      {"m[r4]", 0, true},
      {"mi[r1+9]", 0, true},  // the index cell itself is past Mem.dat
      {"f[11]", 0, true},     // esp - 11 wraps below the frame
  };
  for (const OperandCase& c : cases) {
    SCOPED_TRACE(c.operand);
    TearDown();
    logs_.clear();
    SetUp();
    prepare(c.operand);
    run();
    EXPECT_EQ(vm().reg[200], c.expected);
    EXPECT_EQ(log_count(engine::kLogMain) > 0, c.out_of_range)
        << (logs_.empty() ? "" : logs_[0].second);
  }
}

TEST_F(OperandTest, WritesOutsideAMemoryGoNowhere) {
  load("mov u[r2], 9\nmov t[r3], 9\nmov f[600], 9\nmov r200, u[r2]\n");
  vm().reg[2] = 1024;
  vm().reg[3] = 4096;
  run();
  EXPECT_EQ(vm().reg[200], 0u);  // the scratch cell reads 0 again
  EXPECT_EQ(vm().userMem[1023], 0u);
  EXPECT_EQ(vm().tempMem[4095], 0u);
  EXPECT_EQ(log_count(engine::kLogMain), 4u);
  EXPECT_EQ(vm().runner.dwPc, vm().runner.dwCodeSize);
}

TEST_F(OperandTest, ImmediateDestinationIsWrittenAndLost) {
  load("add 5, 1\nmov r1, 0\n");
  run();
  EXPECT_EQ(vm().dwImmediate, 0u);
  EXPECT_EQ(log_count(engine::kLogMain), 0u);
}

}  // namespace
}  // namespace enginetest
