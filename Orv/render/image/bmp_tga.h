// BMP and TGA pictures.
//
// Two settings read them. The GPU renderer follows the file headers fully (BMP palettes of
// 1, 4 and 8 bits, run-length 8- and 4-bit pixels, 16-bit and bit-field pixels, bottom-up and
// top-down rows; TGA image identifiers, colour maps, run-length packets, 15/16-bit pixels and
// the origin bits). The software renderer ("/DIB") has its own small decoder: 8-bit (BMP
// palette after the information header, TGA grey), 24-bit and 32-bit pixels, rows bottom-up,
// and it refuses the rest with the two messages its games have always printed:
//   "err : match / tga index color"   a TGA with a colour map
//   "err : load memory / bloken?"     any other depth, packed (run-length) pixels, or a file
//                                     too short for its header
// Every size and offset is checked against the file in both settings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Orv/render/image/image_buffer.h"

enum class BmpTgaMode {
  kFollowHeaders,  // the GPU renderer's loader
  kDib,            // the software renderer's own decoder
};

constexpr const char* kTgaIndexColorMessage = "err : match / tga index color";
constexpr const char* kBrokenImageMessage = "err : load memory / bloken?";

// True when the data starts with "BM".
bool bmp_is(const uint8_t* data, size_t size);
// Decode a BMP or TGA file image into out. On failure return false with a one-line reason in
// *error (under kDib one of the two messages above) and leave out empty. Thread-safe.
bool bmp_decode(const uint8_t* data, size_t size, BmpTgaMode mode, ImageBuffer* out,
                std::string* error);
bool tga_decode(const uint8_t* data, size_t size, BmpTgaMode mode, ImageBuffer* out,
                std::string* error);
