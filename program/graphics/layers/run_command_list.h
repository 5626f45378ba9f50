// The commit commands (group 0x16): run, run_no_wait, run_stack.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define RUN_COMMANDS(X)                                                                          \
  X(0x160000, "run", 3, cmd_run,                                                                 \
    "shows every queued change at once under screen transition effect (0-100), time, skippable") \
  X(0x160001, "run_no_wait", 0, cmd_run_no_wait,                                                 \
    "shows the queued changes without a screen transition; layer transitions keep their time")   \
  X(0x160002, "run_stack", 1, cmd_run_stack,                                                     \
    "1 opens a batch in which run and run_no_wait only record; 0 closes it and runs the last")
