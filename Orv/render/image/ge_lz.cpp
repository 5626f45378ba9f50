#include "Orv/render/image/ge_lz.h"

#include <cstring>

int GeLzDecode(uint8_t* out, uint32_t unpacked, const uint8_t* in, size_t in_size) {
  size_t ip = 0;
  uint32_t op = 0;
  uint32_t control = 0;
  int bits_left = 0;
  for (;;) {
    if (bits_left == 0) {
      control = ip < in_size ? in[ip] : 0;
      ++ip;
      bits_left = 8;
    }
    if (op == unpacked) return 1;
    const bool reference = control & 1;
    control >>= 1;
    --bits_left;
    if (!reference) {
      if (ip >= in_size) return 0;
      const uint32_t count = in[ip++];
      if (count > in_size - ip || count > unpacked - op) return 0;
      std::memcpy(out + op, in + ip, count);
      ip += count;
      op += count;
      continue;
    }
    if (ip + 2 > in_size) return 0;
    const uint32_t w = static_cast<uint32_t>(in[ip] | in[ip + 1] << 8);
    ip += 2;
    const uint32_t distance = w >> 4;
    uint32_t length;
    if (w & 8) {
      length = (w & 7) + 4;
    } else {
      if (ip >= in_size) return 0;
      length = (((w & 7) << 8) | in[ip++]) + 4;
    }
    if (distance == 0 || distance > op || length > unpacked - op) return 0;
    const uint8_t* from = out + op - distance;
    if (distance >= length) {
      std::memcpy(out + op, from, length);
    } else {
      // Overlapping: each byte may be one this same copy just wrote.
      for (uint32_t i = 0; i < length; ++i) out[op + i] = from[i];
    }
    op += length;
  }
}
