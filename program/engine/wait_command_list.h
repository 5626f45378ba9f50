// The wait commands (group 0x07): timed, click and sync waits.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define WAIT_COMMANDS(X)                                           \
  X(0x070000, "wait", 2, cmd_wait, "")                             \
  X(0x070001, "wait_click", 1, cmd_wait_click, "")                 \
  X(0x070002, "wait_sync_begin", 0, cmd_wait_sync_begin, "")       \
  X(0x070003, "wait_sync", 1, cmd_wait_sync, "")                   \
  X(0x070004, "wait_sync_end", 0, cmd_wait_sync_end, "")           \
  X(0x070005, "wait_frame", 0, cmd_wait_frame, "")                 \
  X(0x070006, "wait_clear", 0, cmd_wait_clear, "")                 \
  X(0x070007, "wait_click_no_anim", 1, cmd_wait_click_no_anim, "") \
  X(0x070008, "wait_sync_get_time", 0, cmd_wait_sync_get_time, "") \
  X(0x070009, "wait_time_push", 0, cmd_wait_time_push, "")         \
  X(0x07000A, "wait_time_pop", 0, cmd_wait_time_pop, "")           \
  X(0x07000B, "wait_get_time", 0, cmd_wait_get_time, "")           \
  X(0x07000C, "wait_is_clear", 0, cmd_wait_is_clear, "")
