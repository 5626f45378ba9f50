// graphic_dat: writes a graphic.dat file (per-image display defaults) from a text list.
//   graphic_dat [--scramble] LIST OUT
// The list format is described in graphic_dat_writer.h and docs/game-folder.md.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphic_dat/graphic_dat_writer.h"

namespace {

const char kUsage[] =
    "usage: graphic_dat [--scramble] LIST OUT\n"
    "Writes the display defaults of LIST as a graphic.dat file OUT; --scramble stores its body\n"
    "scrambled. LIST has one image a line: NAME key=value ... with the keys load, ani, step,\n"
    "mode, x, y, scale, color, cx, cy and flags (see docs/game-folder.md).\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  bool scramble = false;
  if (!args.empty() && args[0] == "--scramble") {
    scramble = true;
    args.erase(args.begin());
  }
  if (args.size() != 2 || args[0].empty() || args[0][0] == '-') {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::ifstream in(args[0], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "graphic_dat: cannot read %s\n", args[0].c_str());
    return 1;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<layers::GraphicInfo> records;
  std::vector<uint8_t> bytes;
  std::string error;
  if (!graphicdat::parse_list(text, &records, &error)) {
    std::fprintf(stderr, "graphic_dat: %s:%s\n", args[0].c_str(), error.c_str() + 5);
    return 1;
  }
  if (!graphicdat::build(records, scramble, &bytes, &error)) {
    std::fprintf(stderr, "graphic_dat: %s: %s\n", args[0].c_str(), error.c_str());
    return 1;
  }
  std::ofstream out(args[1], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) {
    std::fprintf(stderr, "graphic_dat: cannot write %s\n", args[1].c_str());
    return 1;
  }
  return 0;
}
