// Commands that scripts may already name but whose subsystem is not built: the assembler knows
// them, the interpreter has no handler (a call logs an internal error). When the subsystem
// lands, its lines move into its own list.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

#define PENDING_COMMANDS(X)                             \
  X(0x090029, "get_monitor_size", 2, nullptr, "")       \
  X(0x09002C, "set_system_path", 1, nullptr, "")        \
  X(0x09002D, "set_allmosaicthumbnail", 1, nullptr, "") \
  X(0x090040, "get_exe_run_mode", 0, nullptr, "")
