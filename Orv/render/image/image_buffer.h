// ImageBuffer: a decoded picture in plain memory, the common currency of the image readers,
// the writers and the text drawing before any of it reaches a texture or a surface.
//
// Pixels are 32-bit words 0xAARRGGBB, so in memory each pixel is the bytes B, G, R, A; rows lie
// `width` pixels apart, top row first. The readers refuse pictures above kMaxPicturePixels, which
// is the size of the scratch area a packed picture is unpacked into: a file never makes us
// allocate more than that.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/image_codec.h"

constexpr int32_t kMaxPictureSide = 16384;
constexpr uint64_t kMaxPicturePixels = 0x4000000 / 4;  // 64 MiB of pixels

struct ImageBuffer {
  int32_t width = 0;
  int32_t height = 0;
  platform::PixelVector pixels;  // width * height words, zeroed by reset()

  // Sizes the buffer to w x h zeroed pixels. Returns false (and leaves it empty) when either
  // side is not positive or the picture is larger than the readers accept.
  bool reset(int64_t w, int64_t h);
  uint32_t* row(int32_t y) { return pixels.data() + static_cast<size_t>(y) * width; }
  const uint32_t* row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * width; }
  std::vector<uint32_t> to_vector() const { return {pixels.begin(), pixels.end()}; }
};

// True when w x h is a picture size the readers accept (both sides 1..kMaxPictureSide and the
// pixel count within kMaxPicturePixels).
bool image_size_ok(int64_t w, int64_t h);
