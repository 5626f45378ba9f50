// A script machine with the layers subsystem attached, the platform's sprite calls replaced
// by the recording fake, and an empty image table.
#pragma once

#include <cstring>
#include <memory>

#include "graphics/layers/display_ops.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/layer_slots.h"
#include "program/graphics/layers/fake_sprites.h"
#include "support/vm_fixture.h"

namespace layerstest {

class LayersTest : public enginetest::VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    std::memset(static_cast<void*>(layers::image_table), 0, sizeof layers::image_table);
    fakes_ = std::make_unique<ScopedFakeSprites>();
    std::memset(vm().faceTable, 0xFF, sizeof vm().faceTable);
  }
  void TearDown() override {
    layers::layers_clear_all(vm());
    layers::display_ops_commit(vm());
    fakes_.reset();
    VmTest::TearDown();
  }
  FakeSprites& fake() { return fakes_->fake; }
  const layers::ImageRecord* image(uint32_t layer) { return vm().layers[layer].lpImage; }
  FakeSprite* sprite_of(uint32_t layer) {
    return image(layer) ? fake().at(image(layer)->hSprite) : nullptr;
  }

 private:
  std::unique_ptr<ScopedFakeSprites> fakes_;
};

}  // namespace layerstest
