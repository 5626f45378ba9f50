// The script-thread commands (group 0x15) and the script-message commands (group 0x17).
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define THREAD_COMMANDS(X)                                                   \
  X(0x150000, "create_thread", 1, cmd_create_thread,                         \
    "runs the label as the script thread each frame before the main script") \
  X(0x150001, "exit_thread", 0, cmd_exit_thread, "ends the script thread")   \
  X(0x150002, "enable_thread", 1, cmd_enable_thread,                         \
    "switches the script thread on or off; gives the old switch")            \
  X(0x150003, "get_thread", 0, cmd_get_thread, "the script thread's label")  \
  X(0x150004, "get_script_thread_id", 0, cmd_get_script_thread_id,           \
    "which flow runs: 0 main, 1 script thread, 2 button, 3 system button")

#define MESSAGE_COMMANDS(X)                                                                       \
  X(0x170000, "create_message", 1, cmd_create_message,                                            \
    "sets the label that handles posted messages and clears the slots")                           \
  X(0x170001, "get_message", 0, cmd_get_message, "takes the first posted message slot (-1 none)") \
  X(0x170002, "get_message_param", 1, cmd_get_message_param, "the parameter of a message slot")
