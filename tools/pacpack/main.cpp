// pacpack: packs the files of a folder into the archive that the game reads in its place.
//
//   pacpack FOLDER [ARCHIVE]
//
// Every regular file directly inside FOLDER is stored under its upper-cased name; ARCHIVE
// defaults to FOLDER with ".pac" appended, which is where the game looks for it.
#include <cstdio>
#include <string>

#include "pacpack/pac_writer.h"

namespace {

const char kUsage[] =
    "usage: pacpack FOLDER [ARCHIVE]\n"
    "Packs every file directly inside FOLDER into ARCHIVE (default FOLDER.pac), each under its\n"
    "upper-cased name. Name the folder in data/archive.dat so that the game searches it.\n";

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc < 2 || argc > 3 || argv[1][0] == '-') {
    std::fputs(kUsage, stderr);
    return 2;
  }
  std::string folder = argv[1];
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  std::string archive = argc == 3 ? argv[2] : folder + ".pac";
  std::string error;
  if (!pacpack::pack_folder(folder, archive, &error)) {
    std::fprintf(stderr, "pacpack: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
