// The layers subsystem as the script machine sees it: its commands (groups 0x03 and 0x16) and
// its entries of the machine's layer table (engine/neighbours.h).
#pragma once

namespace layers {

// Installs the command lists and fills the table: the display commit, the frame's image
// passes and layer update, and the clear of every layer. Start-up, before any script runs.
void layers_attach();

}  // namespace layers
