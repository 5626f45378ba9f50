#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "vmasm/assembler.h"

namespace vmasm {
namespace {

struct Named {
  const char* name;
  std::string ScriptFiles::*member;
};
const Named kFiles[5] = {{"Script.src", &ScriptFiles::script},
                         {"File.dat", &ScriptFiles::file},
                         {"Text.dat", &ScriptFiles::text},
                         {"Mem.dat", &ScriptFiles::mem},
                         {"Point.dat", &ScriptFiles::point}};

}  // namespace

bool write_script_files(const ScriptFiles& files, const std::string& dir, std::string* error) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) {
    *error = "cannot create the folder " + dir + ": " + ec.message();
    return false;
  }
  for (const Named& f : kFiles) {
    const std::string path = dir + "/" + f.name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
      *error = "cannot write " + path + ": " + std::strerror(errno);
      return false;
    }
    const std::string& bytes = files.*f.member;
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) || !out.flush()) {
      *error = "cannot write " + path + ": " + std::strerror(errno);
      return false;
    }
  }
  return true;
}

bool read_script_files(const std::string& dir, ScriptFiles* files, std::string* error) {
  for (const Named& f : kFiles) {
    const std::string path = dir + "/" + f.name;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      *error = "cannot read " + path + ": " + std::strerror(errno);
      return false;
    }
    (files->*f.member).assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return true;
}

}  // namespace vmasm
