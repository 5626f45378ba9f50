// The text lines drawn into a layer's picture, kept per layer so that a saved game can draw
// them again: one list for each of the 128 layers, emptied whenever the layer is released or
// painted over.
//
// Thread: the script's thread, under the render lock.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/vm_context.h"

namespace layers {

// One drawn line with the font state it was drawn in.
struct TagText {
  uint32_t kind;  // 1: a line drawn by sp_text
  uint32_t fontType;
  uint32_t fontEffect;  // low 16 bits used
  uint32_t fontSize;    // low 16 bits used
  uint32_t colour, colour2;
  int32_t x, y;      // where the line starts in the sprite
  std::string text;  // at most kTagTextMaxBytes when stored
};

constexpr uint32_t kTagTextMaxBytes = 260;

// The list of layer n (0-127).
std::vector<TagText>& layer_text_items(uint32_t layer);
// Empties layer n's list (nothing for a number outside 0-127).
void layer_text_items_clear(uint32_t layer);
// Draws every item of layer n again onto its picture, each in its own font state; the font
// state is put back after each item. A layer without a sprite logs "error hSprite or lpImage =
// nullptr" (key 0) per item.
void layer_text_items_redraw(engine::VmContext& vm, uint32_t layer);

}  // namespace layers
