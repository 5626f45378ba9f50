// The math commands of command group 0x14: a random number, fixed-point functions with the
// scale 10000 (10000 stands for 1.0), an easing curve, a value noise and a small
// double-precision calculator over TempMemory.
//
// Results that come from a floating value are truncated toward zero; NaN, infinities and
// values outside the 32-bit range give -2147483648. Thread: whichever thread runs the script.
#pragma once

#include <cstdint>

#include "engine/command_list.h"

namespace engine {

// Truncation toward zero to a signed 32-bit value; -2147483648 for what does not fit.
int32_t fixed_truncate(double v);
// The one-dimensional value noise at x / 10000, times 10000 (single precision).
int32_t smooth_noise(int32_t x);

// The commands of this family, installed by library_commands_attach.
extern const CommandList math_commands;

}  // namespace engine
