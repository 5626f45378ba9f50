// Attaches buttons, system buttons and the choice menu: their command lists and their entries
// of the interaction neighbour table. Called once at start-up from attach_subsystems().
#pragma once

namespace interaction {

void interaction_attach();

}  // namespace interaction
