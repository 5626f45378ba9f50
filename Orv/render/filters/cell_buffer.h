// Moving a sprite's cell between the image and a private buffer, and stepping out of the render
// lock while a slow filter works.
//
// A filter reads its source cell into a CellBuffer (the sprite busy only while copying), works
// on the buffer with no lock held, and writes the result back through the sprite's handle,
// which is looked up again: the sprite may have been released meanwhile. So no thread ever
// waits for the render lock while it holds a busy flag.
#pragma once

#include <cstdint>
#include <vector>

#include "orv/types.h"

struct OrvSprite;

struct CellBuffer {
  int32_t width = 0, height = 0;  // the cell size bounded by the image size
  std::vector<uint32_t> pixels;   // width x height, rows width apart
};

// The cell size of the sprite's image (the cell bounded by the image), or false when the
// handle is dead or has no image.
bool cell_size(OrvHandle sprite, int32_t* width, int32_t* height);
// Copies the sprite's cell into out. False for a dead handle, no image or no memory.
bool cell_read(OrvHandle sprite, CellBuffer* out);
// Copies the buffer to the top-left of the sprite's image, cut to the sprite's cell as it is
// now. False when the handle is dead.
bool cell_write(OrvHandle sprite, const CellBuffer& in);
// Sizes a buffer to width x height zeroed pixels; false when memory is out.
bool cell_alloc(CellBuffer* buffer, int32_t width, int32_t height);

// While alive on the work thread with the render lock held, the lock is left (so that frames
// keep coming); it is entered again at the end. Elsewhere it does nothing.
class WorkThreadLockGap {
 public:
  WorkThreadLockGap();
  ~WorkThreadLockGap();
  WorkThreadLockGap(const WorkThreadLockGap&) = delete;
  WorkThreadLockGap& operator=(const WorkThreadLockGap&) = delete;

 private:
  bool left_ = false;
};
