// The game program loads its platform library from dll/ beside itself.
#include <gtest/gtest.h>

#include <filesystem>

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

}  // namespace
