// Attaches buttons, system buttons, the choice menu, the skip modes, the window questions, key
// input, the player settings and fonts, and the memory stack:
// their command lists and their entries of the interaction neighbour table and the text
// window's button seams. Called once at start-up from attach_subsystems().
#pragma once

namespace ui {

void ui_attach();

}  // namespace ui
