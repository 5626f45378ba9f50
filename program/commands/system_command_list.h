// The system commands of group 0x12: system queries, touch and gestures, renderer facts, time, the
// work thread, save points, skip modes and debug output. One line per command: X(id, name, argc,
// handler, description); see engine/command_list.h.
#pragma once

#define SYSTEM_COMMANDS(X)                                                           \
  X(0x12000B, "is_debug", 0, cmd_is_debug, "")                                       \
  X(0x12000F, "get_boot_flag", 0, cmd_get_boot_flag, "")                             \
  X(0x120010, "set_window_title", 1, cmd_set_window_title, "")                       \
  X(0x120013, "get_time_10ms", 0, cmd_get_time_10ms, "")                             \
  X(0x120014, "get_global_flag", 0, cmd_get_global_flag, "")                         \
  X(0x12001C, "work_thread_start", 0, cmd_work_thread_start, "")                     \
  X(0x12001D, "work_thread_stop", 0, cmd_work_thread_stop, "")                       \
  X(0x120023, "set_last_process", 1, cmd_set_last_process, "")                       \
  X(0x120035, "clear_save_point", 0, cmd_clear_save_point, "")                       \
  X(0x120036, "set_save_point", 0, cmd_set_save_point, "")                           \
  X(0x120051, "thread_return_push", 1, cmd_thread_return_push, "")                   \
  X(0x120058, "is_network", 0, cmd_is_network, "")                                   \
  X(0x120059, "is_touch", 0, cmd_is_touch, "")                                       \
  X(0x12005A, "debug_output", 8, cmd_debug_output, "")                               \
  X(0x12005B, "touch_enable", 1, cmd_touch_enable, "")                               \
  X(0x12005C, "debug_output_info", 8, cmd_debug_output_info, "")                     \
  X(0x12005D, "get_3d_value_a", 0, cmd_get_3d_value_a, "")                           \
  X(0x12005E, "get_3d_value_b", 0, cmd_get_3d_value_b, "")                           \
  X(0x12005F, "get_3d_flag", 0, cmd_get_3d_flag, "")                                 \
  X(0x120060, "is_3d", 0, cmd_is_3d, "")                                             \
  X(0x120061, "get_memory_status", 2, cmd_get_memory_status, "")                     \
  X(0x120062, "get_disk_free", 2, cmd_get_disk_free, "")                             \
  X(0x120063, "get_os_version", 1, cmd_get_os_version, "")                           \
  X(0x120064, "get_display_mode", 2, cmd_get_display_mode, "")                       \
  X(0x120065, "touch_mode", 1, cmd_touch_mode, "")                                   \
  X(0x120066, "is_touch_mode", 0, cmd_is_touch_mode, "")                             \
  X(0x120067, "gesture_call_set", 2, cmd_gesture_call_set, "")                       \
  X(0x120068, "gesture_call_reset", 1, cmd_gesture_call_reset, "")                   \
  X(0x120069, "get_gesture_info", 1, cmd_get_gesture_info, "")                       \
  X(0x12006A, "set_pow", 1, cmd_set_pow, "")                                         \
  X(0x12006C, "is_scene_skip", 0, cmd_is_scene_skip, "")                             \
  X(0x12006E, "get_texture_memory", 0, cmd_get_texture_memory, "")                   \
  X(0x12006F, "get_state_flags", 0, cmd_get_state_flags, "")                         \
  X(0x120070, "set_vm_value", 1, cmd_set_vm_value, "")                               \
  X(0x120075, "get_script_flag", 0, cmd_get_script_flag, "")                         \
  X(0x120076, "set_script_flag", 1, cmd_set_script_flag, "")                         \
  X(0x120079, "time_get_time", 0, cmd_time_get_time, "")                             \
  X(0x12007A, "sleep", 1, cmd_sleep, "")                                             \
  X(0x12007B, "get_alloc_count", 0, cmd_get_alloc_count, "")                         \
  X(0x12007C, "begin_skip", 0, cmd_begin_skip, "")                                   \
  X(0x12007D, "end_skip", 0, cmd_end_skip, "")                                       \
  X(0x12007E, "get_begin_skip_keystate", 0, cmd_get_begin_skip_keystate, "")         \
  X(0x12007F, "get_change_window_mode_time", 0, cmd_get_change_window_mode_time, "") \
  X(0x1200A0, "leave_sub_scene", 0, cmd_leave_sub_scene, "")
