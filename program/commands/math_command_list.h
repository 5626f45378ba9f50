// The math commands (group 0x14): fixed-point arithmetic, curves and noise.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define MATH_COMMANDS(X)                               \
  X(0x140000, "random", 2, cmd_random, "")             \
  X(0x140001, "abs", 1, cmd_abs, "")                   \
  X(0x140002, "sin", 1, cmd_sin, "")                   \
  X(0x140003, "cos", 1, cmd_cos, "")                   \
  X(0x140004, "tan", 1, cmd_tan, "")                   \
  X(0x140005, "atan", 1, cmd_atan, "")                 \
  X(0x140006, "log", 1, cmd_log, "")                   \
  X(0x140007, "log10", 1, cmd_log10, "")               \
  X(0x140008, "pow", 2, cmd_pow, "")                   \
  X(0x140009, "sqrt", 1, cmd_sqrt, "")                 \
  X(0x14000A, "mul", 2, cmd_mul, "")                   \
  X(0x14000B, "div", 2, cmd_div, "")                   \
  X(0x14000C, "easing_calc", 4, cmd_easing_calc, "")   \
  X(0x14000D, "smooth_noise", 1, cmd_smooth_noise, "") \
  X(0x14000E, "calc_f64", 3, cmd_calc_f64, "")
