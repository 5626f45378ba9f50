#include "shared/word_scrambler.h"

namespace {

constexpr uint32_t kKeyA = 0x3A6C1E95u;
constexpr uint32_t kKeyB = 0xC2D4B817u;

uint8_t rotate_right(uint8_t b, unsigned n) {
  n &= 7;
  return n ? static_cast<uint8_t>((b >> n) | (b << (8 - n))) : b;
}
uint8_t rotate_left(uint8_t b, unsigned n) {
  n &= 7;
  return n ? static_cast<uint8_t>((b << n) | (b >> (8 - n))) : b;
}

void xor_keys(uint8_t* w) {
  const uint32_t key = kKeyA ^ kKeyB;
  for (int i = 0; i < 4; ++i) w[i] ^= static_cast<uint8_t>(key >> (8 * i));
}

}  // namespace

void scramble_words(uint8_t* buffer, size_t length) {
  uint8_t c = 4;
  for (size_t i = 0; i + 4 <= length; i += 4, ++c) {
    xor_keys(buffer + i);
    buffer[i] = rotate_right(buffer[i], c);
  }
}

void unscramble_words(uint8_t* buffer, size_t length) {
  uint8_t c = 4;
  for (size_t i = 0; i + 4 <= length; i += 4, ++c) {
    buffer[i] = rotate_left(buffer[i], c);
    xor_keys(buffer + i);
  }
}
