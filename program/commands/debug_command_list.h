// The debug commands (group 0x0F): debug output, debug windows and the frame-stack probes.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define DEBUG_COMMANDS(X)                                                                          \
  X(0x0F0000, "debug_print", 1, cmd_debug_print, "in debug mode writes text to the debug output")  \
  X(0x0F0001, "debug_messagebox", 1, cmd_debug_messagebox,                                         \
    "shows text in a message box and waits for OK")                                                \
  X(0x0F0002, "set_window_text", 2, cmd_set_window_text,                                           \
    "in debug mode titles the window product - text (mode 1: text alone); ends begin_skip, takes " \
    "the save snapshot")                                                                           \
  X(0x0F0003, "entry_access_all", 0, cmd_entry_access_all,                                         \
    "marks every file of File.dat entered and new")                                                \
  X(0x0F0004, "debug_output_window", 8, cmd_debug_output_window,                                   \
    "in debug mode writes a formatted line to the debug output (as debug_output)")                 \
  X(0x0F0005, "debug_window_set_state", 1, cmd_debug_window_set_state,                             \
    "sets the debug window's state")                                                               \
  X(0x0F0006, "debug_window_get_state", 0, cmd_debug_window_get_state, "the debug window's state") \
  X(0x0F0007, "get_ebp", 0, cmd_get_ebp, "the frame base register")                                \
  X(0x0F0008, "get_stack_point", 0, cmd_get_stack_point,                                           \
    "the number of values on the argument stack")                                                  \
  X(0x0F0009, "set_stack_point", 1, cmd_set_stack_point,                                           \
    "sets the argument stack's depth (0-64; others refused)")                                      \
  X(0x0F000A, "debug_break", 0, cmd_debug_break,                                                   \
    "writes the machine's state (place, stack, frame, buttons, returns) to the history log")       \
  X(0x0F000B, "set_ebp", 1, cmd_set_ebp, "sets the frame base register")                           \
  X(0x0F000C, "get_stack_depth", 0, cmd_get_stack_point,                                           \
    "the number of values on the argument stack (as get_stack_point)")                             \
  X(0x0F000D, "debug_nop", 0, cmd_debug_nop, "does nothing")
