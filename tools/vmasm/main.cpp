// vmasm: assembles a script source into the five compiled-script files, or disassembles them.
//   vmasm SOURCE OUTDIR        writes Script.src, File.dat, Text.dat, Mem.dat, Point.dat
//   vmasm -d INDIR [OUTFILE]   writes the source (to stdout without OUTFILE)
// The source format is described in assembler.h.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "vmasm/assembler.h"

int main(int argc, char** argv) {
  std::string error;
  if (argc >= 3 && std::string(argv[1]) == "-d") {
    vmasm::ScriptFiles files;
    std::string source;
    if (!vmasm::read_script_files(argv[2], &files, &error) ||
        !vmasm::disassemble(files, &source, &error)) {
      std::fprintf(stderr, "vmasm: %s\n", error.c_str());
      return 1;
    }
    if (argc >= 4) {
      std::ofstream out(argv[3], std::ios::binary);
      out << source;
      if (!out.flush()) {
        std::fprintf(stderr, "vmasm: cannot write %s\n", argv[3]);
        return 1;
      }
    } else {
      std::cout << source;
    }
    return 0;
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: vmasm SOURCE OUTDIR | vmasm -d INDIR [OUTFILE]\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "vmasm: cannot read %s\n", argv[1]);
    return 1;
  }
  const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  vmasm::ScriptFiles files;
  if (!vmasm::assemble(source, &files, &error)) {
    std::fprintf(stderr, "vmasm: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  if (!vmasm::write_script_files(files, argv[2], &error)) {
    std::fprintf(stderr, "vmasm: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
