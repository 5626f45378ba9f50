#include "shared/byte_codec.h"

#include <bit>

namespace codec {

void ByteReader::u32s(uint32_t* out, size_t n) {
  if (remaining() / 4 < n) {
    std::memset(out, 0, n * sizeof *out);
    overrun();
    return;
  }
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, data_ + pos_, 4 * n);
    pos_ += 4 * n;
  } else {
    for (size_t i = 0; i < n; ++i) out[i] = u32();
  }
}

void ByteReader::bytes(void* out, size_t n) {
  const std::span<const uint8_t> s = take(n);
  if (s.size() == n) {
    if (n) std::memcpy(out, s.data(), n);
  } else if (n) {
    std::memset(out, 0, n);
  }
}

void ByteReader::sized_bytes(std::vector<uint8_t>& v) {
  v.clear();
  const uint32_t count = u32();
  const std::span<const uint8_t> s = take(count);
  v.assign(s.begin(), s.end());
}

std::span<const uint8_t> ByteReader::take(size_t n) {
  if (remaining() < n) {
    overrun();
    return {};
  }
  const std::span<const uint8_t> s(data_ + pos_, n);
  pos_ += n;
  return s;
}

void ByteReader::seek(size_t offset) {
  if (offset > size_) {
    overrun();
    return;
  }
  pos_ = offset;
}

}  // namespace codec
