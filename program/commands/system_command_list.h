// The system commands of group 0x12: system queries, touch and gestures, renderer facts, time, the
// work thread, save points, skip modes and debug output. One line per command: X(id, name, argc,
// handler, description); see engine/command_list.h.
#pragma once

#define SYSTEM_COMMANDS(X)                                                                         \
  X(0x12000B, "is_debug", 0, cmd_is_debug, "1 when the game runs in debug mode")                   \
  X(0x12000F, "get_boot_flag", 0, cmd_get_boot_flag,                                               \
    "1 once the platform has started (0 during start-up)")                                         \
  X(0x120010, "set_window_title", 1, cmd_set_window_title,                                         \
    "sets the window's title (0x0FFFFFFF: leaves it)")                                             \
  X(0x120013, "get_time_10ms", 0, cmd_get_time_10ms, "this frame's clock in units of 10 ms")       \
  X(0x120014, "get_global_flag", 0, cmd_get_global_flag, "always 0")                               \
  X(0x12001C, "work_thread_start", 0, cmd_work_thread_start,                                       \
    "runs the script on the work thread from here (not while skipping or with transitions off)")   \
  X(0x12001D, "work_thread_stop", 0, cmd_work_thread_stop,                                         \
    "brings the script back to the game thread")                                                   \
  X(0x120023, "set_last_process", 1, cmd_set_last_process,                                         \
    "the label the script runs when the game ends (0: none)")                                      \
  X(0x120035, "clear_save_point", 0, cmd_clear_save_point, "clears the save-point mark")           \
  X(0x120036, "set_save_point", 0, cmd_set_save_point,                                             \
    "marks this place as where a save resumes and takes the save snapshot")                        \
  X(0x120051, "thread_return_push", 1, cmd_thread_return_push,                                     \
    "remembers this place for the script thread and sets the thread's start offset")               \
  X(0x120058, "is_network", 0, cmd_is_network, "1 when a local network is up")                     \
  X(0x120059, "is_touch", 0, cmd_is_touch, "1 when a ready touch screen is there and touch is on") \
  X(0x12005A, "debug_output", 8, cmd_debug_output,                                                 \
    "in debug mode writes a formatted line to the main log and stderr: %d %5d %x numbers, %t "     \
    "text, %f file name")                                                                          \
  X(0x12005B, "touch_enable", 1, cmd_touch_enable, "switches touch input on or off")               \
  X(0x12005C, "debug_output_info", 8, cmd_debug_output_info,                                       \
    "in debug mode writes a formatted line to the history log (as debug_output)")                  \
  X(0x12005D, "get_3d_value_a", 0, cmd_get_3d_value_a,                                             \
    "the largest texture width of a 3D renderer (0 with the software renderer)")                   \
  X(0x12005E, "get_3d_value_b", 0, cmd_get_3d_value_b,                                             \
    "the largest texture height of a 3D renderer (0 with the software renderer)")                  \
  X(0x12005F, "get_3d_flag", 0, cmd_get_3d_flag,                                                   \
    "1 when a 3D renderer needs power-of-two textures (0 with the software renderer)")             \
  X(0x120060, "is_3d", 0, cmd_is_3d, "1 when the game draws with a 3D renderer")                   \
  X(0x120061, "get_memory_status", 2, cmd_get_memory_status,                                       \
    "memory in MiB: field 1/2 physical total/free, 3/4 page file, 5/6 virtual; high 32 bits to "   \
    "TempMemory[cell] unless -1")                                                                  \
  X(0x120062, "get_disk_free", 2, cmd_get_disk_free,                                               \
    "the save folder's disk in MiB: field 0 free to the game, 1 total, 2 free; high 32 bits to "   \
    "TempMemory[cell] unless -1")                                                                  \
  X(0x120063, "get_os_version", 1, cmd_get_os_version,                                             \
    "the system's version: field 0 major, 1 or 5 minor, 2 patch (others 0)")                       \
  X(0x120064, "get_display_mode", 2, cmd_get_display_mode,                                         \
    "with a 3D renderer field 0 the number of displays, 1-3 the width, height and refresh rate "   \
    "of display adapter's mode (0 with the software renderer)")                                    \
  X(0x120065, "touch_mode", 1, cmd_touch_mode, "switches touch mode on or off")                    \
  X(0x120066, "is_touch_mode", 0, cmd_is_touch_mode, "1 in touch mode")                            \
  X(0x120067, "gesture_call_set", 2, cmd_gesture_call_set,                                         \
    "calls label when a touch gesture of code 3-7 arrives (none arrive on this platform yet)")     \
  X(0x120068, "gesture_call_reset", 1, cmd_gesture_call_reset,                                     \
    "stops calling a label for gesture code 3-7")                                                  \
  X(0x120069, "get_gesture_info", 1, cmd_get_gesture_info,                                         \
    "the last gesture: field 0 its argument, 1 x, 2 y, 3 sequence, 4 instance")                    \
  X(0x12006A, "set_pow", 1, cmd_set_pow,                                                           \
    "asks a 3D renderer for power-of-two textures (does nothing with the software renderer)")      \
  X(0x12006C, "is_scene_skip", 0, cmd_is_scene_skip, "1 while a scene skip runs")                  \
  X(0x12006E, "get_texture_memory", 0, cmd_get_texture_memory,                                     \
    "the texture memory of a 3D renderer in MiB (0 with the software renderer)")                   \
  X(0x12006F, "get_state_flags", 0, cmd_get_state_flags,                                           \
    "nonzero when save thumbnails are taken as mosaics")                                           \
  X(0x120070, "set_vm_value", 1, cmd_set_vm_value,                                                 \
    "takes a value that nothing reads (kept for old scripts)")                                     \
  X(0x120075, "get_script_flag", 0, cmd_get_script_flag, "the script flag set_script_flag left")   \
  X(0x120076, "set_script_flag", 1, cmd_set_script_flag,                                           \
    "sets the script flag (nonzero: 1) for get_script_flag")                                       \
  X(0x120079, "time_get_time", 0, cmd_time_get_time,                                               \
    "the millisecond clock at the moment of the call")                                             \
  X(0x12007A, "sleep", 1, cmd_sleep,                                                               \
    "blocks the thread that runs the script for ms (no frame is drawn meanwhile on the game "      \
    "thread)")                                                                                     \
  X(0x12007B, "get_alloc_count", 0, cmd_get_alloc_count,                                           \
    "the number of live memory allocations of the platform library")                               \
  X(0x12007C, "begin_skip", 0, cmd_begin_skip,                                                     \
    "starts watching for the skip keys (get_begin_skip_keystate)")                                 \
  X(0x12007D, "end_skip", 0, cmd_end_skip, "stops watching for the skip keys")                     \
  X(0x12007E, "get_begin_skip_keystate", 0, cmd_get_begin_skip_keystate,                           \
    "the skip keys pressed since begin_skip (8: advance), 0 after end_skip")                       \
  X(0x12007F, "get_change_window_mode_time", 0, cmd_get_change_window_mode_time,                   \
    "the clock time of the last change between window and full screen")                            \
  X(0x1200A0, "leave_sub_scene", 0, cmd_leave_sub_scene,                                           \
    "ends the text wait and closes an open choice menu, going back to the scene")
