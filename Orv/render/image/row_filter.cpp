#include "Orv/render/image/row_filter.h"

#include <vector>

namespace {

// Decodes one filtered row of kBpp-byte pixels into out (kBpp bytes per pixel, packed);
// above is the decoded previous row in the same layout, or null for row 0.
template <int kBpp>
void decode_row(uint8_t* out, const uint8_t* above, const uint8_t* in, int32_t width,
                uint8_t filter) {
  const int32_t n = width * kBpp;
  if (filter & kRowFilterLeft) {
    for (int32_t i = 0; i < n && i < kBpp; ++i) out[i] = in[i];
    for (int32_t i = kBpp; i < n; ++i) out[i] = static_cast<uint8_t>(out[i - kBpp] - in[i]);
  } else if (filter & kRowFilterUp) {
    for (int32_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>((above ? above[i] : 0) - in[i]);
  } else if (filter & kRowFilterAverage) {
    for (int32_t i = 0; i < n && i < kBpp; ++i) out[i] = in[i];
    for (int32_t i = kBpp; i < n; ++i) {
      const int up = above ? above[i] : 0;
      out[i] = static_cast<uint8_t>(((out[i - kBpp] + up) >> 1) - in[i]);
    }
  } else {
    for (int32_t i = 0; i < n; ++i) out[i] = in[i];
  }
}

// 32-bit pixels are 4 bytes B, G, R, A in memory, so a row of them is a row of 4-byte pixels.
void decode_into_argb32(uint32_t* dst, const uint8_t* filters, const uint8_t* pixels, int32_t width,
                        int32_t height, int32_t pitch) {
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* out = reinterpret_cast<uint8_t*>(dst + static_cast<size_t>(y) * pitch);
    const uint8_t* above =
        y ? reinterpret_cast<const uint8_t*>(dst + static_cast<size_t>(y - 1) * pitch) : nullptr;
    decode_row<4>(out, above, pixels + static_cast<size_t>(y) * width * 4, width, filters[y]);
  }
}

template <int kBpp>
int encode_left(uint8_t* out, const uint8_t* row, int32_t length, int) {
  for (int32_t i = 0; i < length && i < kBpp; ++i) out[i] = row[i];
  for (int32_t i = kBpp; i < length; ++i) out[i] = static_cast<uint8_t>(row[i - kBpp] - row[i]);
  return 0;
}

template <int kBpp>
int encode_up(uint8_t* out, const uint8_t* row, int32_t length, int has_previous) {
  if (!has_previous) return -1;
  const uint8_t* above = row - length;
  for (int32_t i = 0; i < length; ++i) out[i] = static_cast<uint8_t>(above[i] - row[i]);
  return 0;
}

template <int kBpp>
int encode_average(uint8_t* out, const uint8_t* row, int32_t length, int has_previous) {
  if (!has_previous) return -1;
  const uint8_t* above = row - length;
  for (int32_t i = 0; i < length && i < kBpp; ++i) out[i] = row[i];
  for (int32_t i = kBpp; i < length; ++i)
    out[i] = static_cast<uint8_t>(((row[i - kBpp] + above[i]) >> 1) - row[i]);
  return 0;
}

}  // namespace

const RowEncoderEntry kRowEncoders24[4] = {{kRowFilterLeft, encode_left<3>},
                                           {kRowFilterUp, encode_up<3>},
                                           {kRowFilterAverage, encode_average<3>},
                                           {-1, nullptr}};
const RowEncoderEntry kRowEncoders32[4] = {{kRowFilterLeft, encode_left<4>},
                                           {kRowFilterUp, encode_up<4>},
                                           {kRowFilterAverage, encode_average<4>},
                                           {-1, nullptr}};

void GeRowFilterDecode32(uint32_t* dst, const uint8_t* filters, const uint8_t* pixels,
                         int32_t width, int32_t height, int32_t pitch) {
  decode_into_argb32(dst, filters, pixels, width, height, pitch);
}

void GeRowFilterDecode24(uint32_t* dst, const uint8_t* filters, const uint8_t* pixels,
                         int32_t width, int32_t height, int32_t pitch) {
  // The filters work on the packed 3-byte rows, so each row is decoded packed (the previous
  // one kept beside it) and then widened into the destination.
  const size_t row_bytes = static_cast<size_t>(width) * 3;
  std::vector<uint8_t> rows(row_bytes * 2);
  const uint8_t* prev = nullptr;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* cur = rows.data() + (y & 1) * row_bytes;
    decode_row<3>(cur, prev, pixels + static_cast<size_t>(y) * row_bytes, width, filters[y]);
    uint32_t* out = dst + static_cast<size_t>(y) * pitch;
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* p = cur + static_cast<size_t>(x) * 3;
      out[x] =
          0xFF000000u | static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
    }
    prev = cur;
  }
}

void VkxRowFilterDecode24(uint8_t* dst, const uint8_t* filters, const uint8_t* pixels,
                          int32_t width, int32_t height) {
  const size_t row_bytes = static_cast<size_t>(width) * 3;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* out = dst + static_cast<size_t>(y) * row_bytes;
    decode_row<3>(out, y ? out - row_bytes : nullptr, pixels + static_cast<size_t>(y) * row_bytes,
                  width, filters[y]);
  }
}
