#include "save/prev_data.h"

#include <cstring>

namespace save {

namespace {

// Word i of the raw bytes, the tail padded with zeros.
uint32_t word_at(const uint8_t* raw, uint32_t raw_length, uint32_t i) {
  const uint32_t at = i * 4;
  if (raw_length - at >= 4) {
    uint32_t w;
    std::memcpy(&w, raw + at, 4);
    return w;
  }
  uint8_t tail[4] = {};
  std::memcpy(tail, raw + at, raw_length - at);
  uint32_t w;
  std::memcpy(&w, tail, 4);
  return w;
}

}  // namespace

uint32_t prev_pack(const uint8_t* raw, uint32_t raw_length, uint8_t* out, uint32_t capacity) {
  if (capacity < prev_packed_bound(raw_length)) return 0;
  const uint32_t words = (raw_length + 3) / 4;
  uint32_t n = 0;
  if (words == 0) {
    out[n++] = 0;
    return n;
  }
  uint32_t flag_at = 0;
  uint32_t item = 8;  // items in the current group
  for (uint32_t i = 0; i < words;) {
    if (item == 8) {
      flag_at = n;
      out[n++] = 0;
      item = 0;
    }
    const uint32_t w = word_at(raw, raw_length, i);
    std::memcpy(out + n, &w, 4);  // the words are stored as the snapshot holds them
    n += 4;
    ++i;
    uint32_t run = 0;
    while (run < 255 && i < words && word_at(raw, raw_length, i) == w) {
      ++run;
      ++i;
    }
    if (run) {
      out[n++] = static_cast<uint8_t>(run);
      out[flag_at] = static_cast<uint8_t>(out[flag_at] | (1u << item));
    }
    ++item;
  }
  return n;
}

bool prev_unpack(const uint8_t* packed, uint32_t packed_length, uint8_t* out, uint32_t raw_length) {
  uint32_t done = 0;  // bytes written
  auto put = [&](const uint8_t* word) {
    const uint32_t n = raw_length - done < 4 ? raw_length - done : 4;
    std::memcpy(out + done, word, n);
    done += n;
  };
  uint32_t at = 0;
  while (at < packed_length && done < raw_length) {
    const uint8_t flags = packed[at++];
    for (uint32_t item = 0; item < 8 && at < packed_length && done < raw_length; ++item) {
      if (packed_length - at < 4) return false;
      const uint8_t* word = packed + at;
      at += 4;
      put(word);
      if (flags & (1u << item)) {
        if (at >= packed_length) return false;
        for (uint32_t c = packed[at++]; c && done < raw_length; --c) put(word);
      }
    }
  }
  return done == raw_length;
}

}  // namespace save
