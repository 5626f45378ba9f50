// Reading the picture that OrvCopyFileToSpriteRGB blends into a sprite.
//
// The file is a GE picture (decoded by its header's type), a BMP (first bytes "BM") or, for
// anything else, a TGA; BMP and TGA must hold 24- or 32-bit pixels (24-bit pixels get alpha
// 255). Every size and offset is checked against the bytes. Thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Orv/render/image/image_buffer.h"

// Decodes data into out (top row first). False with a one-line reason in *error (the caller
// names the file) and out empty when the bytes are not such a picture.
bool file_blend_decode(const uint8_t* data, size_t size, ImageBuffer* out, std::string* error);
