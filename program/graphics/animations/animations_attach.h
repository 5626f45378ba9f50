// The .ani animation player as the script machine sees it: the layer animation commands and
// its entries of the machine's layer table (engine/neighbours.h): the frame's update and the
// release of every animation at a reset.
#pragma once

namespace animations {

// Start-up, before any script runs.
void animations_attach();

}  // namespace animations
