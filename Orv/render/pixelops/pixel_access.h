// Holding a sprite's pixels for a pixel operation, and the rectangle clipping the operations
// share.
//
// A SpritePixels holds the busy flag of its sprite from construction to destruction, so that
// the frame draw (which waits on the flag) never reads half-written pixels. Hold one only while
// the render lock is held or the sprite is private to the thread, and never wait for the
// render lock while holding one: the frame draw holds that lock while it waits on the flag.
// A holder made for writing marks the image changed when it ends.
//
// The operations work on the image area (image width x height), stepping rows by the storage
// pitch; the storage past the image (power-of-two storage) is never touched.
#pragma once

#include <cstdint>

struct OrvSprite;

class SpritePixels {
 public:
  enum Access { kRead, kWrite };
  // Locks sprite's pixels. `shared` names a holder already made for the same sprite (an
  // operation whose source and destination are one sprite): the pixels are then taken from it
  // and the busy flag is left to it.
  SpritePixels(OrvSprite* sprite, Access access, const SpritePixels* shared = nullptr);
  ~SpritePixels();
  SpritePixels(const SpritePixels&) = delete;
  SpritePixels& operator=(const SpritePixels&) = delete;

  // False for a null sprite or a sprite without image.
  bool ok() const { return pixels_ != nullptr; }
  OrvSprite* sprite() const { return sprite_; }
  uint32_t* pixels() const { return pixels_; }
  int32_t pitch() const { return pitch_; }
  int32_t width() const { return width_; }    // image width
  int32_t height() const { return height_; }  // image height
  // The cell size bounded by the image size (scripts can set cells larger than the image).
  int32_t cell_width() const { return cell_w_; }
  int32_t cell_height() const { return cell_h_; }
  uint32_t* row(int64_t y) const { return pixels_ + y * pitch_; }
  uint32_t& at(int64_t x, int64_t y) const { return pixels_[y * pitch_ + x]; }

 private:
  OrvSprite* sprite_ = nullptr;
  uint32_t* pixels_ = nullptr;
  int32_t pitch_ = 0, width_ = 0, height_ = 0, cell_w_ = 0, cell_h_ = 0;
  bool owns_busy_ = false;
  bool writes_ = false;
};

// A rectangle of w x h pixels at (dx, dy) in a destination and (sx, sy) in a source. Wide
// integers so that script values near the int32 limits cannot overflow while clipping.
struct PixelSpan {
  int64_t dx = 0, dy = 0, sx = 0, sy = 0, w = 0, h = 0;
};

// Clips the span to a destination of dst_w x dst_h and a source of src_w x src_h: a negative
// destination origin moves the source origin on by the same amount and shrinks the size, a
// negative source origin moves the destination origin likewise; then the size is cut at the
// right and bottom edges of both. True when something is left.
bool clip_span(PixelSpan* span, int64_t dst_w, int64_t dst_h, int64_t src_w, int64_t src_h);

// The copy operations' rule for a negative source origin: the destination origin becomes
// minus the source origin and the source origin 0 (the given destination origin is dropped).
void apply_copy_origin_rule(PixelSpan* span);

// The alpha byte of a pixel and a pixel with its alpha replaced.
inline uint32_t alpha_of(uint32_t p) {
  return p >> 24;
}
inline uint32_t with_alpha(uint32_t p, uint32_t a) {
  return (p & 0x00FFFFFFu) | (a << 24);
}
