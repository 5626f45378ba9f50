// The screen transitions as the script machine sees them: they run inside the platform library
// (OrvEffectEx and friends); the machine only asks whether one runs and whether they are on.
#pragma once

namespace graphics {

// Fills the machine's transition table (engine/neighbours.h) with the library's answers.
void transitions_attach();

}  // namespace graphics
