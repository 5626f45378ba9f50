// The title of the game window, by the window's id: the one window call that the game program
// makes itself (the title commands of the script), as the original program set it directly.
// Stateless: SDL is one library in the process and the window belongs to libOrv.so.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Sets the title of the window with SDL's id `handle` (what OrvGetWindowHandle gives out), given
// in Shift-JIS; false when no such window exists. Window thread.
bool window_set_title_by_handle(uint32_t handle, const std::string& title_sjis);
// The window's title in Shift-JIS (characters without a Shift-JIS form become '?').
std::string window_title_sjis(uint32_t handle);

}  // namespace platform
