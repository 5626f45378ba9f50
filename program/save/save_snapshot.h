// Snapshots: the whole script state as one byte image (the fixed part of save_fixed.h, then
// the fourteen blocks of save_blocks.h), built into the held snapshot buffer, checked and read
// back.
//
// A snapshot that would pass kSaveBufferBytes is invalid: it is neither saved nor read back.
// Reading is always preceded by a check of the whole image that changes nothing, so a damaged
// image is refused before anything of the game is touched.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/vm_context.h"
#include "save/save_block.h"
#include "save/save_fixed.h"

namespace save {

// The neighbour entry: when thumbnails are on and no scene or history skip runs, a new
// thumbnail of the screen; then the snapshot into the held buffer. Afterwards dwSnapOffset and
// dwSnapLength are its length and it is valid, unless it did not fit ("save buffer over"): then
// it is invalid and its length 0.
void save_snapshot_make(engine::VmContext& vm);

// Draws a new screen thumbnail into the stream's pixel buffer (mosaic when the stream's flag or
// the all-mosaic setting is on).
void save_thumbnail_take(engine::VmContext& vm);

// What a check knows of the running script.
SaveCheck save_check_for(const engine::VmContext& vm);

// Checks a whole image: the fixed part and every block, ending exactly at size. Changes
// nothing; false with check.field naming the first fault. With ends, the offset where the fixed
// part and each block checked so far ended (tests cut images there).
bool save_data_check(const uint8_t* data, size_t size, SaveCheck& check, FixedInfo* fixed,
                     std::vector<size_t>* ends = nullptr);

// Restores the state from an image that passed save_data_check (the thumbnail buffer already of
// the image's size); afterwards the pc is the resume pc.
void save_data_read(engine::VmContext& vm, const uint8_t* data, size_t size, const LoadMode& mode);

// The neighbour entry: reads the held snapshot (dwSnapLength bytes of the buffer) back. A
// snapshot that does not pass its check is not read: the pc only goes to the resume pc.
void save_snapshot_read(engine::VmContext& vm);

}  // namespace save
