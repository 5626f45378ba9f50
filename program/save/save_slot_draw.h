// The slot queries that draw a save file's contents into a layer: its thumbnail, save text,
// title, date and time. Each reads the file's head (save_head.h), makes or reuses the layer's
// image and queues a display request with its own command id, so the layer shows at the next
// run.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace save {

uint32_t cmd_thumbnail_set(engine::VmContext& vm);       // layer, slot, x, y
uint32_t cmd_save_get_title(engine::VmContext& vm);      // layer, slot, x, y
uint32_t cmd_get_save_time_text(engine::VmContext& vm);  // layer, slot, x, y, format
uint32_t cmd_get_save_date_text(engine::VmContext& vm);  // layer, slot, x, y, format
uint32_t cmd_get_save_text(engine::VmContext& vm);       // layer, slot, x, y
// The following snapshots carry this picture (scaled to the thumbnail) instead of the screen;
// 0x0FFFFFFF takes screen thumbnails again. A picture that does not load clears the thumbnail.
uint32_t cmd_load_thumbnail(engine::VmContext& vm);  // picture name

}  // namespace save
