// Choosing a picture's decoder by its first bytes, and decoding it into an ImageBuffer.
//
// The order of the tests: "GE" (u16 0x4547), the PNG signature's first four bytes, JPEG's
// FF D8, "BM"; anything else is taken as TGA. VKX files are not recognised here: they name a
// base picture that must be opened first (vkx_image.h), which the sprite loader does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Orv/render/image/bmp_tga.h"
#include "Orv/render/image/image_buffer.h"

enum class ImageFormat { kGe, kPng, kJpeg, kBmp, kTga };

ImageFormat image_format_of(const uint8_t* data, size_t size);

// Decodes a file image of any format above. `mode` picks how BMP and TGA are read (the GPU
// renderer follows their headers, the software renderer uses its own decoder). PNG and JPEG
// pictures without alpha come out with alpha 255. On failure returns false with a one-line
// reason in *error (the caller names the file) and leaves out empty. Thread-safe.
bool image_decode(const uint8_t* data, size_t size, BmpTgaMode mode, ImageBuffer* out,
                  std::string* error);
