// Page mode: the lines of a page gather in the page buffer and are shown at once on the page
// sprite, while the message sprite, moved below them, reveals the current line.
//
// Thread: the thread that runs the script.
#pragma once

#include "engine/vm_context.h"

namespace textwindow {

// Lays out the line just drawn (name and message sprites, the page buffer, the icon place).
// Runs after the name and message of a line were drawn, in text mode 1. A new page begins when
// the line would pass the page's height, or when its markup would not fit beside the page so
// far; a line longer than the whole buffer is cut on a character boundary (key-0 line).
void text_page_append(engine::VmContext& vm, engine::TextWindow& tw);

}  // namespace textwindow
