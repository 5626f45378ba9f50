// engine_init against script files in a folder: what it refuses and the line it logs, with the
// library's file lookup and render list faked where a fault must be made to happen.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Orv/core/files/file_access.h"
#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "engine/script_files.h"
#include "engine/vm_log.h"
#include "graphics/layers/graphic_dat.h"
#include "platform/file.h"
#include "engine/orv_static_bind.h"
#include "support/temp_dir.h"
#include "vmasm/assembler.h"

namespace {

decltype(OrvApi::OrvFileCreate) g_real_file_create;

class EngineInitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    engine::orv_static_bind();
    engine::set_log_sink(&EngineInitTest::capture, this);
    vmasm::ScriptFiles files;
    std::string error;
    ASSERT_TRUE(vmasm::assemble("start:\n  end\n", &files, &error)) << error;
    testsupport::write_file(dir_ / "Script.src", files.script);
    testsupport::write_file(dir_ / "File.dat", files.file);
    testsupport::write_file(dir_ / "Text.dat", files.text);
    testsupport::write_file(dir_ / "Mem.dat", files.mem);
    testsupport::write_file(dir_ / "Point.dat", files.point);
    ASSERT_TRUE(file_set_base_folder(dir_.path().c_str()));
    saved_ = orv;
    g_real_file_create = orv.OrvFileCreate;
  }
  void TearDown() override {
    engine::engine_shutdown(gs_->vm);
    orv = saved_;
    file_set_base_folder("");
    engine::set_log_sink(nullptr, nullptr);
  }

  bool logged(const std::string& text) const {
    for (const auto& [key, line] : logs_) {
      if (key == 0 && line.find(text) != std::string::npos) return true;
    }
    return false;
  }

  testsupport::TempDir dir_;
  std::unique_ptr<engine::GameState> gs_ = std::make_unique<engine::GameState>();
  std::vector<std::pair<int, std::string>> logs_;
  OrvApi saved_;

 private:
  static void capture(int key, const char* line, void* self) {
    static_cast<EngineInitTest*>(self)->logs_.emplace_back(key, line);
  }
};

TEST_F(EngineInitTest, LoadsAWholeScript) {
  EXPECT_EQ(engine::engine_init(gs_->vm), 0u);
  EXPECT_NE(gs_->vm.hRender, 0u);
  EXPECT_TRUE(logs_.empty() || !logged("error"));
}

// A Script.src that reads short is no script: running the half that arrived would run into
// zeros where the code should be.
TEST_F(EngineInitTest, AScriptThatReadsShortIsRefused) {
  orv.OrvFileCreate = [](const char* name, FileRange* range) {
    const OrvFileHandle file = g_real_file_create(name, range);
    if (file != kOrvInvalidFile && std::string(name) == "Script.src") range->size += 64;
    return file;
  };
  EXPECT_NE(engine::engine_init(gs_->vm), 0u);
  EXPECT_TRUE(logged("script load error"));
}

TEST_F(EngineInitTest, AFailedRenderListIsRefused) {
  orv.OrvRenderInit = []() -> OrvHandle { return 0; };
  EXPECT_NE(engine::engine_init(gs_->vm), 0u);
  EXPECT_TRUE(logged("render init error"));
}

// graphic.dat is read at start: a file too short for its index counts as missing and is named
// in the log; a whole one answers lookups until shutdown.
TEST_F(EngineInitTest, GraphicDatShorterThanItsIndexIsMissing) {
  testsupport::write_file(dir_ / "graphic.dat", std::string(2055, '\0'));
  EXPECT_EQ(engine::engine_init(gs_->vm), 0u);
  EXPECT_TRUE(logged("graphic.dat: the file is 2055 bytes"));
  EXPECT_FALSE(layers::graphic_dat.loaded());
  engine::engine_shutdown(gs_->vm);
  logs_.clear();
  std::string bytes(2056 + 132, '\0');
  bytes[16 + 'A' * 8] = 1;
  bytes.replace(2056, 2, "AB");
  bytes[2056 + 32] = 1;  // flags
  testsupport::write_file(dir_ / "graphic.dat", bytes);
  EXPECT_EQ(engine::engine_init(gs_->vm), 0u);
  EXPECT_FALSE(logged("graphic.dat"));
  char name[32];
  layers::graphic_name_field("AB", name);
  layers::GraphicInfo info;
  EXPECT_TRUE(layers::graphic_dat.find(name, &info));
  engine::engine_shutdown(gs_->vm);
  EXPECT_FALSE(layers::graphic_dat.loaded());
}

}  // namespace
