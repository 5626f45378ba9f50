// PrevData: one snapshot packed in memory (the "previous" state that a load of slot 1000 goes
// back to: the state before the last choice).
//
// The packing works on 32-bit words (the raw length rounded up to a word, the tail padded with
// zeros). The packed bytes are groups: a flag byte, then up to eight items. An item is a word,
// followed by a count byte (1-255) when its bit in the group's flag byte is set (bit 0 for the
// group's first item); the count is the number of further copies of the word. Runs longer than
// 256 words are split. An empty snapshot packs to the single flag byte 0.
#pragma once

#include <cstdint>

#include "save/save_stream.h"

namespace save {

// The most bytes that packing raw_length bytes can produce.
constexpr uint32_t prev_packed_bound(uint32_t raw_length) {
  const uint32_t words = (raw_length + 3) / 4;
  return words * 4 + (words + 7) / 8 + 1;
}
static_assert(prev_packed_bound(engine::kSaveBufferBytes) <= engine::kPrevDataBytes);

// Packs raw[0, raw_length) into out (capacity bytes, at least prev_packed_bound(raw_length)).
// Returns the packed length, or 0 when out is too small.
uint32_t prev_pack(const uint8_t* raw, uint32_t raw_length, uint8_t* out, uint32_t capacity);

// Unpacks into out, writing exactly raw_length bytes. False when the packed bytes end inside an
// item or hold fewer words than raw_length needs (out then holds what was unpacked).
bool prev_unpack(const uint8_t* packed, uint32_t packed_length, uint8_t* out, uint32_t raw_length);

}  // namespace save
