// PNG and JPEG through libpng and libjpeg-turbo, in place of the imaging components the
// system was written against.
//
// Pixels on both sides are 32-bit words 0xAARRGGBB (bytes B, G, R, A in memory), rows
// `width` words apart, top row first. Decoding refuses pictures beyond the given limits
// before allocating them and limits what a hostile file can make the libraries do: PNG
// sizes through the library's user limits and a cap on ancillary chunk memory, JPEG through
// a cap on progressive scans and on the library's working memory. All functions are
// thread-safe (no shared state).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// Pixel storage that is not zeroed when it grows: decoders write every pixel anyway, and a
// picture's worth of zeroes is a measurable part of decoding a fast JPEG.
template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
  template <typename U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  UninitialisedAllocator() = default;
  template <typename U>
  UninitialisedAllocator(const UninitialisedAllocator<U>&) {}
  template <typename U, typename... Args>
  void construct(U* p, Args&&... args) {
    if constexpr (sizeof...(Args) == 0)
      ::new (static_cast<void*>(p)) U;
    else
      ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};
using PixelVector = std::vector<uint32_t, UninitialisedAllocator<uint32_t>>;

struct ImageLimits {
  uint32_t max_side = 16384;
  uint64_t max_pixels = 0x1000000;
};

struct DecodedPixels {
  int32_t width = 0;
  int32_t height = 0;
  bool has_alpha = false;  // the file carried alpha (or PNG transparency)
  PixelVector pixels;
};

// Decodes a PNG file image. Palette, grey and 16-bit images come out as 8-bit BGRA; pictures
// without alpha get alpha 255, transparency chunks become alpha. False with a one-line reason
// in *error on a bad or too large file.
bool png_decode(const uint8_t* data, size_t size, const ImageLimits& limits, DecodedPixels* out,
                std::string* error);
// Decodes a JPEG file image (baseline, progressive, grey, CMYK) with alpha 255.
bool jpeg_decode(const uint8_t* data, size_t size, const ImageLimits& limits, DecodedPixels* out,
                 std::string* error);

// Encodes as PNG: 32-bit with alpha, or 24-bit dropping the alpha byte. False on failure.
bool png_encode(const uint32_t* pixels, int32_t width, int32_t height, bool with_alpha,
                std::vector<uint8_t>* out);
// Encodes as baseline JPEG at the given quality (1-100); the alpha byte is ignored.
bool jpeg_encode(const uint32_t* pixels, int32_t width, int32_t height, int quality,
                 std::vector<uint8_t>* out);

}  // namespace platform
