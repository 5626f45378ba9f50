#include <png.h>

#include <csetjmp>
#include <cstring>

#include "platform/image_codec.h"

namespace platform {
namespace {

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t at;
};

void read_bytes(png_structp png, png_bytep out, png_size_t n) {
  auto* r = static_cast<Reader*>(png_get_io_ptr(png));
  if (n > r->size - r->at) png_error(png, "file is truncated");
  std::memcpy(out, r->data + r->at, n);
  r->at += n;
}

void keep_message(png_structp png, png_const_charp message) {
  auto* error = static_cast<std::string*>(png_get_error_ptr(png));
  if (error) *error = std::string("PNG: ") + message;
  png_longjmp(png, 1);
}

void ignore_warning(png_structp, png_const_charp) {}

void write_bytes(png_structp png, png_bytep in, png_size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), in, in + n);
}

void no_flush(png_structp) {}

}  // namespace

bool png_decode(const uint8_t* data, size_t size, const ImageLimits& limits, DecodedPixels* out,
                std::string* error) {
  out->pixels.clear();
  out->width = out->height = 0;
  std::string message = "PNG: not a PNG file";
  if (size < 8 || png_sig_cmp(data, 0, 8)) {
    if (error) *error = message;
    return false;
  }
  png_structp png =
      png_create_read_struct(PNG_LIBPNG_VER_STRING, &message, keep_message, ignore_warning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  Reader reader{data, size, 0};
  std::vector<png_bytep> rows;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    out->pixels.clear();
    out->width = out->height = 0;
    if (error) *error = message;
    return false;
  }
  png_set_read_fn(png, &reader, read_bytes);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
  // Fuzz builds only: a mutated byte would otherwise stop nearly every input at its checksum,
  // before the decoder behind it is reached.
  png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
  png_set_user_limits(png, limits.max_side, limits.max_side);
  png_set_chunk_malloc_max(png, 8 * 1024 * 1024);
  png_set_chunk_cache_max(png, 128);
  png_read_info(png, info);
  png_uint_32 w = 0, h = 0;
  int depth = 0, colour = 0, interlace = 0;
  png_get_IHDR(png, info, &w, &h, &depth, &colour, &interlace, nullptr, nullptr);
  if (uint64_t{w} * h > limits.max_pixels) png_error(png, "picture is too large");
  const bool trns = png_get_valid(png, info, PNG_INFO_tRNS);
  out->has_alpha = (colour & PNG_COLOR_MASK_ALPHA) || trns;
  if (colour == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colour == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (trns) png_set_tRNS_to_alpha(png);
  if (depth == 16) png_set_strip_16(png);
  if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  if (!out->has_alpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_bgr(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != size_t{w} * 4) png_error(png, "unexpected row layout");
  out->pixels.resize(size_t{w} * h);
  rows.resize(h);
  for (png_uint_32 y = 0; y < h; ++y)
    rows[y] = reinterpret_cast<png_bytep>(out->pixels.data() + size_t{y} * w);
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  out->width = static_cast<int32_t>(w);
  out->height = static_cast<int32_t>(h);
  return true;
}

bool png_encode(const uint32_t* pixels, int32_t width, int32_t height, bool with_alpha,
                std::vector<uint8_t>* out) {
  out->clear();
  if (width <= 0 || height <= 0) return false;
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, keep_message, ignore_warning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows(static_cast<size_t>(height));
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    out->clear();
    return false;
  }
  png_set_write_fn(png, out, write_bytes, no_flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               with_alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_bgr(png);
  if (!with_alpha) png_set_filler(png, 0, PNG_FILLER_AFTER);  // drops the 4th byte
  for (int32_t y = 0; y < height; ++y)
    rows[y] = reinterpret_cast<png_bytep>(const_cast<uint32_t*>(pixels) + size_t(y) * width);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace platform
