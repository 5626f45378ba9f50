// What the action kinds share: the image a section names, its clock and linear rate, the
// truncations and rounding terms, the missing-sprite report and the state records' memory.
#pragma once

#include <cstdint>

#include "engine/orv_api.h"
#include "engine/vm_context.h"
#include "graphics/int_math.h"
#include "graphics/layers/image_record.h"

namespace actions {

using layers::ImageRecord;

// The record at a section's image index; null for 0xFFFFFFFF or any index outside the table.
inline ImageRecord* section_image(uint32_t index) {
  return index < layers::kImageRecords ? &layers::image_table[index] : nullptr;
}

// A state record for create: zeroed, counted memory; null when memory ran out (the section
// then does not start and is tried again next frame).
template <class T>
T* state_alloc() {
  return static_cast<T*>(orv.OrvMemoryAlloc(sizeof(T), 1));
}
inline void state_free(void* state) {
  orv.OrvMemoryFree(state);
}

inline uint32_t frame_now() {
  return orv.OrvtimeGetTime();
}
inline uint32_t at_most(uint32_t t, uint32_t d) {
  return t < d ? t : d;
}
// 1.0 when d is 0, else min(1, min(t, d) / d).
inline float linear_rate(uint32_t t, uint32_t d) {
  if (d == 0) return 1.0f;
  const float r = static_cast<float>(at_most(t, d)) / static_cast<float>(d);
  return r < 1.0f ? r : 1.0f;
}

// Float to int toward zero, saturated where a stored section carries an absurd change.
using graphics::trunc_i32;
inline int32_t as_i32(uint32_t v) {
  return static_cast<int32_t>(v);
}
// Integer sums wrap (script values are unchecked; no overflow is undefined).
using graphics::wrap_add;
inline int32_t wrap_sub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}
inline void add_to(int32_t& a, int32_t b) {
  a = wrap_add(a, b);
}
// The rounding term of an integer change: +0.5 for >= 0, else -0.5.
inline float half_toward(int32_t c) {
  return c >= 0 ? 0.5f : -0.5f;
}
// 16-bit colour arithmetic wraps.
inline int16_t add16(int16_t a, int32_t b) {
  return static_cast<int16_t>(
      static_cast<uint16_t>(static_cast<uint16_t>(a) + static_cast<uint16_t>(b)));
}

// "のレイヤーがない" ("has no layer"), after a kind's name.
#define ACTION_NO_LAYER "\x82\xCC\x83\x8C\x83\x43\x83\x84\x81\x5B\x82\xAA\x82\xC8\x82\xA2"

// True when a step may go on: a null image does nothing silently; an image without a sprite
// logs "<kind>のレイヤーがない" and the text window's current line (key 0) and does nothing.
bool step_image_ok(engine::VmContext& vm, const ImageRecord* image, const char* kind);
// The two lines of a missing image: "<what>" then the current line (key 0).
void report_missing(engine::VmContext& vm, const char* line);
// The text window's current line "name=%s / voice=%s / %s" (key 0), after a report.
void report_current_line(engine::VmContext& vm);

}  // namespace actions
