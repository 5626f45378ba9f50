// mix_list_writer: writes a voice mix list (the voices of one line, played together).
//   mix_list_writer OUT.mix NAME...   (names without extension, at most 31 bytes each)
#include <cstdio>
#include <fstream>

#include "mix_list.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: mix_list_writer OUT.mix NAME...\n", stderr);
    return 2;
  }
  std::string bytes;
  if (!mixlist::mix_list_bytes(std::vector<std::string>(argv + 2, argv + argc), &bytes)) {
    std::fputs("mix_list_writer: a name is empty or longer than 31 bytes\n", stderr);
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "mix_list_writer: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
