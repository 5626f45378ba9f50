// A graphic.dat record that gives one picture an .ani program, for the pictures that must start
// theirs when they load (the window's base image, the history buttons). The program waits for
// ever once started, so a started slot reads kAnimWaiting and an unstarted one kAnimLoaded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orv/core/files/file_access.h"
#include "graphic_dat/graphic_dat_writer.h"
#include "graphics/animations/anim_player.h"
#include "graphics/layers/graphic_dat.h"
#include "program/graphics/animations/anim_fixture.h"
#include "support/temp_dir.h"

namespace textwindowtest {

class AniOnLoad {
 public:
  AniOnLoad(engine::VmContext& vm, const std::string& picture) : vm_(vm) {
    EXPECT_TRUE(file_set_base_folder(dir_.path().c_str()));
    animtest::AniBytes program;
    program.op(1, {-1});
    testsupport::write_file(dir_ / "GLOW.ani", program.file(0));
    std::vector<layers::GraphicInfo> records;
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(graphicdat::parse_list(picture + " ani=GLOW\n", &records, &error)) << error;
    EXPECT_TRUE(graphicdat::build(records, true, &bytes, &error)) << error;
    EXPECT_TRUE(layers::graphic_dat.load(bytes, &error)) << error;
  }
  ~AniOnLoad() {
    animations::anim_release_all(vm_);
    layers::graphic_dat.clear();
    file_set_base_folder("");
  }

 private:
  engine::VmContext& vm_;
  testsupport::TempDir dir_;
};

}  // namespace textwindowtest
