// The math commands run from assembled scripts; results are bit-exact.
#include <cmath>
#include <cstring>

#include "support/vm_fixture.h"

namespace enginetest {
namespace {

class MathCommands : public VmTest {};

constexpr int32_t kMin = INT32_MIN;

TEST_F(MathCommands, FixedPointResults) {
  const int32_t half_pi = static_cast<int32_t>(M_PI / 2 * 10000);
  const int32_t pi = static_cast<int32_t>(M_PI * 10000);
  const int32_t root2 = static_cast<int32_t>(std::sqrt(2.0) * 10000);
  struct Case {
    std::string call;
    int32_t expected;
  } cases[] = {
      {"mul(3, 10000)", 2},  // the scaled product is 2.9999999999999996
      {"mul(20000, 3)", 5},
      {"sin(" + std::to_string(half_pi) + ")", 9999},
      {"sin(" + std::to_string(pi) + ")", 0},
      {"cos(0)", 10000},
      {"sqrt(40000)", 20000},
      {"sqrt(20000)", root2},
      {"sqrt(-1)", kMin},
      {"log(10000)", 0},
      {"log(0)", kMin},
      {"log10(1000000)", 20000},
      {"div(5, 0)", kMin},
      {"div(0, 0)", kMin},
      {"div(10000, 30000)", 3333},
      {"pow(20000, 5000)", root2},
      {"abs(-5)", 5},
      {"atan(10000)", static_cast<int32_t>(std::atan(1.0) * 10000)},
      {"tan(0)", 0},
      {"smooth_noise(0)", -2817},
      {"smooth_noise(5000)", -2540},
      {"smooth_noise(10000)", -2263},
      {"smooth_noise(-10000)", 9001},
      {"smooth_noise(-1)", -2817},
      {"easing_calc(0, 1234, 5, 0)", 1234},    // max 0
      {"easing_calc(99, 1234, 5, 10)", 1234},  // no such curve
      {"random(7, 7)", 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.call);
    TearDown();
    SetUp();
    load("call " + c.call + " -> r2\n");
    run();
    EXPECT_EQ(static_cast<int32_t>(vm().reg[2]), c.expected);
  }
  // The lowest value needs a register: it is no immediate.
  load("call abs(r1) -> r2\n");
  vm().reg[1] = 0x80000000u;
  run();
  EXPECT_EQ(static_cast<int32_t>(vm().reg[2]), kMin);
  EXPECT_TRUE(logged(10, "[-2147483648] abs -2147483648"));
}

TEST_F(MathCommands, RandomStaysInItsRange) {
  load(
      "  mov r9, 200\n"
      "again:\n"
      "  call random(10, 5) -> r2\n"  // size -4: 10..13
      "  lt r2, 10\n"
      "  add r10, r2\n"
      "  call random(10, 5) -> r2\n"
      "  gt r2, 13\n"
      "  add r10, r2\n"
      "  call random(0, 100000) -> r2\n"
      "  gt r2, 32767\n"
      "  add r10, r2\n"
      "  call random(r3, r4) -> r2\n"  // the whole 32-bit range: size 0
      "  call random(5, 4) -> r5\n"    // size 0 as well
      "  sub r9, 1\n"
      "  jz done, r9\n"
      "  jmp again\n"
      "done:\n");
  vm().reg[3] = 0x80000000u;
  vm().reg[4] = 0x7FFFFFFFu;
  run();
  EXPECT_EQ(vm().reg[10], 0u);
  EXPECT_GE(static_cast<int32_t>(vm().reg[5]), 5);
  EXPECT_LE(static_cast<int32_t>(vm().reg[5]), 5 + 32767);
}

double temp_double(engine::VmContext& vm, uint32_t i) {
  const uint64_t bits = vm.tempMem[i] | (uint64_t{vm.tempMem[i + 1]} << 32);
  double d;
  std::memcpy(&d, &bits, 8);
  return d;
}
void set_temp_double(engine::VmContext& vm, uint32_t i, double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, 8);
  vm.tempMem[i] = static_cast<uint32_t>(bits);
  vm.tempMem[i + 1] = static_cast<uint32_t>(bits >> 32);
}

TEST_F(MathCommands, CalcF64) {
  struct Case {
    uint32_t op;
    double a, b, expected;
  } cases[] = {
      {5, 2.5, 0, 3.0},
      {5, -2.5, 0, -3.0},
      {5, 2.4999, 0, 2.0},
      {4, -1.5, 0, -2.0},
      {12, 2.0, 10.0, 1024.0},
      {14, 1.5, 4.0, 6.0},
      {15, 1.0, 4.0, 0.25},
      {15, 1.0, -0.0, -1.0},
      {16, -7.0, 2.0, -1.0},
      {16, 7.0, 0.0, -1.0},
      {17, 1.0, 2.0, 3.0},
      {18, 1.0, 2.0, -1.0},
      {28, 0, 0, 3.141592653589793},
      {13, 9.0, 0, 3.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.op);
    TearDown();
    SetUp();
    load("call calc_f64(r1, 10, 20)\n");
    vm().reg[1] = c.op;
    set_temp_double(vm(), 10, c.a);
    set_temp_double(vm(), 20, c.b);
    run();
    EXPECT_EQ(temp_double(vm(), 10), c.expected);
    EXPECT_EQ(temp_double(vm(), 20), c.b);  // B is never written
  }
  EXPECT_TRUE(logged(0, "*** ERROR: calc_f64() mod by Zero"));

  // Integer conversions and the word writes.
  load(
      "call calc_f64(3, 10, 0)\n"
      "call calc_f64(2, 12, 0)\n"
      "call calc_f64(1, 14, 0)\n"
      "call calc_f64(20, 16, 0)\n"
      "call calc_f64(2, 18, 0)\n");
  set_temp_double(vm(), 10, -2.9);
  set_temp_double(vm(), 12, -5e9);
  vm().tempMem[14] = static_cast<uint32_t>(-7);
  vm().tempMem[16] = 5;
  vm().tempMem[17] = 6;
  set_temp_double(vm(), 18, NAN);
  run();
  EXPECT_EQ(static_cast<int32_t>(vm().tempMem[10]), -2);
  EXPECT_EQ(vm().tempMem[11], 0u);
  EXPECT_EQ(static_cast<int64_t>(vm().tempMem[12] | (uint64_t{vm().tempMem[13]} << 32)),
            -5000000000);
  EXPECT_EQ(temp_double(vm(), 14), -7.0);
  EXPECT_EQ(vm().tempMem[16], 0u);
  EXPECT_EQ(vm().tempMem[17], 6u);
  EXPECT_EQ(vm().tempMem[18], 0u);
  EXPECT_EQ(vm().tempMem[19], 0x80000000u);
}

TEST_F(MathCommands, CalcF64RefusesIndexesPastTempMemory) {
  load("call calc_f64(28, 4095, 0)\ncall calc_f64(17, 0, 4095)\ncall calc_f64(28, 4094, 4095)\n");
  vm().tempMem[4095] = 0xABCD;
  set_temp_double(vm(), 0, 1.0);
  run();
  EXPECT_EQ(vm().tempMem[4095], 0x400921FBu);  // the third call: B unused, so 4094 is written
  EXPECT_EQ(temp_double(vm(), 0), 1.0);
  EXPECT_TRUE(logged(0, "calc_f64() index over"));
}

}  // namespace
}  // namespace enginetest
