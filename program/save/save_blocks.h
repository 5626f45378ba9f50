// Every block of save data, in the order a snapshot stores them, each with the three functions
// of save_block.h. The snapshot code calls them in this order; each is defined by the
// subsystem that owns the block, in its own folder.
#pragma once

#include "engine/vm_context.h"
#include "save/save_block.h"

namespace save {

#define VELMORA_SAVE_BLOCK(block)                                               \
  void block##_save_write(const engine::VmContext& vm, codec::ByteWriter& out); \
  bool block##_save_check(codec::ByteReader& in, SaveCheck& check);             \
  void block##_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode& mode)

VELMORA_SAVE_BLOCK(button);         // 1  the 16 button groups (ui/buttons)
VELMORA_SAVE_BLOCK(choice);         // 2  choice settings, 28 bytes (ui/choices)
VELMORA_SAVE_BLOCK(thread);         // 3  the script thread record, 20 bytes
VELMORA_SAVE_BLOCK(layer);          // 4  the 128 layers (graphics/layers)
VELMORA_SAVE_BLOCK(screen_effect);  // 5  screen effects
VELMORA_SAVE_BLOCK(layer_shader);   // 6  layer shader effects
VELMORA_SAVE_BLOCK(music);          // 7  both music channels, 92 bytes each (text/sound)
VELMORA_SAVE_BLOCK(sound_effect);   // 8  sound effects (text/sound)
VELMORA_SAVE_BLOCK(autopan);        // 9  voice autopan table, 640 bytes (text/sound)
VELMORA_SAVE_BLOCK(bgv);            // 10 the eight background-voice slots (text/sound)
VELMORA_SAVE_BLOCK(backlog);        // 11 backlog count and 128 entries (text/history)
VELMORA_SAVE_BLOCK(text_window);    // 12 the text window (text/window)
VELMORA_SAVE_BLOCK(action);         // 13 actions
VELMORA_SAVE_BLOCK(return_stack);   // 14 channel 2 of the return stack, oldest first

#undef VELMORA_SAVE_BLOCK

}  // namespace save
