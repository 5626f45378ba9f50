// The style buttons of the button group bound to the text window: the name button shows with
// a speaker's name, and the voice buttons (style 2, record 8/9, second voice 10) are switched on
// at cell row 0 for a line with a voice or reset for a line without. Called when the window is
// shown (the text window's seam table).
//
// Thread: the script's thread.
#pragma once

#include "engine/vm_context.h"

namespace ui {

void text_window_style_buttons(engine::VmContext& vm, engine::TextWindow& tw);

}  // namespace ui
