// The commands of group 0x02 that show one line of dialogue.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define TEXT_LINE_COMMANDS(X)                                                                         \
  X(0x020002, "text", 4, cmd_text, "a line: voice, name, text, time; waits for the click")            \
  X(0x02000F, "text_w", 4, cmd_text_w, "a line the script runs on beside while it reveals")           \
  X(0x020010, "text_a", 3, cmd_text_a, "a line shown at once: voice, name, text; waits for the click") \
  X(0x020011, "text_wa", 3, cmd_text_wa, "a line shown at once; the script runs on")                  \
  X(0x020012, "_text_n", 4, cmd_text_n, "a line kept out of the backlog that ends without a click")   \
  X(0x020013, "text_cat", 4, cmd_text_cat, "continues the line on screen with more text")             \
  X(0x02003E, "text_h", 4, cmd_text_h, "a line kept out of the backlog; time -2: at once, no click")  \
  X(0x02003F, "text_wh", 4, cmd_text_wh, "as text_w, kept out of the backlog")                     \
  X(0x020030, "text_set_async_voice", 1, cmd_text_set_async_voice, "line voices load on the work thread (gives the old switch)")
// clang-format on
