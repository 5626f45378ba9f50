// The wait commands (group 0x07): timed, click and sync waits.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define WAIT_COMMANDS(X)                                                                      \
  X(0x070000, "wait", 2, cmd_wait,                                                            \
    "waits the given ms (endless: -1); with flags nonzero any skip ends it")                  \
  X(0x070001, "wait_click", 1, cmd_wait_click,                                                \
    "waits for a click (or the given ms) with the text window's click icon")                  \
  X(0x070002, "wait_sync_begin", 0, cmd_wait_sync_begin,                                      \
    "starts the clock that wait_sync measures from")                                          \
  X(0x070003, "wait_sync", 1, cmd_wait_sync,                                                  \
    "waits until the given ms have passed since wait_sync_begin")                             \
  X(0x070004, "wait_sync_end", 0, cmd_wait_sync_end, "stops the wait_sync clock")             \
  X(0x070005, "wait_frame", 0, cmd_wait_frame, "gives up the rest of this frame")             \
  X(0x070006, "wait_clear", 0, cmd_wait_clear, "cancels the running waits and script points") \
  X(0x070007, "wait_click_no_anim", 1, cmd_wait_click_no_anim,                                \
    "waits for a click (or the given ms) without the click icon")                             \
  X(0x070008, "wait_sync_get_time", 0, cmd_wait_sync_get_time, "ms since wait_sync_begin")    \
  X(0x070009, "wait_time_push", 0, cmd_wait_time_push, "puts the running timed wait aside")   \
  X(0x07000A, "wait_time_pop", 0, cmd_wait_time_pop, "resumes the timed wait put aside")      \
  X(0x07000B, "wait_get_time", 0, cmd_wait_get_time, "the running wait's length in ms")       \
  X(0x07000C, "wait_is_clear", 0, cmd_wait_is_clear, "1 when wait_clear cancelled a running wait")
