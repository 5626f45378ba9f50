#include "tones.h"

#include <cmath>
#include <numbers>

#include "shared/byte_codec.h"

namespace tonewriter {

std::string tone_wav(int piece) {
  // A4 lead-in, then C5 E5 G5 E5; or E4 lead-in, then A4 E4 C4 E4.
  const double pieces[2][5] = {{440.0, 523.25, 659.25, 783.99, 659.25},
                               {329.63, 440.0, 329.63, 261.63, 329.63}};
  const double(&notes)[5] = pieces[piece == 1 ? 1 : 0];
  std::string pcm;
  codec::StringByteWriter p(&pcm);
  for (double hz : notes) {
    for (uint32_t i = 0; i < kBeatFrames; ++i) {
      const double t = static_cast<double>(i) / kRate;
      // A short rise and a long fall inside each note.
      const double rise = std::min(1.0, i / 400.0);
      const double fall = 1.0 - static_cast<double>(i) / kBeatFrames;
      const double v = 0.3 * rise * fall * std::sin(2.0 * std::numbers::pi * hz * t);
      const auto s = static_cast<int16_t>(std::lround(v * 32767.0));
      p.i16(s);
      p.i16(s);
    }
  }
  std::string wav;
  codec::StringByteWriter w(&wav);
  w.bytes("RIFF", 4);
  w.u32(static_cast<uint32_t>(36 + pcm.size()));
  w.bytes("WAVEfmt ", 8);
  w.u32(16);
  w.u16(1);  // PCM
  w.u16(2);
  w.u32(kRate);
  w.u32(kRate * 4);
  w.u16(4);
  w.u16(16);
  w.bytes("data", 4);
  w.u32(static_cast<uint32_t>(pcm.size()));
  return wav + pcm;
}

}  // namespace tonewriter
