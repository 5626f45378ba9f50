// The grey mask pictures of the demo game's mask-wipe transitions. A mask's blue byte orders
// the wipe: pixels with low values give way to the new scene first.
#pragma once

#include <cstdint>
#include <vector>

namespace maskwriter {

// Mask number 0: left to right; 1: from the centre outwards; 2: eight horizontal blinds.
// Grey 0xFFvvvvvv pixels, width x height, rows top first. Empty for another number.
std::vector<uint32_t> mask_picture(int number, int32_t width, int32_t height);

}  // namespace maskwriter
