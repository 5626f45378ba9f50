// The game program loads its platform library from dll/ beside itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/orv_api.h"
#include "support/run_program.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

TEST(Loader, MissingPlatformLibraryEndsWithExitCodeOne) {
  testsupport::TempDir game;
  fs::copy_file(VELMORA_BIN_DIR "/Velmora", game / "Velmora");
  auto r = testsupport::run_program(game / "Velmora", {}, game.path());
  EXPECT_EQ(r.exit_code, 1) << r.output;
  EXPECT_NE(r.output.find("DLL NOT FOUND"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find(game / "dll/libOrv.so"), std::string::npos) << r.output;
}

TEST(Loader, BrokenPlatformLibraryEndsWithExitCodeOne) {
  testsupport::TempDir game;
  fs::copy_file(VELMORA_BIN_DIR "/Velmora", game / "Velmora");
  testsupport::write_file(game / "dll/libOrv.so", "not a library");
  auto r = testsupport::run_program(game / "Velmora", {}, game.path());
  EXPECT_EQ(r.exit_code, 1) << r.output;
}

// A library that does not fit is refused before anything is bound, on the same path as a
// missing one: the box, the path and the reason on stderr, exit code 1. An old library is
// named as old rather than as one missing export.
TEST(Loader, PlatformLibraryThatDoesNotFitEndsWithExitCodeOne) {
  const std::string needs = "needs " + std::to_string(ORV_EXPORTS_VERSION) + " or later";
  const struct {
    const char* fake;
    std::string reason;
  } cases[] = {
      {"libfake_orv_unversioned.so", "it is version 0 of the export list, this program " + needs},
      {"libfake_orv_old.so", "it is version " + std::to_string(ORV_EXPORTS_VERSION - 1) +
                                 " of the export list, this program " + needs},
      {"libfake_orv_empty.so", "export OrvDefaultCreate is missing"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fake);
    testsupport::TempDir game;
    fs::copy_file(VELMORA_BIN_DIR "/Velmora", game / "Velmora");
    fs::create_directories(game / "dll");
    fs::copy_file(fs::path(VELMORA_FAKES_DIR) / c.fake, game / "dll/libOrv.so");
    auto r = testsupport::run_program(game / "Velmora", {}, game.path());
    EXPECT_EQ(r.exit_code, 1) << r.output;
    EXPECT_NE(r.output.find("DLL NOT FOUND"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(game / "dll/libOrv.so"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find(c.reason), std::string::npos) << r.output;
  }
}

}  // namespace
