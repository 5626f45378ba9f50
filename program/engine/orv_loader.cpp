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

// Why the library is too old for this program, or empty when it is recent enough. A library
// built before the list had a version exports no OrvApiVersion: it counts as version 0.
std::string version_problem(const platform::DynLib& library) {
  using VersionFn = uint32_t (*)(void);
  auto version_fn = reinterpret_cast<VersionFn>(platform::dynlib_symbol(library, "OrvApiVersion"));
  const uint32_t version = version_fn ? version_fn() : 0;
  if (version >= ORV_EXPORTS_VERSION) return {};
  return "it is version " + std::to_string(version) + " of the export list, this program needs " +
         std::to_string(ORV_EXPORTS_VERSION) +
         " or later (an old dll/ folder: install the dll/ that came with this program)";
}

}  // namespace

bool orv_library_load() {
  static platform::DynLib library;  // stays loaded until the process ends
  std::string path = platform::program_folder_utf8() + "/dll/libOrv.so";
  library = platform::dynlib_open(path);
  if (!library.handle) return fail(path, library.error);
  const std::string too_old = version_problem(library);
  if (!too_old.empty()) return fail(path, too_old);
  if (const char* missing = orv_api_bind(lookup, &library)) {
    return fail(path, std::string("export ") + missing + " is missing");
  }
  return true;
}

}  // namespace engine
