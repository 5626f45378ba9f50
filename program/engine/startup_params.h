// Filling the platform library's start parameters: the screen-size table, the command-line
// switches and the first-run window-mode question.
#pragma once

#include <cstdint>

#include "engine/formats/startup_info.h"
#include "orv/start_params.h"

namespace engine {

struct ScreenSize {
  int32_t client_width, client_height, screen_width, screen_height;
};
// The row for a screen-size index; an index above 8 gives 1280 x 720.
ScreenSize screen_size_row(uint32_t index);

// Applies the switches of the arguments (argv[1] on; the program's own path never counts): a
// '/' followed by MOVIESKIP, DIB, VS, NA or DX (case-sensitive, text after the name ignored,
// later switches win). Several may share one argument ("/DIB/DX").
void switches_apply(int argc, char** argv, StartParams* params, StartupSettings* settings);

// Asks the player once whether the first start runs full screen. 1 full screen, 0 window;
// where no box can be shown the answer is the window.
int32_t window_mode_choose(const char* product);

}  // namespace engine
