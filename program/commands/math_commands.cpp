#include "commands/math_commands.h"

#include <cmath>
#include <cstring>
#include <iterator>

#include "commands/math_command_list.h"
#include "engine/command_list.h"
#include "engine/dispatch.h"
#include "engine/neighbours.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"

namespace engine {

int32_t fixed_truncate(double v) {
  const double t = std::trunc(v);
  if (!(t >= -2147483648.0 && t <= 2147483647.0)) return INT32_MIN;
  return static_cast<int32_t>(t);
}

namespace {

float noise(int32_t n) {
  const uint32_t u = static_cast<uint32_t>(n);
  const uint32_t m = (u << 13) ^ u;
  const uint32_t h = (m * (m * m * 15731u + 789221u) - 771171059u) & 0x7FFFFFFFu;
  return 1.0f - static_cast<float>(h) * 9.313225746154785e-10f;
}

}  // namespace

int32_t smooth_noise(int32_t x) {
  const float xf = static_cast<float>(x) / 10000.0f;
  const float fl = std::floor(xf);
  const int32_t i = static_cast<int32_t>(fl);
  const float f = xf - fl;
  const float a = noise(i);
  const float b = noise(static_cast<int32_t>(static_cast<uint32_t>(i) + 1u));
  const float s = (3.0f - (f + f)) * (f * f);
  const float v = (b - a) * s + a;
  return fixed_truncate(static_cast<double>(v * 10000.0f));
}

namespace {

int32_t pop_int(VmContext& vm) {
  return static_cast<int32_t>(vm_pop(vm));
}
double scaled(int32_t v) {
  return static_cast<double>(v) / 10000.0;
}

void result(VmContext& vm, int32_t v) {
  vm_set_result(vm, static_cast<uint32_t>(v));
}

uint32_t cmd_random(VmContext& vm) {
  const int32_t lo = pop_int(vm);
  const int32_t hi = pop_int(vm);
  const int32_t r = orv.OrvRandomEx();
  const uint32_t size = static_cast<uint32_t>(hi) - static_cast<uint32_t>(lo) + 1u;
  // A size of 0 is the full 2^32 range in wrapping arithmetic: every value fits, so r itself.
  const int32_t offset = size == 0 ? r : r % static_cast<int32_t>(size);
  const int32_t v = static_cast<int32_t>(static_cast<uint32_t>(lo) + static_cast<uint32_t>(offset));
  result(vm, v);
  vm_log(kLogHistory, "[%d] random %d, %d", v, lo, hi);
  return 1;
}

uint32_t cmd_abs(VmContext& vm) {
  const int32_t x = pop_int(vm);
  const int32_t v = x == INT32_MIN ? x : (x < 0 ? -x : x);
  result(vm, v);
  vm_log(kLogHistory, "[%d] abs %d", v, x);
  return 1;
}

// The one-operand fixed-point functions.
template <double (*F)(double)>
uint32_t unary(VmContext& vm, const char* name) {
  const int32_t x = pop_int(vm);
  const int32_t v = fixed_truncate(F(scaled(x)) * 10000.0);
  result(vm, v);
  vm_log(kLogHistory, "[%d] %s %d", v, name, x);
  return 1;
}
double f_sin(double x) {
  return std::sin(x);
}
double f_cos(double x) {
  return std::cos(x);
}
double f_tan(double x) {
  return std::tan(x);
}
double f_atan(double x) {
  return std::atan(x);
}
double f_log(double x) {
  return std::log(x);
}
double f_log10(double x) {
  return std::log10(x);
}
double f_sqrt(double x) {
  return std::sqrt(x);
}
uint32_t cmd_sin(VmContext& vm) {
  return unary<f_sin>(vm, "sin");
}
uint32_t cmd_cos(VmContext& vm) {
  return unary<f_cos>(vm, "cos");
}
uint32_t cmd_tan(VmContext& vm) {
  return unary<f_tan>(vm, "tan");
}
uint32_t cmd_atan(VmContext& vm) {
  return unary<f_atan>(vm, "atan");
}
uint32_t cmd_log(VmContext& vm) {
  return unary<f_log>(vm, "log");
}
uint32_t cmd_log10(VmContext& vm) {
  return unary<f_log10>(vm, "log10");
}
uint32_t cmd_sqrt(VmContext& vm) {
  return unary<f_sqrt>(vm, "sqrt");
}

uint32_t cmd_pow(VmContext& vm) {
  const int32_t a = pop_int(vm);
  const int32_t b = pop_int(vm);
  const int32_t v = fixed_truncate(std::pow(scaled(a), scaled(b)) * 10000.0);
  result(vm, v);
  vm_log(kLogHistory, "[%d] pow %d ^ %d", v, a, b);
  return 1;
}

uint32_t cmd_mul(VmContext& vm) {
  const int32_t a = pop_int(vm);
  const int32_t b = pop_int(vm);
  const double product = scaled(b) * scaled(a);
  const int32_t v = fixed_truncate(product * 10000.0);
  result(vm, v);
  vm_log(kLogHistory, "[%d] mul %d * %d", v, a, b);
  return 1;
}

uint32_t cmd_div(VmContext& vm) {
  const int32_t a = pop_int(vm);
  const int32_t b = pop_int(vm);
  const double quotient = scaled(a) / scaled(b);
  const int32_t v = fixed_truncate(quotient * 10000.0);
  result(vm, v);
  vm_log(kLogHistory, "[%d] div %d / %d", v, a, b);
  return 1;
}

// The action system's curves; until it is attached the named curves run linearly.
float easing_rate(uint32_t type, uint32_t now, uint32_t max) {
  if (neighbours.layers.easing_rate) return neighbours.layers.easing_rate(type, now, max);
  if (max == 0) return 1.0f;
  const bool named = type <= 3 || (type >= 16 && type <= 48);
  if (!named) return 1.0f;
  if (now > max) now = max;
  return static_cast<float>(now) / static_cast<float>(max);
}

uint32_t cmd_easing_calc(VmContext& vm) {
  const uint32_t type = vm_pop(vm);
  const int32_t num = pop_int(vm);
  const uint32_t now = vm_pop(vm);
  const uint32_t max = vm_pop(vm);
  const float product = easing_rate(type, now, max) * static_cast<float>(num);
  const int32_t v = fixed_truncate(static_cast<double>(product));
  result(vm, v);
  vm_log(kLogHistory, "[%d] easing_calc %d, num=%d, now=%d, max=%d", v, static_cast<int32_t>(type),
         num, static_cast<int32_t>(now), static_cast<int32_t>(max));
  return 1;
}

uint32_t cmd_smooth_noise(VmContext& vm) {
  const int32_t x = pop_int(vm);
  const int32_t v = smooth_noise(x);
  result(vm, v);
  vm_log(kLogHistory, "[%d] smooth_noise %d", v, x);
  return 1;
}

double read_double(const VmContext& vm, uint32_t index) {
  const uint64_t bits = vm.tempMem[index] | (uint64_t{vm.tempMem[index + 1]} << 32);
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

void write_double(VmContext& vm, uint32_t index, double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  vm.tempMem[index] = static_cast<uint32_t>(bits);
  vm.tempMem[index + 1] = static_cast<uint32_t>(bits >> 32);
}

uint32_t cmd_calc_f64(VmContext& vm) {
  const uint32_t op = vm_pop(vm);
  const uint32_t a = vm_pop(vm);
  const uint32_t b = vm_pop(vm);
  if (op == 0 || op > 28) return 1;
  constexpr uint32_t kLastPair = kTempMemoryCells - 2;  // 4094: the last index with a pair
  const bool uses_b = op == 12 || (op >= 14 && op <= 18);
  // An index the script made up never reaches outside TempMemory: the command does nothing.
  if (a > kLastPair || (uses_b && b > kLastPair)) {
    vm_log(kLogMain, "*** ERROR: calc_f64() index over a=%u b=%u", a, b);
    return 1;
  }
  const double A = read_double(vm, a);
  const double B = uses_b ? read_double(vm, b) : 0.0;
  switch (op) {
    case 1:
      write_double(vm, a, static_cast<double>(static_cast<int32_t>(vm.tempMem[a])));
      break;
    case 2: {
      const double t = std::trunc(A);
      const uint64_t v = (t >= -9223372036854775808.0 && t < 9223372036854775808.0)
                             ? static_cast<uint64_t>(static_cast<int64_t>(t))
                             : 0x8000000000000000ull;
      vm.tempMem[a] = static_cast<uint32_t>(v);
      vm.tempMem[a + 1] = static_cast<uint32_t>(v >> 32);
      break;
    }
    case 3:
      vm.tempMem[a] = static_cast<uint32_t>(fixed_truncate(A));
      vm.tempMem[a + 1] = 0;
      break;
    case 4:
      write_double(vm, a, std::floor(A));
      break;
    case 5:
      write_double(vm, a, std::round(A));
      break;
    case 6:
      write_double(vm, a, std::sin(A));
      break;
    case 7:
      write_double(vm, a, std::cos(A));
      break;
    case 8:
      write_double(vm, a, std::tan(A));
      break;
    case 9:
      write_double(vm, a, std::atan(A));
      break;
    case 10:
      write_double(vm, a, std::log(A));
      break;
    case 11:
      write_double(vm, a, std::log10(A));
      break;
    case 12:
      write_double(vm, a, std::pow(A, B));
      break;
    case 13:
      write_double(vm, a, std::sqrt(A));
      break;
    case 14:
      write_double(vm, a, A * B);
      break;
    case 15:
      if (B == 0.0) {
        write_double(vm, a, -1.0);
        vm_log(kLogMain, "*** ERROR: calc_f64() div by Zero");
      } else {
        write_double(vm, a, A / B);
      }
      break;
    case 16:
      if (B == 0.0) {
        write_double(vm, a, -1.0);
        vm_log(kLogMain, "*** ERROR: calc_f64() mod by Zero");
      } else {
        write_double(vm, a, std::fmod(A, B));
      }
      break;
    case 17:
      write_double(vm, a, A + B);
      break;
    case 18:
      write_double(vm, a, A - B);
      break;
    case 28:
      write_double(vm, a, 3.141592653589793);
      break;
    default:
      vm.tempMem[a] = 0;
      break;  // 19 to 27
  }
  return 1;
}

}  // namespace

namespace {
const CommandEntry kMathCommands[] = {MATH_COMMANDS(COMMAND_ENTRY)};
}  // namespace

const CommandList math_commands = command_list(kMathCommands);

}  // namespace engine
