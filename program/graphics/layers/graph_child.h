// Recorded image operations: each layer has eight operation slots (engine::LayerSlot's
// graphChild, 80 bytes each) that remember how the script changed the layer's pixels (a file
// mixed in, pixels copied from another layer, a mask, a blur, a fill, a warp, a composition of
// layers), so that a loaded game can load the picture from its file and carry the operations
// out again in slot order. The same slots hold the child links of sp_set_child (bit 28).
//
// Record, little-endian, as save data stores it (eight side by side, slot 0 first):
//   0 u32 dwMode     bits 0-27 the mode below, bit 28 a child link; commands OR their mode in
//   4 u32 dwSource   a source layer, a file reference (bit 28: a string slot), or per mode
//   8 i32 lX        12 i32 lY        16 i32 lSrcX     20 i32 lSrcY
//  24 i32 lWidth    28 i32 lHeight   32 u32 dwDstChannel   36 u32 dwSrcChannel
//  40 char[32] szSourceName  the string slot's text when dwSource is one
//  72 u32 dwExMode  76 u32 reserved
//
// Thread: the script's thread under the render lock; a file load on the work thread leaves
// the lock around the load.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace layers {

enum GraphChildMode : uint32_t {
  GRAPH_CHILD_MODE_MIX_FILE = 1,
  GRAPH_CHILD_MODE_BITBLT = 2,
  GRAPH_CHILD_MODE_BITBLT_FILE = 3,
  GRAPH_CHILD_MODE_MASK = 4,
  GRAPH_CHILD_MODE_BOX_BLUR = 5,
  GRAPH_CHILD_MODE_CHANNEL_COPY = 6,
  GRAPH_CHILD_MODE_DELETE_NO_ALPHA = 7,
  GRAPH_CHILD_MODE_STRETCH = 8,
  GRAPH_CHILD_MODE_DELETE_NO_ALPHA255 = 9,
  GRAPH_CHILD_MODE_GAUSSIAN_BLUR = 10,
  GRAPH_CHILD_MODE_NONE = 11,
  GRAPH_CHILD_MODE_ALPHA_COPY = 12,
  GRAPH_CHILD_MODE_MOTION_BLUR = 13,
  GRAPH_CHILD_MODE_MIX_FILE_EX = 14,
  GRAPH_CHILD_MODE_MASK2 = 15,
  GRAPH_CHILD_MODE_MASK_EX = 16,
  GRAPH_CHILD_MODE_RENDER_LIST_ADD = 17,
  GRAPH_CHILD_MODE_RENDER_LIST_RUN = 18,
  GRAPH_CHILD_MODE_BOX_FILL = 19,
  GRAPH_CHILD_MODE_CIRCLE_FILL = 20,
  GRAPH_CHILD_MODE_WAVEFORM_WARP = 21,
  GRAPH_CHILD_MODE_CHANNEL_COPY_EX = 22,
  GRAPH_CHILD_MODE_CLEANING_ALPHA = 23,
};

constexpr uint32_t kGraphChildSlots = 8;
constexpr uint32_t kGraphChildModeBits = 0x0FFFFFFF;

struct GraphChild {
  uint32_t dwMode;
  uint32_t dwSource;
  int32_t lX, lY;
  int32_t lSrcX, lSrcY;
  int32_t lWidth, lHeight;
  uint32_t dwDstChannel, dwSrcChannel;
  char szSourceName[32];
  uint32_t dwExMode;
  uint32_t reserved;
};
static_assert(sizeof(GraphChild) == 80);

// Slot k (0-7) of a layer as a record, and back.
GraphChild graph_child_get(const engine::LayerSlot& slot, uint32_t k);
void graph_child_put(engine::LayerSlot& slot, uint32_t k, const GraphChild& record);

// Carries out an operation record for the layer (0-127) that owns it: nonzero when it was
// carried out (or left out while skipping), 0 when a layer, an image or a file was missing or
// a lock failed. The record need not be one of the layer's slots (slot -1 runs a scratch one).
uint32_t graph_child_run(engine::VmContext& vm, uint32_t layer, const GraphChild& record,
                         uint32_t slot_index, bool replay);
// Carries out every recorded operation of a restored layer in slot order (only when the layer
// has flag 0x40000); a load calls it right after the layer's sprite is back.
void graph_child_replay(engine::VmContext& vm, uint32_t layer);

// The motion-blur angle: units of 1/4096 turn (any value, wrapped into 0-4095) in radians.
double motion_blur_radians(int32_t units);

}  // namespace layers
