// Writing pictures as PNG and JPEG files.
//
// The source is any 32-bit picture (0xAARRGGBB words) with rows `pitch` pixels apart, so the
// rows of a texture wider than its picture can be handed over as they are. Each writer
// returns 1 only when the whole file was written (through a temporary file renamed into place,
// platform/whole_file.h), else 0.
#pragma once

#include <cstdint>
#include <vector>

// 32-bit PNG with alpha.
int image_save_png(const char* sjis_path, const uint32_t* pixels, int32_t width, int32_t height,
                   int32_t pitch);
// 24-bit PNG: each colour multiplied by its alpha (alpha 255 keeps it, 0 gives black, else
// colour * alpha / 255 truncated).
int image_save_png24(const char* sjis_path, const uint32_t* pixels, int32_t width, int32_t height,
                     int32_t pitch);
// JPEG at quality 75 (the alpha byte is ignored).
int image_save_jpeg(const char* sjis_path, const uint32_t* pixels, int32_t width, int32_t height,
                    int32_t pitch);

// The colour of one pixel as the 24-bit PNG stores it (alpha byte 0xFF).
uint32_t png24_pixel(uint32_t argb);
