// The image store: the CPU pixels behind every sprite, held in a fixed pool of slots.
//
// An image is width x height 32-bit ARGB pixels (bytes blue, green, red, alpha in memory) in
// storage of storage_width x storage_height; rows lie storage_width pixels apart. Storage is
// the image size unless power-of-two storage was requested (image_store_set_pow2), which the
// GL texture cache will need; the software renderer draws from the same pixels.
//
// The pool has a fixed number of slots (the start parameters' texture count, 256 by default):
// a full pool makes image creation fail, nothing is evicted. Slots are taken first free first.
// Images are created and released under the render lock; the pool also has its own mutex so
// that a decoder on another thread can never corrupt the slot table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

struct PixelBuffer {
  int32_t width = 0, height = 0;  // storage size; width is the row length in pixels
  uint32_t* pixels = nullptr;
  size_t bytes = 0;
};

struct SurfaceSlot {
  PixelBuffer* buffer = nullptr;
  int32_t width = 0, height = 0;  // image size
  int32_t refcount = 0;           // 0: free
  uint32_t revision = 0;          // counts pixel writes, for caches of the pixels (textures)
  char name[32] = {};             // not terminated when full
};

struct ImageObject {
  int32_t width = 0, height = 0;
  SurfaceSlot* slot = nullptr;
};

struct ImagePool {
  std::mutex mutex;
  std::vector<SurfaceSlot> slots;
  std::vector<int32_t> free_slots;  // indexes of the free slots, a heap with the lowest on top
  int32_t used = 0;
  bool pow2 = false;
};

// The largest side an image may have; larger requests (and sizes read from bad files) fail.
constexpr int32_t kMaxImageSide = 16384;

// Makes the pool with slot_count free slots, releasing any earlier pool. The pool starts with
// 256 slots so that the library works before the system initialisation sizes it.
void image_pool_init(int32_t slot_count);
// Frees every image still held and empties the pool.
void image_pool_uninit();
// Slots in use, and the pool's size.
int32_t image_pool_used();
int32_t image_pool_size();

// Asks for power-of-two storage for images made from now on (OrvSetPow).
void image_store_set_pow2(bool on);
bool image_store_pow2();

// A new zeroed image of width x height named `name` (first 32 bytes kept; may be null).
// Null when a side is not in 1..kMaxImageSide, the pool is full or memory is out.
ImageObject* image_create(int32_t width, int32_t height, const char* name);

// A new image holding a copy of a BGRA picture: `pixels` has height rows of `pitch` pixels
// (pitch >= width). This is how decoders and the movie player put pictures into sprites.
// Null on the same failures as image_create or a bad pitch.
ImageObject* image_create_from_bgra(int32_t width, int32_t height, const uint32_t* pixels,
                                    int32_t pitch, const char* name);

// Gives the image's slot back (the storage is freed when its count reaches 0) and frees the
// image object. Null does nothing.
void image_release(ImageObject* image);

// The image's pixels; *pitch and *rows (when given) receive the storage size. Null for null.
uint32_t* image_pixels(const ImageObject* image, int32_t* pitch, int32_t* rows);

// Records that the image's pixels were written, so that a copy made from them (a GPU texture)
// is made again. Null does nothing.
void image_mark_changed(ImageObject* image);
// The image's write count (0 for null).
uint32_t image_revision(const ImageObject* image);
