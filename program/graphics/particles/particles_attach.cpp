#include "engine/orv_api.h"
#include "graphics/layers/image_record.h"
#include "graphics/particles/particle_command_list.h"
#include "graphics/particles/particles.h"

namespace particles {

uint32_t layer_sprite(const engine::VmContext& vm, uint32_t layer) {
  const layers::ImageRecord* image = vm.layers[layer].lpImage;
  return image ? image->hSprite : 0;
}

LockedPixels::LockedPixels(uint32_t sprite) : sprite_(sprite) {
  if (sprite) pixels_ = orv.OrvSpriteLock(sprite, &w_, &h_);
  if (!pixels_ || w_ <= 0 || h_ <= 0) {
    if (pixels_) orv.OrvSpriteUnlock(sprite_);
    pixels_ = nullptr;
    w_ = h_ = 0;
  }
}

LockedPixels::~LockedPixels() {
  if (pixels_) orv.OrvSpriteUnlock(sprite_);
}

namespace {
constexpr engine::CommandEntry kEntries[] = {PARTICLE_COMMANDS(COMMAND_ENTRY)};
}  // namespace

const engine::CommandList particle_commands = engine::command_list(kEntries);

void particles_attach() {
  engine::command_list_install(particle_commands);
}

}  // namespace particles
