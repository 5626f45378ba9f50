// Checks and look-ups that every layer command shares: the range of a layer number, the image
// an image number names, and the skip test of the pixel work.
//
// Thread: the script's thread, under the render lock.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"
#include "graphics/layers/image_record.h"

namespace layers {

inline int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

// True for a script layer 0-127; otherwise logs "graph error : 範囲外の値を指定しています。
// no = %d" (key 0) with the number.
bool layer_in_range(uint32_t layer);
// The same check for a slot argument of -1 to 7 (an image-operation slot) or any bound.
bool number_in_range(uint32_t value, uint32_t limit);
// Logs the range error for a number without any test.
void log_range_error(uint32_t value);

// The image of layer n (0-127), null for an empty layer or a number outside 0-127 (no log).
ImageRecord* layer_image(engine::VmContext& vm, uint32_t layer);
// The sprite of layer n, 0 when the layer has none.
uint32_t layer_sprite(engine::VmContext& vm, uint32_t layer);
// The record an image number names while it is in use; null when the number does not decode
// (logged by the decoder) or names a free record.
ImageRecord* image_by_number(uint32_t image_no);

// True while a scene skip or a history skip runs: pixel work is left out then.
bool skipping_scene(engine::VmContext& vm);

// The game screen's size in pixels.
struct ScreenSize {
  int32_t w, h;
};
ScreenSize screen_size();

}  // namespace layers
