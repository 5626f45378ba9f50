// Attaches buttons, system buttons, the choice menu, the skip modes and the window questions:
// their command lists and their entries of the interaction neighbour table and the text
// window's button seams. Called once at start-up from attach_subsystems().
#pragma once

namespace ui {

void ui_attach();

}  // namespace ui
