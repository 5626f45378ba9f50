// Questions about the window and the screen, and the player settings that go with them:
// window size and aspect mode, the monitor and window position, the window-mode change
// permission, the search folders, the all-mosaic thumbnail switch and the run state.
//
// A "variable" argument is a TempMemory index: -1 skips that word; any other index outside
// 0-4095 is refused with a key-0 line and nothing is stored.
//
// Thread: the thread that runs the script. The monitor question is answered on the window
// thread (the library sends it there).
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace ui {

// change_window_size (width, height): the client size in window mode.
uint32_t cmd_change_window_size(engine::VmContext& vm);
// change_aspect_mode (mode 0-3); another mode is refused with a key-0 line.
uint32_t cmd_change_aspect_mode(engine::VmContext& vm);
// aspect_position_enable (on), get_aspect_position_enable: the settings' aspect-position flag.
uint32_t cmd_aspect_position_enable(engine::VmContext& vm);
uint32_t cmd_get_aspect_position_enable(engine::VmContext& vm);
// get_aspect_mode: the library's current aspect mode.
uint32_t cmd_get_aspect_mode(engine::VmContext& vm);
// get_monitor_size (width variable, height variable): the size of the monitor nearest to the
// window's centre; the fixed desktop (1280 x 720) when the build locks the window mode.
uint32_t cmd_get_monitor_size(engine::VmContext& vm);
// get_window_pos (x variable, y variable).
uint32_t cmd_get_window_pos(engine::VmContext& vm);
// get_system_metrics (index): 0 and 1 the primary screen's width and height, 0 for any other
// index (no other measure of the system means anything to a game here). Both are 0 without a
// window, as get_monitor_size's are.
uint32_t cmd_get_system_metrics(engine::VmContext& vm);
// set_system_path (field n): the search folders become the data folder and the archives of
// field n of archive.dat. A bad list keeps the folders as they were and fails the command.
uint32_t cmd_set_system_path(engine::VmContext& vm);
// set_allmosaicthumbnail (on): every save thumbnail is pixelated (a player setting).
uint32_t cmd_set_allmosaicthumbnail(engine::VmContext& vm);
// enable_window_change (on), is_enable_window_change.
uint32_t cmd_enable_window_change(engine::VmContext& vm);
uint32_t cmd_is_enable_window_change(engine::VmContext& vm);
// is_active: 1 while the window is active and not minimised.
uint32_t cmd_is_active(engine::VmContext& vm);
// get_exe_run_mode: the run mode of the build's tokens (0, 1 " -DL", 3 "-DISWND").
uint32_t cmd_get_exe_run_mode(engine::VmContext& vm);

}  // namespace ui
