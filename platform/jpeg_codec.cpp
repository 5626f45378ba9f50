// jpeglib.h needs size_t and FILE declared before it.
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "platform/image_codec.h"

namespace platform {
namespace {

// Progressive files can hold any number of scans, each a full pass over the picture; past
// this many a file is treated as hostile.
constexpr int kMaxScans = 500;
constexpr long kMaxWorkingMemory = 512L * 1024 * 1024;

struct ErrorManager {
  jpeg_error_mgr base;
  jmp_buf jump;
  std::string message;
};

void error_exit(j_common_ptr cinfo) {
  auto* e = reinterpret_cast<ErrorManager*>(cinfo->err);
  char buffer[JMSG_LENGTH_MAX];
  cinfo->err->format_message(cinfo, buffer);
  e->message = std::string("JPEG: ") + buffer;
  longjmp(e->jump, 1);
}

void no_output(j_common_ptr) {}

void limit_scans(j_common_ptr cinfo) {
  if (cinfo->is_decompressor) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
      auto* e = reinterpret_cast<ErrorManager*>(cinfo->err);
      e->message = "JPEG: too many scans";
      longjmp(e->jump, 1);
    }
  }
}

}  // namespace

bool jpeg_decode(const uint8_t* data, size_t size, const ImageLimits& limits, DecodedPixels* out,
                 std::string* error) {
  out->pixels.clear();
  out->width = out->height = 0;
  out->has_alpha = false;
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  jpeg_progress_mgr progress;
  std::memset(&progress, 0, sizeof progress);
  progress.progress_monitor = limit_scans;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = error_exit;
  err.base.output_message = no_output;
  std::vector<uint8_t> cmyk;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    out->pixels.clear();
    if (error) *error = err.message;
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.progress = &progress;
  cinfo.mem->max_memory_to_use = kMaxWorkingMemory;
  jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.image_width > limits.max_side || cinfo.image_height > limits.max_side ||
      uint64_t{cinfo.image_width} * cinfo.image_height > limits.max_pixels) {
    err.message = "JPEG: picture is too large";
    longjmp(err.jump, 1);
  }
  const bool is_cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = is_cmyk ? JCS_CMYK : JCS_EXT_BGRA;
  jpeg_start_decompress(&cinfo);
  const uint32_t w = cinfo.output_width, h = cinfo.output_height;
  out->pixels.resize(size_t{w} * h);
  if (is_cmyk) cmyk.resize(size_t{w} * 4);
  while (cinfo.output_scanline < h) {
    uint32_t* row = out->pixels.data() + size_t{cinfo.output_scanline} * w;
    JSAMPROW target = is_cmyk ? cmyk.data() : reinterpret_cast<JSAMPROW>(row);
    jpeg_read_scanlines(&cinfo, &target, 1);
    if (is_cmyk) {
      // Files with the Adobe marker store CMYK inverted, which is all that is met in practice.
      for (uint32_t x = 0; x < w; ++x) {
        const uint8_t* p = &cmyk[size_t{x} * 4];
        const uint32_t k = p[3];
        row[x] = 0xFF000000u | (p[0] * k / 255) << 16 | (p[1] * k / 255) << 8 | (p[2] * k / 255);
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  out->width = static_cast<int32_t>(w);
  out->height = static_cast<int32_t>(h);
  return true;
}

bool jpeg_encode(const uint32_t* pixels, int32_t width, int32_t height, int quality,
                 std::vector<uint8_t>* out) {
  out->clear();
  if (width <= 0 || height <= 0) return false;
  jpeg_compress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = error_exit;
  err.base.output_message = no_output;
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    out->clear();
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &buffer, &length);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_BGRA;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(const_cast<uint32_t*>(pixels) +
                                              size_t{cinfo.next_scanline} * width);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  out->assign(buffer, buffer + length);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return true;
}

}  // namespace platform
