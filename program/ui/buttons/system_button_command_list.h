// The system-button commands of group 0x0c: hooks 0-31 on keys, the wheel and mouse buttons.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define SYSTEM_BUTTON_COMMANDS(X)                                                                  \
  X(0x0c0000, "system_btn_set", 3, cmd_system_btn_set, "hook 0-31 calls a label (hold: repeats too)") \
  X(0x0c0001, "system_btn_release", 1, cmd_system_btn_release, "clear a hook (65535: all)")        \
  X(0x0c0002, "system_btn_enable", 2, cmd_system_btn_enable, "switch a hook off or on (65535: all)")
// clang-format on
