// Small sound files written by the tests themselves.
#pragma once

#include <cstdint>
#include <string>

namespace testsupport {

void put16(std::string& s, uint16_t v);
void put32(std::string& s, uint32_t v);

// A RIFF WAVE file; the defaults give the plain 44-byte layout of 44,100 Hz stereo 16-bit.
struct WavLayout {
  uint32_t fmt_bytes = 16;
  uint16_t channels = 2;
  uint32_t rate = 44100;
  uint16_t bits = 16;
  bool fact = false;     // a fact chunk after the format
  bool list = false;     // a LIST chunk of odd size before the data
  int64_t claimed = -1;  // the data size the header claims; -1: the true size
  std::string samples = std::string(400, '\x11');
};
std::string make_wav(const WavLayout& layout);

// Stereo 16-bit samples whose frame i holds (i & 0x7FFF, i >> 15): every frame tells where it
// came from.
std::string indexed_frames(uint32_t frames);
// The frame index that indexed_frames wrote into a (left, right) pair.
inline uint32_t frame_index(int16_t left, int16_t right) {
  return uint32_t(uint16_t(left)) | uint32_t(uint16_t(right)) << 15;
}

}  // namespace testsupport
