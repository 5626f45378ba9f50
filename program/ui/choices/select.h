// The choice menu: up to fifteen items, each a background image with a centred line of text,
// picked with the mouse or the arrow keys, then a jump to the picked item's label.
//
// A script writes a menu as one block: `select`, one `select_item` call per item (its argument
// pushes before it) and `end_select`. `select` runs the block's instructions itself, takes each
// item's arguments, builds the sprites and leaves the pc on `end_select`, which runs once per
// frame until the player decides. Hover, leave and decide labels run as subroutines.
//
// Item flags: bit 0 shown (clear: the item is consumed but not shown), bit 1 selectable (clear:
// drawn at half alpha, never hovered or decided; the keyboard cursor still stops on it).
//
// Thread: the script's thread, under the render lock.
#pragma once

#include <cstdint>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace ui {

// With the text window: on gives every item its colours back, off makes them invisible (and
// the menu waits without hovering or deciding).
void select_show(engine::VmContext& vm, int32_t on);
// Releases all item sprites and clears the menu record (script reset, engine end).
void select_release(engine::VmContext& vm);
// Closes an open menu (leaving a sub-scene): true when it held sprites, which are released.
bool select_close(engine::VmContext& vm);

extern const engine::CommandList select_commands;

}  // namespace ui
