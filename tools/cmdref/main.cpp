// cmdref: writes the script command reference from the command lists, or checks a copy of it.
//
//   cmdref OUTFILE            writes the reference to OUTFILE (- : standard output)
//   cmdref --check DOCFILE    exits 1 when DOCFILE differs from the reference or a command
//                             has no description; says how to regenerate it
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "cmdref/command_reference.h"

namespace {

const char kUsage[] =
    "usage: cmdref OUTFILE | cmdref --check DOCFILE\n"
    "Writes the script command reference (Markdown) made from the command lists to OUTFILE\n"
    "(- for standard output), or checks that DOCFILE equals it and that every command has a\n"
    "description.\n";

bool report_faults() {
  const auto faults = cmdref::reference_faults();
  for (const std::string& f : faults) std::fprintf(stderr, "cmdref: %s\n", f.c_str());
  if (!faults.empty()) {
    std::fprintf(stderr,
                 "cmdref: give every command of the lists a one-line description "
                 "(the last field of its X(...) line)\n");
  }
  return faults.empty();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string first = argc > 1 ? argv[1] : "";
  if (argc == 2 && (first == "--help" || first == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const std::string reference = cmdref::render_reference();
  if (argc == 3 && first == "--check") {
    bool ok = report_faults();
    std::ifstream in(argv[2], std::ios::binary);
    std::ostringstream committed;
    committed << in.rdbuf();
    if (!in || committed.str() != reference) {
      std::fprintf(stderr,
                   "cmdref: %s is not the reference the command lists make; regenerate it with\n"
                   "  cmake --build build --target cmdref && build/tools/cmdref %s\n",
                   argv[2], argv[2]);
      ok = false;
    }
    return ok ? 0 : 1;
  }
  if (argc != 2 || (first[0] == '-' && first != "-")) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  report_faults();  // the reference is written all the same; the check fails on them
  if (first == "-") {
    std::fputs(reference.c_str(), stdout);
    return 0;
  }
  std::ofstream out(first, std::ios::binary);
  out << reference;
  if (!out.flush()) {
    std::fprintf(stderr, "cmdref: cannot write %s\n", first.c_str());
    return 1;
  }
  return 0;
}
