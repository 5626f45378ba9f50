// tone_writer: writes the demo game's music as a WAV file (the build encodes it as Ogg Vorbis).
//   tone_writer OUT.wav [PIECE]   (piece 0 or 1)
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "tones.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fputs("usage: tone_writer OUT.wav [PIECE]\n", stderr);
    return 2;
  }
  const std::string wav = tonewriter::tone_wav(argc == 3 ? std::atoi(argv[2]) : 0);
  std::ofstream out(argv[1], std::ios::binary);
  out.write(wav.data(), static_cast<std::streamsize>(wav.size()));
  if (!out) {
    std::fprintf(stderr, "tone_writer: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
