// The math commands (group 0x14): fixed-point arithmetic, curves and noise.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define MATH_COMMANDS(X)                                                                \
  X(0x140000, "random", 2, cmd_random, "a random number from lo to hi")                 \
  X(0x140001, "abs", 1, cmd_abs, "absolute value")                                      \
  X(0x140002, "sin", 1, cmd_sin, "sine of a fixed-point angle (x 10000)")               \
  X(0x140003, "cos", 1, cmd_cos, "cosine of a fixed-point angle (x 10000)")             \
  X(0x140004, "tan", 1, cmd_tan, "tangent of a fixed-point angle (x 10000)")            \
  X(0x140005, "atan", 1, cmd_atan, "arc tangent, fixed point (x 10000)")                \
  X(0x140006, "log", 1, cmd_log, "natural logarithm, fixed point (x 10000)")            \
  X(0x140007, "log10", 1, cmd_log10, "common logarithm, fixed point (x 10000)")         \
  X(0x140008, "pow", 2, cmd_pow, "power, fixed point (x 10000)")                        \
  X(0x140009, "sqrt", 1, cmd_sqrt, "square root, fixed point (x 10000)")                \
  X(0x14000A, "mul", 2, cmd_mul, "product of two fixed-point numbers (x 10000)")        \
  X(0x14000B, "div", 2, cmd_div, "quotient of two fixed-point numbers (x 10000)")       \
  X(0x14000C, "easing_calc", 4, cmd_easing_calc,                                        \
    "num scaled by the easing curve's rate at now of max")                              \
  X(0x14000D, "smooth_noise", 1, cmd_smooth_noise, "smooth one-dimensional noise at x") \
  X(0x14000E, "calc_f64", 3, cmd_calc_f64,                                              \
    "a double-precision operation on pairs of TempMemory cells")
