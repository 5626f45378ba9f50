// VKX difference pictures: a changed rectangle of another picture.
//
// Header (little-endian): "VKX2" or "VKX3" (handled alike), u16 x, y, width, height of the
// rectangle, u16 bits per pixel (24; anything else means 32), the base picture's file name
// (34 bytes, Shift-JIS, zero-terminated), u32 unpacked size, u32 packed size; at 56 an LZ
// stream that unpacks to one filter byte per row and the row-filtered difference values
// (3 bytes B, G, R or 4 bytes B, G, R, A each). The values are XOR-ed onto the base picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "Orv/render/image/image_buffer.h"

constexpr size_t kVkxHeaderSize = 48;
constexpr size_t kVkxPayloadOffset = 56;
constexpr size_t kVkxBaseNameSize = 34;

struct VkxHeader {
  uint16_t x = 0, y = 0, width = 0, height = 0;
  int32_t bytes_per_pixel = 4;           // 3 for 24 bits, else 4
  char base_name[kVkxBaseNameSize + 1];  // always zero-terminated, even when the file's is not
  uint32_t unpacked = 0;
};

// True when the data starts with "VKX2" or "VKX3".
bool vkx_is(const uint8_t* data, size_t size);
// Reads the 48-byte header; false when the data is shorter or not a VKX file. The unpacked
// size is read when the 56-byte header is there.
bool vkx_read_header(const uint8_t* data, size_t size, VkxHeader* header);
// Unpacks the difference of the VKX file image `data` and XORs it onto base: 24-bit values
// change B, G and R and keep the base alpha, 32-bit values change all four bytes. The part of
// the rectangle outside the base is ignored. On a corrupt file returns false with a one-line
// reason in *error and leaves base unchanged.
bool vkx_apply(const uint8_t* data, size_t size, ImageBuffer* base, std::string* error);
// The same onto any picture: width x height pixels in rows `pitch` pixels apart (a texture's
// storage may be wider than its picture).
bool vkx_apply_pixels(const uint8_t* data, size_t size, uint32_t* pixels, int32_t width,
                      int32_t height, int32_t pitch, std::string* error);
