// Disintegration: every visible pixel of a rectangle becomes a particle with a random speed,
// lifetime and start delay, moved and painted into the picture by each update.
#include <algorithm>
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

enum ParticleState : uint8_t { kHidden = 0, kMoving = 1, kWaiting = 2 };

struct Particle {
  float x, y;
  float vx, vy;
  uint32_t color;  // the pixel, alpha raised to 64
  uint16_t life;   // ms
  uint8_t fadeAlpha;
  uint8_t state;
  uint32_t delay;  // ms
};

struct ParticleSystem {
  uint32_t sprite;
  int32_t left, top, right, bottom;
  int32_t width, height;
  uint32_t totalTime;
  float gravity;
  float lifeShare;
  uint32_t rangeX, rangeY;
  float wind;
  uint8_t done;
  std::vector<Particle> particles;
};

constexpr size_t kReserve = 30000;

ParticleSystem g_system{};
// The generator carries over from one init to the next.
uint32_t g_seed = 123456;

uint32_t next_random() {
  g_seed = g_seed * 1664525u + 1013904223u;
  return g_seed;
}

float spread_speed(uint32_t r, uint32_t range) {
  const int64_t v = int64_t{r % range} - int64_t{range / 2};
  return static_cast<float>(v) * 0.002f;
}

Particle make_particle(int32_t x, int32_t y, uint32_t pixel, const ParticleSystem& s) {
  Particle p{};
  p.x = static_cast<float>(x);
  p.y = static_cast<float>(y);
  p.color = (pixel >> 24) < 64 ? (pixel & 0xFFFFFFu) | 64u << 24 : pixel;
  p.vx = spread_speed(next_random(), s.rangeX);
  p.vy = spread_speed(next_random(), s.rangeY);
  const float total = static_cast<float>(s.totalTime);
  const float rest = (1.0f - s.lifeShare) * total;
  const uint32_t n = rest >= 1.0f ? static_cast<uint32_t>(rest) : 0;
  const uint32_t spread = n > 0 ? next_random() % n : 0;
  // Lives hold 16 bits: a longer one is cut to the longest rather than wrapped to a short one.
  const float life = total * s.lifeShare + static_cast<float>(spread);
  p.life = static_cast<uint16_t>(std::clamp(life, 0.0f, 65535.0f));
  const uint32_t r4 = next_random();
  p.delay = (r4 & 1023) * (s.totalTime / 1024);
  if (p.life + p.delay > s.totalTime) p.delay = s.totalTime > p.life ? s.totalTime - p.life : 0;
  return p;
}

void build(ParticleSystem& s) {
  s.particles.clear();
  if (s.particles.capacity() < kReserve) s.particles.reserve(kReserve);
  s.done = 0;
  LockedPixels lock(s.sprite);
  if (!lock.pixels()) return;
  for (int32_t y = s.top; y < s.bottom; ++y) {
    for (int32_t x = s.left; x < s.right; ++x) {
      if (!lock.inside(x, y)) continue;
      const uint32_t pixel = lock.at(x, y);
      if ((pixel >> 24) < 16) continue;
      s.particles.push_back(make_particle(x, y, pixel, s));
    }
  }
}

}  // namespace

uint32_t cmd_sp_particle_init(VmContext& vm) {
  uint32_t a[12];
  for (uint32_t& v : a) v = vm_pop(vm);
  const uint32_t layer = a[0];
  if (!layers::layer_in_range(layer)) return 0;
  const uint32_t sprite = layer_sprite(vm, layer);
  OrvSpriteInfo info{};
  if (!sprite || !orv.OrvSpriteGetInfo(sprite, &info)) {
    vm_log(engine::kLogMain, "*** ERROR sp_particle_init NOT layer %d",
           static_cast<int32_t>(layer));
    return 0;
  }
  const int64_t x = static_cast<int32_t>(a[1]), y = static_cast<int32_t>(a[2]);
  const int64_t w = static_cast<int32_t>(a[3]), h = static_cast<int32_t>(a[4]);
  if (x < 0 || x >= info.width || x + w < 0 || x + w > info.width || y < 0 || y >= info.height ||
      y + h < 0 || y + h > info.height) {
    vm_log(engine::kLogMain, "*** ERROR sp_particle_init over rect (%d, %d, %d, %d)",
           static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<int32_t>(w),
           static_cast<int32_t>(h));
    return 0;
  }
  ParticleSystem& s = g_system;
  s.sprite = sprite;
  s.left = static_cast<int32_t>(x);
  s.top = static_cast<int32_t>(y);
  s.right = static_cast<int32_t>(x + w);
  s.bottom = static_cast<int32_t>(y + h);
  s.width = info.width;
  s.height = info.height;
  s.totalTime = a[5];
  s.lifeShare = static_cast<float>(static_cast<int32_t>(a[6])) / 1000.0f;
  s.gravity = static_cast<float>(static_cast<int32_t>(a[7])) / 1000.0f;
  s.rangeX = a[8] ? a[8] : 1;
  s.rangeY = a[9] ? a[9] : 1;
  s.wind = static_cast<float>(static_cast<int32_t>(a[10])) / 1000.0f;
  const uint32_t before = orv.OrvClockGetTime();
  build(s);
  vm_log(engine::kLogMain, "sp_particle_init  %d ms / %d nums",
         static_cast<int32_t>(orv.OrvClockGetTime() - before),
         static_cast<int32_t>(s.particles.size()));
  return 1;
}

uint32_t cmd_sp_particle_update(VmContext& vm) {
  const uint32_t t = vm_pop(vm);
  ParticleSystem& s = g_system;
  if (s.done) return 1;
  uint8_t done = 1;
  for (Particle& p : s.particles) {
    p.state = kHidden;
    if (t < p.delay) {
      p.state = kWaiting;
      done = 0;
      continue;
    }
    const uint32_t age = t - p.delay;
    if (age >= p.life) continue;
    p.vy += s.gravity;
    p.vx += s.wind * 0.05f;
    p.y += p.vy;
    p.x += p.vx;
    if (!(p.x >= 0.0f && p.x < static_cast<float>(s.width) && p.y >= 0.0f &&
          p.y < static_cast<float>(s.height))) {
      continue;
    }
    const uint32_t remaining = p.life - age;
    const uint32_t alpha = p.color >> 24;
    if (remaining < 100) {
      p.fadeAlpha =
          static_cast<uint8_t>(static_cast<float>(remaining) * 0.01f * static_cast<float>(alpha));
      if (p.fadeAlpha == 0) continue;
    } else {
      p.fadeAlpha = static_cast<uint8_t>(alpha);
    }
    p.state = kMoving;
    done = 0;
  }
  s.done = done;
  if (done) return 1;
  LockedPixels lock(s.sprite);
  if (!lock.pixels()) return 1;
  for (const Particle& p : s.particles) {
    if (p.state == kHidden) continue;
    const int32_t x = static_cast<int32_t>(p.x), y = static_cast<int32_t>(p.y);
    // The picture may have changed size since the init: only its own pixels are written.
    if (lock.inside(x, y)) lock.at(x, y) = p.color;
  }
  return 1;
}

uint32_t cmd_sp_particle_is_end(VmContext& vm) {
  engine::vm_set_result(vm, g_system.done);
  return 1;
}

uint32_t cmd_sp_particle_nop(VmContext&) {
  return 1;
}

}  // namespace particles
