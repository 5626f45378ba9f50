// vmasm: assembles a script source into the five compiled-script files, or disassembles them.
// The source format is described in docs/script.md.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "vmasm/assembler.h"

namespace {

const char kUsage[] =
    "usage: vmasm SOURCE OUTDIR        assemble SOURCE into Script.src, File.dat, Text.dat,\n"
    "                                  Mem.dat and Point.dat in OUTDIR (created if missing)\n"
    "       vmasm -d INDIR [OUTFILE]   disassemble the five files in INDIR into a source\n"
    "                                  (to standard output without OUTFILE)\n"
    "       vmasm --help               this text\n"
    "The source format: docs/script.md.\n";

int usage_error() {
  std::fputs(kUsage, stderr);
  return 2;
}

int disassemble(int argc, char** argv) {
  std::string error, source;
  vmasm::ScriptFiles files;
  if (!vmasm::read_script_files(argv[2], &files, &error) ||
      !vmasm::disassemble(files, &source, &error)) {
    std::fprintf(stderr, "vmasm: %s\n", error.c_str());
    return 1;
  }
  if (argc < 4) {
    std::cout << source;
    return 0;
  }
  std::ofstream out(argv[3], std::ios::binary);
  out << source;
  if (!out.flush()) {
    std::fprintf(stderr, "vmasm: cannot write %s: %s\n", argv[3], std::strerror(errno));
    return 1;
  }
  return 0;
}

int assemble(const char* source_path, const char* out_dir) {
  std::ifstream in(source_path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "vmasm: cannot read %s: %s\n", source_path, std::strerror(errno));
    return 1;
  }
  const std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  vmasm::ScriptFiles files;
  std::string error;
  size_t line = 0;
  if (!vmasm::assemble(source, &files, &error, &line)) {
    if (line)
      std::fprintf(stderr, "vmasm: %s:%zu: %s\n", source_path, line, error.c_str());
    else
      std::fprintf(stderr, "vmasm: %s: %s\n", source_path, error.c_str());
    return 1;
  }
  if (!vmasm::write_script_files(files, out_dir, &error)) {
    std::fprintf(stderr, "vmasm: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc >= 2 && std::string(argv[1]) == "-d") {
    return argc == 3 || argc == 4 ? disassemble(argc, argv) : usage_error();
  }
  if (argc != 3 || argv[1][0] == '-') return usage_error();
  return assemble(argv[1], argv[2]);
}
