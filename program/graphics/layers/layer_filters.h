// The filters of set_filter: filter index 0-13 -> the platform's sprite option. 0 gives the
// unfiltered pixels back, 1-4 are single filters, 5-12 the blur levels 1-8, 13 all off.
// A layer keeps bit (index) of its flags for each filter applied, so that a loaded game can
// apply them again in increasing order.
#pragma once

#include <cstdint>

namespace layers {

constexpr uint32_t kFilterCount = 14;
constexpr uint32_t kFilterBits = 0x3FFE;  // bits 1-13 of the layer flags

// The option of a filter index; any index outside 0-13 is taken as 0.
inline int32_t filter_option(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(kFilterCount)) index = 0;
  if (index <= 4) return index;
  if (index <= 12) return ((index - 4) << 8) | 5;
  return -1;
}

}  // namespace layers
