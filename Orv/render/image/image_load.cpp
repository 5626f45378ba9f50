#include "Orv/render/image/image_load.h"

#include "Orv/render/image/ge_image.h"
#include "platform/image_codec.h"
#include "shared/byte_codec.h"

namespace {

bool decode_with_library(bool png, const uint8_t* data, size_t size, ImageBuffer* out,
                         std::string* error) {
  platform::ImageLimits limits;
  limits.max_side = kMaxPictureSide;
  limits.max_pixels = kMaxPicturePixels;
  platform::DecodedPixels decoded;
  const bool ok = png ? platform::png_decode(data, size, limits, &decoded, error)
                      : platform::jpeg_decode(data, size, limits, &decoded, error);
  if (!ok) {
    out->reset(0, 0);
    return false;
  }
  out->width = decoded.width;
  out->height = decoded.height;
  out->pixels = std::move(decoded.pixels);
  return true;
}

}  // namespace

ImageFormat image_format_of(const uint8_t* data, size_t size) {
  if (ge_is(data, size)) return ImageFormat::kGe;
  // Zero when the data is shorter: no format starts with zeros.
  if (codec::ByteReader(data, size).u32() == 0x474E5089) return ImageFormat::kPng;  // "\x89PNG"
  if (codec::ByteReader(data, size).u16() == 0xD8FF) return ImageFormat::kJpeg;
  if (bmp_is(data, size)) return ImageFormat::kBmp;
  return ImageFormat::kTga;
}

bool image_decode(const uint8_t* data, size_t size, BmpTgaMode mode, ImageBuffer* out,
                  std::string* error) {
  switch (image_format_of(data, size)) {
    case ImageFormat::kGe:
      return ge_decode(data, size, out, error);
    case ImageFormat::kPng:
      return decode_with_library(true, data, size, out, error);
    case ImageFormat::kJpeg:
      return decode_with_library(false, data, size, out, error);
    case ImageFormat::kBmp:
      return bmp_decode(data, size, mode, out, error);
    default:
      return tga_decode(data, size, mode, out, error);
  }
}
