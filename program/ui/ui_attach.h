// Attaches buttons, system buttons and the choice menu: their command lists and their entries
// of the interaction neighbour table and the text window's button seams. Called once at
// start-up from attach_subsystems().
#pragma once

namespace ui {

void ui_attach();

}  // namespace ui
