// Hole wind: a hole grows from a centre point and clears the picture's opaque pixels, while
// particles spawned inside it drift outward on a turbulent wind and fade out. The picture as
// it was at init is kept, so that the hole and the spawns read the untouched pixels.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/layer_args.h"
#include "graphics/particles/particles.h"

namespace particles {
namespace {

using engine::vm_log;
using engine::vm_pop;
using engine::VmContext;

struct HoleWindParticle {
  uint32_t number;
  float x, y, z;
  float vx, vy, vz;  // pixels per second
  float size;        // kept, not drawn
  float life, fullLife;
};

struct HoleWindState {
  std::vector<HoleWindParticle> particles;
  uint32_t counter;
  float cx, cy;
  float radius, maxRadius;
  float strength;
  float duration;  // s
  float holeTime;  // s
  uint8_t growing;
  float elapsed;    // s
  uint32_t* saved;  // width x height pixels of the picture at init (OrvMemoryAlloc)
  uint32_t sprite;
  int32_t width, height;
  uint32_t timeOffset;
  uint32_t lastTime;
};

HoleWindState g_hole{};

constexpr double kPi = 3.14159265358979323846;

// Sine hash: a value in (-1, 1) from n.
float hash_sin(float n) {
  const float scaled = static_cast<float>(std::sin(static_cast<double>(n * 12.9898f))) * 43758.547f;
  return static_cast<float>(std::fmod(static_cast<double>(scaled), 1.0));
}

uint32_t hash_int(uint32_t k) {
  const uint32_t k2 = k ^ (k << 13);
  return ((k2 * k2 * 15731u + 789221u) * k2 - 771171059u) & 0x7FFFFFFFu;
}

float noise(float x) {
  const float fl = std::floor(x);
  const int32_t i = static_cast<int32_t>(fl);
  const float f = x - fl;
  const float s = (3.0f - 2.0f * f) * f * f;
  const float kScale = 1.0f / 1073741824.0f;
  const float a = 1.0f - static_cast<float>(hash_int(static_cast<uint32_t>(i))) * kScale;
  const float b = 1.0f - static_cast<float>(hash_int(static_cast<uint32_t>(i) + 1)) * kScale;
  return (1.0f - s) * a + s * b;
}

uint32_t saved_at(const HoleWindState& h, int32_t x, int32_t y) {
  return h.saved[size_t(y) * size_t(h.width) + size_t(x)];
}

void release(HoleWindState& h) {
  if (h.saved) orv.OrvMemoryFree(h.saved);
  h.saved = nullptr;
  h.particles.clear();
  h.counter = 0;
}

void clear_hole(HoleWindState& h, LockedPixels& lock) {
  const int32_t r = static_cast<int32_t>(h.radius);
  const int32_t r2 = static_cast<int32_t>(h.radius * h.radius);
  const int32_t cx = static_cast<int32_t>(h.cx), cy = static_cast<int32_t>(h.cy);
  for (int32_t dy = -r; dy <= r; ++dy) {
    for (int32_t dx = -r; dx <= r; ++dx) {
      if (dx * dx + dy * dy > r2) continue;
      const int32_t x = cx + dx, y = cy + dy;
      if (!lock.inside(x, y)) continue;
      if ((saved_at(h, x, y) >> 24) > 0) lock.at(x, y) &= 0x00FFFFFFu;
    }
  }
}

void spawn(HoleWindState& h) {
  const int32_t attempts = static_cast<int32_t>(h.strength * 5.0f);
  for (int32_t i = 1; i <= attempts; ++i) {
    const float hd = hash_sin(static_cast<float>(i + 1));
    if (hd < 0.0f) continue;
    const float distance = std::sqrt(hd) * h.radius;
    const float angle = hash_sin(static_cast<float>(i)) * static_cast<float>(2.0 * kPi);
    const float ca = std::cos(angle), sa = std::sin(angle);
    const float px = h.cx + ca * distance, py = h.cy + sa * distance;
    const int32_t ix = static_cast<int32_t>(px), iy = static_cast<int32_t>(py);
    if (!(px > -1.0f && py > -1.0f) || ix >= h.width || iy >= h.height || ix < 0 || iy < 0) {
      continue;
    }
    if ((saved_at(h, ix, iy) >> 24) < 16) continue;
    HoleWindParticle p{};
    p.number = h.counter++;
    p.x = px;
    p.y = py;
    const float speed =
        hash_sin(static_cast<float>(p.number + 3)) * h.strength * 0.5f + h.strength * 0.5f;
    p.vx = ca * speed;
    p.vy = sa * speed;
    p.size = hash_sin(static_cast<float>(p.number + 4)) * 1.5f + 1.0f;
    p.life = p.fullLife = h.duration;
    h.particles.push_back(p);
  }
}

void step(HoleWindState& h, float dt) {
  LockedPixels lock(h.sprite);
  // A picture that went away or changed size since the init is not drawn into.
  if (!lock.pixels() || lock.w() != h.width || lock.h() != h.height) return;
  if (h.growing) {
    h.holeTime += dt;
    const float r = h.duration > 0.0f ? std::min(1.0f, h.holeTime / h.duration) : 1.0f;
    h.radius = h.maxRadius * r;
    clear_hole(h, lock);
    spawn(h);
    if (r >= 1.0f) h.growing = 0;
  }
  for (HoleWindParticle& p : h.particles) {
    p.x += p.vx * dt;
    p.y += p.vy * dt;
    p.z += p.vz * dt;
    p.life -= dt;
  }
  std::erase_if(h.particles, [](const HoleWindParticle& p) { return p.life <= 0.0f; });
  for (HoleWindParticle& p : h.particles) {
    p.vx += noise(p.y * 0.02f + h.elapsed) * 30.0f * dt;
    p.vy += noise(p.x * 0.02f + h.elapsed + 10.0f) * 30.0f * 0.2f * dt;
    p.vz += noise(p.z * 0.02f + h.elapsed + 20.0f) * 30.0f * dt;
  }
  for (const HoleWindParticle& p : h.particles) {
    if (!(p.x > -1.0f && p.y > -1.0f)) continue;
    const int32_t x = static_cast<int32_t>(p.x), y = static_cast<int32_t>(p.y);
    if (!lock.inside(x, y)) continue;
    const uint32_t alpha = static_cast<uint32_t>(p.life / p.fullLife * 255.0f) & 0xFF;
    lock.at(x, y) = alpha << 24 | 255u << 16 | 200u << 8 | 150u;
  }
}

}  // namespace

uint32_t cmd_sp_hole_wind_init(VmContext& vm) {
  uint32_t a[6];
  for (uint32_t& v : a) v = vm_pop(vm);
  const uint32_t layer = a[0];
  if (!layers::layer_in_range(layer)) return 0;
  const uint32_t sprite = layer_sprite(vm, layer);
  LockedPixels lock(sprite);
  if (!lock.pixels()) {
    vm_log(engine::kLogMain, "*** ERROR sp_hole_wind_init NOT layer %d",
           static_cast<int32_t>(layer));
    return 0;
  }
  const uint64_t bytes = uint64_t(lock.w()) * uint64_t(lock.h()) * 4;
  auto* saved = bytes <= 0xFFFFFFFFu
                    ? static_cast<uint32_t*>(orv.OrvMemoryAlloc(uint32_t(bytes), 0))
                    : nullptr;
  if (!saved) {
    vm_log(engine::kLogMain, "*** ERROR sp_hole_wind_init NOT enoutgh Memory");
    return 0;
  }
  HoleWindState& h = g_hole;
  // A second init without a release gives the earlier copy back first.
  release(h);
  std::memcpy(saved, lock.pixels(), bytes);
  h.saved = saved;
  h.sprite = sprite;
  h.width = lock.w();
  h.height = lock.h();
  h.elapsed = 0.0f;
  h.radius = 0.0f;
  h.holeTime = 0.0f;
  h.growing = 1;
  h.cx = static_cast<float>(static_cast<int32_t>(a[1]));
  h.cy = static_cast<float>(static_cast<int32_t>(a[2]));
  h.maxRadius = static_cast<float>(static_cast<int32_t>(a[3]));
  h.strength = static_cast<float>(static_cast<int32_t>(a[4]));
  h.duration = static_cast<float>(a[5]) / 1000.0f;
  h.timeOffset = 0;
  h.lastTime = 0;
  return 1;
}

uint32_t cmd_sp_hole_wind_update(VmContext& vm) {
  const uint32_t t = vm_pop(vm);
  HoleWindState& h = g_hole;
  const uint32_t now = t + h.timeOffset;
  // A time before the last one is no step back in time: it moves nothing.
  const int32_t diff = static_cast<int32_t>(now - h.lastTime);
  const float dt = diff > 0 ? static_cast<float>(static_cast<uint32_t>(diff)) * 0.001f : 0.0f;
  if (h.saved) step(h, dt);
  h.elapsed += dt;
  h.lastTime = now;
  return 1;
}

uint32_t cmd_sp_hole_wind_is_end(VmContext& vm) {
  engine::vm_set_result(vm, g_hole.elapsed >= g_hole.duration ? 1u : 0u);
  return 1;
}

uint32_t cmd_sp_hole_wind_release(VmContext&) {
  release(g_hole);
  return 1;
}

}  // namespace particles
