#include "support/sound_fixtures.h"

namespace testsupport {

void put16(std::string& s, uint16_t v) {
  s.push_back(char(v));
  s.push_back(char(v >> 8));
}

void put32(std::string& s, uint32_t v) {
  put16(s, uint16_t(v));
  put16(s, uint16_t(v >> 16));
}

std::string make_wav(const WavLayout& w) {
  std::string s = "RIFF";
  put32(s, 0);
  s += "WAVEfmt ";
  put32(s, w.fmt_bytes);
  const uint16_t align = uint16_t(w.channels * w.bits / 8);
  put16(s, 1);
  put16(s, w.channels);
  put32(s, w.rate);
  put32(s, w.rate * align);
  put16(s, align);
  put16(s, w.bits);
  if (w.fmt_bytes > 16) s.append(w.fmt_bytes - 16, '\0');
  if (w.fact) {
    s += "fact";
    put32(s, 4);
    put32(s, uint32_t(w.samples.size() / align));
  }
  if (w.list) {
    s += "LIST";
    put32(s, 13);  // odd: padded to 14
    s += std::string("INFOISFT\x01\0\0\0x\0", 14);
  }
  s += "data";
  put32(s, w.claimed < 0 ? uint32_t(w.samples.size()) : uint32_t(w.claimed));
  s += w.samples;
  return s;
}

std::string indexed_frames(uint32_t frames) {
  std::string s;
  s.reserve(size_t(frames) * 4);
  for (uint32_t i = 0; i < frames; ++i) {
    put16(s, uint16_t(i & 0x7FFF));
    put16(s, uint16_t(i >> 15));
  }
  return s;
}

}  // namespace testsupport
