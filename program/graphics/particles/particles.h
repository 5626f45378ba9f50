// Particle effects on layer pictures, each drawn into the picture's own pixels:
//   disintegration  every visible pixel of a rectangle becomes a particle that waits, flies
//                   with gravity and wind, and vanishes (one system for the program);
//   hole wind       a growing hole clears the picture while glowing particles drift out of it
//                   on a turbulent wind (one effect for the program);
//   particle layers an emit map decides when each pixel of a rectangle lets go, a force map
//                   where it flies; after the end time every point flies home.
// The script drives each by calling its update with an elapsed time once per frame.
//
// Every layer, rectangle and index from the script is checked, and every pixel written lies
// inside the locked picture.
// Thread: the script's thread under the render lock.
#pragma once

#include <cstdint>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace particles {

extern const engine::CommandList particle_commands;

// The handlers (particle_command_list.h).
uint32_t cmd_sp_particle_init(engine::VmContext& vm);
uint32_t cmd_sp_particle_update(engine::VmContext& vm);
uint32_t cmd_sp_particle_is_end(engine::VmContext& vm);
uint32_t cmd_sp_particle_nop(engine::VmContext& vm);
uint32_t cmd_sp_hole_wind_init(engine::VmContext& vm);
uint32_t cmd_sp_hole_wind_update(engine::VmContext& vm);
uint32_t cmd_sp_hole_wind_is_end(engine::VmContext& vm);
uint32_t cmd_sp_hole_wind_release(engine::VmContext& vm);
uint32_t cmd_sp_particle_target_init(engine::VmContext& vm);
uint32_t cmd_sp_particle_emit_init(engine::VmContext& vm);
uint32_t cmd_sp_particle_force_init(engine::VmContext& vm);
uint32_t cmd_sp_particle_layer_init(engine::VmContext& vm);
uint32_t cmd_sp_particle_layer_update(engine::VmContext& vm);
uint32_t cmd_sp_particle_layer_is_end(engine::VmContext& vm);
uint32_t cmd_sp_particle_layer_reset(engine::VmContext& vm);
uint32_t cmd_sp_particle_layer_restart(engine::VmContext& vm);

// The sprite of layer's picture, 0 for an empty layer (the layer is checked by the caller).
uint32_t layer_sprite(const engine::VmContext& vm, uint32_t layer);

// The locked pixels of a sprite (32-bit ARGB, rows of w pixels), unlocked when it goes.
class LockedPixels {
 public:
  explicit LockedPixels(uint32_t sprite);
  ~LockedPixels();
  LockedPixels(const LockedPixels&) = delete;
  LockedPixels& operator=(const LockedPixels&) = delete;
  uint32_t* pixels() const { return pixels_; }
  int32_t w() const { return w_; }
  int32_t h() const { return h_; }
  bool inside(int32_t x, int32_t y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
  uint32_t& at(int32_t x, int32_t y) { return pixels_[size_t(y) * size_t(w_) + size_t(x)]; }

 private:
  uint32_t sprite_;
  uint32_t* pixels_ = nullptr;
  int32_t w_ = 0, h_ = 0;
};

// Start-up: installs the command list.
void particles_attach();

}  // namespace particles
