// The action commands (group 0x11): section commands that add one timed section to a line of
// the active action slot, and the commands that start, wait for, end, push and query slots.
// A slot argument of -1 names the active slot. Section commands take the line (0-59) first;
// an image argument is an image number.
// One line per command: X(id, name, argc, handler, description); see engine/command_list.h.
#pragma once

// clang-format off
#define ACTION_COMMANDS(X)                                                                        \
  X(0x110000, "action_run", 2, cmd_action_run,                                                    \
    "plays the slot for time ms (0xFFFFFFFF: until cleared); the script goes on")                 \
  X(0x110001, "action_sync_run", 2, cmd_action_sync_run,                                          \
    "plays the slot for time ms and holds the script until it ends")                              \
  X(0x110002, "action_loop_run", 2, cmd_action_loop_run,                                          \
    "plays the slot over and over for passes passes (-1 endless)")                                \
  X(0x110003, "action_clear", 1, cmd_action_clear,                                                \
    "ends the slot (every line jumps to its end) and empties it; resets the ease window")         \
  X(0x110004, "action_sync_wait", 1, cmd_action_sync_wait,                                        \
    "lets one frame pass (from the script thread: ends the running slot)")                        \
  X(0x110005, "action_straight", 6, cmd_action_straight,                                          \
    "line, image, dx, dy, dz, time: moves the image linearly")                                    \
  X(0x110006, "action_movepos", 5, cmd_action_movepos,                                            \
    "line, image, x layout code, easing, time: moves the image to a layout column")               \
  X(0x110007, "action_shake", 5, cmd_action_shake,                                                \
    "line, image, mode (0 vertical, 1 horizontal, 2 both), amplitude, time: fading random shake") \
  X(0x110008, "action_alpha", 4, cmd_action_alpha,                                                \
    "line, image, alpha change, time: fades the image's alpha linearly")                          \
  X(0x110009, "action_wait", 2, cmd_action_wait, "line, time: waits")                             \
  X(0x11000a, "action_rotate", 6, cmd_action_rotate,                                              \
    "line, image, rx, ry, rz (degrees), time: turns the image linearly")                          \
  X(0x11000b, "action_scale", 4, cmd_action_scale,                                                \
    "line, image, percent, time: scales the image linearly")                                      \
  X(0x11000c, "action_push", 0, cmd_action_push,                                                  \
    "sets the running active slot aside so that another program can use it")                      \
  X(0x11000d, "action_pop", 0, cmd_action_pop,                                                    \
    "ends what runs in the pushed slot's place and brings the pushed slot back")                  \
  X(0x11000e, "action_decele", 6, cmd_action_decele,                                              \
    "line, image, dx, dy, dz, time: moves the image, fast first")                                 \
  X(0x11000f, "action_accele", 6, cmd_action_accele,                                              \
    "line, image, dx, dy, dz, time: moves the image, fast last")                                  \
  X(0x110010, "action_se_play", 5, cmd_action_se_play,                                            \
    "line, channel, loop, fade, time: plays the channel's loaded sound effect")                   \
  X(0x110011, "action_shake2", 6, cmd_action_shake2,                                              \
    "line, image, mode (0-3), amplitude, period ms, time: sine shake (2, 3 decay)")               \
  X(0x110012, "action_animation", 5, cmd_action_animation,                                        \
    "line, image, column, row, time: shows that cell of the image's cell grid")                   \
  X(0x110013, "action_animation_ex", 7, cmd_action_animation_ex,                                  \
    "line, image, x, y, width, height, time: shows that rectangle of the image")                  \
  X(0x110014, "action_scale_ex", 5, cmd_action_scale_ex,                                          \
    "line, image, easing, percent, time: scales the image along a curve (ease window)")           \
  X(0x110015, "action_rotate_ex", 7, cmd_action_rotate_ex,                                        \
    "line, image, easing, rx, ry, rz, time: turns the image along a curve")                       \
  X(0x110017, "set_active_action", 1, cmd_set_active_action,                                      \
    "makes slot 0-15 the active one; result: the previous active slot")                           \
  X(0x110018, "get_active_action", 0, cmd_get_active_action, "result: the active slot")           \
  X(0x110019, "action_run_all", 1, cmd_action_run_all,                                            \
    "plays every idle slot for time ms")                                                          \
  X(0x11001a, "action_sync_run_all", 1, cmd_action_sync_run_all,                                  \
    "plays every idle slot for time ms and holds the script until the last ends")                 \
  X(0x11001b, "action_loop_run_all", 1, cmd_action_loop_run_all,                                  \
    "plays every idle slot over and over for passes passes")                                      \
  X(0x11001c, "action_clear_all", 0, cmd_action_clear_all,                                        \
    "ends and empties every slot; resets the ease window")                                        \
  X(0x11001d, "action_straight2", 6, cmd_action_straight2,                                        \
    "line, image, dx, dy, dz, time: moves the image, slowing down (sine)")                        \
  X(0x11001e, "set_action_clear", 1, cmd_set_action_clear,                                        \
    "the slot ends when the player moves on from the current line")                               \
  X(0x11001f, "action_move_rect", 8, cmd_action_move_rect,                                        \
    "line, image, easing, left, top, right, bottom, time: moves the source rectangle's edges")    \
  X(0x110020, "action_color", 6, cmd_action_color,                                                \
    "line, image, red, green, blue change, time: recolours the image linearly")                   \
  X(0x110021, "action_circle", 12, cmd_action_circle,                                             \
    "line, image, angle x, y, radius x, y, angle change x, y, radius change x, y, time, easing:"  \
    " circles the image and keeps it at the end (angles in 1/512 turn)")                          \
  X(0x110022, "action_circle_return", 12, cmd_action_circle_return,                               \
    "as action_circle; the image returns to its place after the section")                         \
  X(0x110023, "action_set_mask", 5, cmd_action_set_mask,                                          \
    "line, source, mask, target image, time: reveals the source in the target through the mask")  \
  X(0x110024, "is_action_run", 1, cmd_is_action_run, "result: 1 when the slot runs, else 0")      \
  X(0x110025, "action_set_mask_reverse", 5, cmd_action_set_mask_reverse,                          \
    "line, source, mask, target image, time: hides the source in the target through the mask")    \
  X(0x110026, "action_graph_show", 3, cmd_action_graph_show,                                      \
    "line, layer, time: shows the layer's picture")                                               \
  X(0x110027, "action_graph_hide", 3, cmd_action_graph_hide,                                      \
    "line, layer, time: hides the layer's picture")                                               \
  X(0x110028, "action_set_alpha", 4, cmd_action_set_alpha,                                        \
    "line, image, alpha 0-255, time: holds the image's alpha at that value")                      \
  X(0x110029, "action_straight_decele", 10, cmd_action_straight_decele,                           \
    "line, image, dx1, dy1, dz1, t1, dx2, dy2, dz2, t2: a linear move, then a slowing one")       \
  X(0x11002a, "set_action_stop", 2, cmd_set_action_stop,                                          \
    "flag 1: when the slot ends, its images stay where its running sections got them")            \
  X(0x11002b, "action_ease_move", 7, cmd_action_ease_move,                                        \
    "line, image, dx, dy, dz, easing, time: moves the image along a curve (ease window)")         \
  X(0x11002c, "action_alpha_ease", 5, cmd_action_alpha_ease,                                      \
    "line, image, alpha change, easing, time: fades the image's alpha along a curve")             \
  X(0x11002d, "action_wait_random", 3, cmd_action_wait_random,                                    \
    "line, minimum ms, maximum ms: waits a random time in [minimum, maximum)")                    \
  X(0x11002e, "is_action_move", 1, cmd_is_action_move,                                            \
    "result: 1 when a running slot moves the image, else 0")                                      \
  X(0x11002f, "action_scale_xy", 6, cmd_action_scale_xy,                                          \
    "line, image, easing, x percent, y percent, time: scales each axis along a curve")            \
  X(0x110030, "set_action_ease_window", 2, cmd_set_action_ease_window,                            \
    "start, end per mille: the stretch of the curve that later eased sections play")
// clang-format on
