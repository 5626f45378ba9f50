#include "shared/sjis_units.h"

namespace {

bool in(uint8_t b, uint8_t lo, uint8_t hi) {
  return b >= lo && b <= hi;
}

}  // namespace

bool sjis_is_lead(const SjisUnits& u, uint8_t b) {
  return in(b, u.lead1_lo, u.lead1_hi) || in(b, u.lead2_lo, u.lead2_hi);
}

bool sjis_is_trail(const SjisUnits& u, uint8_t b) {
  return in(b, u.trail1_lo, u.trail1_hi) || in(b, u.trail2_lo, u.trail2_hi);
}

size_t sjis_unit_length(const SjisUnits& u, const char* text, size_t size) {
  if (size == 0) return 0;
  if (size >= 2 && sjis_is_lead(u, static_cast<uint8_t>(text[0])) &&
      sjis_is_trail(u, static_cast<uint8_t>(text[1]))) {
    return 2;
  }
  return 1;
}

size_t sjis_fit(const SjisUnits& u, const char* text, size_t size, size_t limit) {
  size_t at = 0;
  while (at < size) {
    const size_t n = sjis_unit_length(u, text + at, size - at);
    if (at + n > limit) break;
    at += n;
  }
  return at;
}

size_t sjis_cut_incomplete_tail(const SjisUnits& u, const char* text, size_t size) {
  size_t at = 0;
  while (at < size) {
    if (!sjis_is_lead(u, static_cast<uint8_t>(text[at]))) {
      ++at;
      continue;
    }
    if (at + 1 >= size) return at;  // trail byte cut off: end before the lead byte
    if (!sjis_is_trail(u, static_cast<uint8_t>(text[at + 1]))) return at + 1;
    at += 2;
  }
  return at;
}
