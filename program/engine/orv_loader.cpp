#include "engine/orv_loader.h"

#include <cstdio>
#include <string>

#include "engine/orv_api.h"
#include "platform/console.h"
#include "platform/dynlib.h"
#include "platform/message_box.h"
#include "platform/program_path.h"

namespace engine {
namespace {

// "orv_d.dll が見つかりません" in Shift-JIS.
constexpr char kLibraryMissingText[] =
    "orv_d.dll \x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
constexpr char kLibraryMissingCaption[] = "DLL NOT FOUND";

void* lookup(const char* name, void* context) {
  return platform::dynlib_symbol(*static_cast<platform::DynLib*>(context), name);
}

bool fail(const std::string& path, const std::string& reason) {
  platform::stderr_line("Velmora: cannot load the platform library " + path + ": " + reason);
  platform::message_box(kLibraryMissingText, kLibraryMissingCaption, platform::kMbIconHand);
  return false;
}

}  // namespace

bool orv_library_load() {
  static platform::DynLib library;  // stays loaded until the process ends
  std::string path = platform::program_folder_utf8() + "/dll/libOrv.so";
  library = platform::dynlib_open(path);
  if (!library.handle) return fail(path, library.error);
  if (const char* missing = orv_api_bind(lookup, &library)) {
    return fail(path, std::string("export ") + missing + " is missing");
  }
  return true;
}

}  // namespace engine
