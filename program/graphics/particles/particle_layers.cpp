// Particle layers: the visible pixels of a target rectangle let go in the order an emit map
// gives (bright blue first), fly where a force map's colour points with some random spread and
// fade out; after the end time they fly home and fade back in.
#include <algorithm>
#include <cstring>
#include <random>
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

struct ParticlePoint {
  float ox, oy, oz;
  float x, y, z;
  float tx, ty, tz;
  uint8_t r, g, b;
  uint8_t alpha, sourceAlpha;
  uint8_t released;
  float releaseTime, flightTime;  // s
};

struct PixelMap {
  uint32_t w, h;
  std::vector<uint32_t> pixels;
  // The pixel at (u, v) in 0..1, clamped to the map; null for a map without pixels.
  const uint32_t* sample(float u, float v) const {
    if (w == 0 || h == 0 || pixels.size() < size_t(w) * h) return nullptr;
    const int64_t col =
        std::clamp<int64_t>(static_cast<int64_t>(static_cast<float>(w) * u), 0, int64_t{w} - 1);
    const int64_t row =
        std::clamp<int64_t>(static_cast<int64_t>(static_cast<float>(h) * v), 0, int64_t{h} - 1);
    return &pixels[size_t(row) * w + size_t(col)];
  }
};

struct ParticleLayer {
  PixelMap emit, force;
  std::vector<ParticlePoint> points;
  uint32_t target;
  int32_t targetW, targetH;
  int32_t rx, ry, rw, rh;
  float emission, end, back, last;  // s
};

// Created with one record at start; commands with an index beyond it do nothing.
std::vector<ParticleLayer> g_layers(1);

std::mt19937& generator() {
  // Seeded once, on first use, from the system's random source.
  static std::mt19937 mt{std::random_device{}()};
  return mt;
}
float uniform(float a, float b) {
  const float u = static_cast<float>(generator()() >> 8) * (1.0f / 16777216.0f);
  return a + (b - a) * u;
}

ParticleLayer* record(uint32_t index) {
  return index < g_layers.size() ? &g_layers[index] : nullptr;
}

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

// The record and the layer's sprite for the three set-up commands; null after their log line.
ParticleLayer* setup(VmContext& vm, uint32_t index, uint32_t layer, const char* command,
                     uint32_t* sprite) {
  if (!layers::layer_in_range(layer)) return nullptr;
  ParticleLayer* p = record(index);
  *sprite = layer_sprite(vm, layer);
  if (!p || !*sprite) {
    vm_log(engine::kLogMain, "*** ERROR %s NOT layer %d", command, as_int(layer));
    return nullptr;
  }
  return p;
}

uint32_t copy_map(VmContext& vm, const char* command, PixelMap ParticleLayer::*map) {
  const uint32_t index = vm_pop(vm);
  const uint32_t layer = vm_pop(vm);
  uint32_t sprite = 0;
  ParticleLayer* p = setup(vm, index, layer, command, &sprite);
  if (!p) return 0;
  LockedPixels lock(sprite);
  if (!lock.pixels()) {
    vm_log(engine::kLogMain, "*** ERROR %s NOT layer %d", command, as_int(layer));
    return 0;
  }
  PixelMap& m = p->*map;
  m.w = static_cast<uint32_t>(lock.w());
  m.h = static_cast<uint32_t>(lock.h());
  m.pixels.assign(lock.pixels(), lock.pixels() + size_t(m.w) * m.h);
  return 1;
}

uint8_t channel(uint32_t pixel, int shift) {
  return static_cast<uint8_t>(pixel >> shift);
}

void release_point(ParticlePoint& pt, const ParticleLayer& p, float t, float u, float v) {
  pt.released = 1;
  pt.releaseTime = t;
  // The force map is sampled where the emit map was; a missing map pushes nowhere.
  const uint32_t* f = p.force.sample(u, v);
  const uint32_t pixel = f ? *f : 0xFF808080u;
  const float gx = static_cast<float>(channel(pixel, 0)) / 255.0f * 2.0f - 1.0f;
  const float gy = static_cast<float>(channel(pixel, 8)) / 255.0f * 2.0f - 1.0f;
  const float dx = (gx + uniform(-0.2f, 0.2f)) * 200.0f;
  const float dy = (gy + uniform(-0.2f, 0.2f)) * 200.0f;
  const float dz = uniform(-0.2f, 0.2f) * 200.0f;
  pt.tx = pt.ox + dx;
  pt.ty = pt.oy + dy;
  pt.tz = pt.oz + dz;
  pt.flightTime = (p.end - t) * (uniform(0.0f, 0.8f) + 0.2f);
}

float clamp01(float v) {
  return v < 0.0f ? 0.0f : v > 1.0f ? 1.0f : v;
}

void update_point(ParticlePoint& pt, const ParticleLayer& p, float t, float progress,
                  bool finished) {
  const float u = p.emit.w ? pt.ox / static_cast<float>(p.emit.w) : 0.0f;
  const float v = p.emit.h ? pt.oy / static_cast<float>(p.emit.h) : 0.0f;
  if (!pt.released) {
    // Without an emit map every point counts as dark: it lets go when the progress is full.
    const uint32_t* e = p.emit.sample(u, v);
    const float level = static_cast<float>(e ? channel(*e, 0) : 0);
    const bool go = finished ? progress * 255.0f >= level : level >= (1.0f - progress) * 255.0f;
    if (!go) return;
    release_point(pt, p, t, u, v);
  }
  // Only x follows the flight; y and z stay at the origin in both phases.
  pt.y = pt.oy;
  pt.z = pt.oz;
  if (!finished) {
    const float flown = t - pt.releaseTime;
    // A point released at or after the end time has no flight: it is where it flies to.
    const float q = pt.flightTime > 0.0f ? clamp01(flown / pt.flightTime) : 1.0f;
    pt.x = pt.ox + (pt.tx - pt.ox) * q;
    float a = 1.0f;
    if (flown > pt.flightTime - 0.1f) a = clamp01((pt.flightTime - flown) / 0.1f);
    pt.alpha = static_cast<uint8_t>(static_cast<float>(pt.sourceAlpha) * a);
  } else {
    const float q = p.back > 0.0f ? clamp01((t - p.end) / p.back) : 1.0f;
    pt.x = pt.tx + (pt.ox - pt.tx) * q;
    pt.alpha = static_cast<uint8_t>(static_cast<float>(pt.sourceAlpha) * q);
  }
}

}  // namespace

uint32_t cmd_sp_particle_target_init(VmContext& vm) {
  uint32_t a[6];
  for (uint32_t& v : a) v = vm_pop(vm);
  uint32_t sprite = 0;
  ParticleLayer* p = setup(vm, a[0], a[1], "sp_particle_target_init", &sprite);
  if (!p) return 0;
  OrvSpriteInfo info{};
  orv.OrvSpriteGetInfo(sprite, &info);
  p->target = sprite;
  p->rx = as_int(a[2]);
  p->ry = as_int(a[3]);
  p->rw = as_int(a[4]);
  p->rh = as_int(a[5]);
  p->targetW = info.width;
  p->targetH = info.height;
  return 1;
}

uint32_t cmd_sp_particle_emit_init(VmContext& vm) {
  return copy_map(vm, "sp_particle_emit_init", &ParticleLayer::emit);
}

uint32_t cmd_sp_particle_force_init(VmContext& vm) {
  return copy_map(vm, "sp_particle_force_init", &ParticleLayer::force);
}

uint32_t cmd_sp_particle_layer_init(VmContext& vm) {
  uint32_t a[5];
  for (uint32_t& v : a) v = vm_pop(vm);
  ParticleLayer* p = record(a[0]);
  if (!p) return 1;
  p->emission = static_cast<float>(a[1]) * 0.001f;
  p->end = static_cast<float>(a[2]) * 0.001f;
  p->back = p->end - p->emission;
  p->points.clear();
  p->last = 0.0f;
  LockedPixels lock(p->target);
  if (!lock.pixels()) return 1;
  p->points.reserve(size_t(lock.w()) * size_t(lock.h()));
  for (int64_t y = 0; y < p->rh; ++y) {
    for (int64_t x = 0; x < p->rw; ++x) {
      const int64_t px = p->rx + x, py = p->ry + y;
      if (px < 0 || py < 0 || px >= lock.w() || py >= lock.h()) continue;
      const uint32_t pixel = lock.at(int32_t(px), int32_t(py));
      const uint8_t alpha = channel(pixel, 24);
      if (alpha < 16) continue;
      ParticlePoint pt{};
      pt.ox = pt.x = static_cast<float>(px);
      pt.oy = pt.y = static_cast<float>(py);
      pt.r = channel(pixel, 16);
      pt.g = channel(pixel, 8);
      pt.b = channel(pixel, 0);
      pt.alpha = pt.sourceAlpha = alpha;
      p->points.push_back(pt);
    }
  }
  return 1;
}

uint32_t cmd_sp_particle_layer_update(VmContext& vm) {
  const uint32_t index = vm_pop(vm);
  vm_pop(vm);
  const uint32_t time = vm_pop(vm);
  ParticleLayer* p = record(index);
  if (!p) return 1;
  const float t = static_cast<float>(time) * 0.001f;
  const float progress = p->emission > 0.0f ? clamp01(t / p->emission) : 1.0f;
  const bool finished = t >= p->end;
  for (ParticlePoint& pt : p->points) update_point(pt, *p, t, progress, finished);
  p->last = t;
  LockedPixels lock(p->target);
  if (!lock.pixels()) return 1;
  for (const ParticlePoint& pt : p->points) {
    if (pt.alpha == 0) continue;
    const float fx = pt.x + pt.z * 0.5f, fy = pt.y + pt.z * 0.5f;
    if (!(fx > -1.0f && fy > -1.0f && fx < 2147483520.0f && fy < 2147483520.0f)) continue;
    const int32_t x = static_cast<int32_t>(fx), y = static_cast<int32_t>(fy);
    if (!lock.inside(x, y)) continue;
    lock.at(x, y) = uint32_t{pt.alpha} << 24 | uint32_t{pt.r} << 16 | uint32_t{pt.g} << 8 | pt.b;
  }
  return 1;
}

uint32_t cmd_sp_particle_layer_is_end(VmContext& vm) {
  const uint32_t index = vm_pop(vm);
  const ParticleLayer* p = record(index);
  engine::vm_set_result(vm, !p || p->last >= p->end ? 1u : 0u);
  return 1;
}

uint32_t cmd_sp_particle_layer_reset(VmContext& vm) {
  ParticleLayer* p = record(vm_pop(vm));
  if (!p) return 1;
  p->target = 0;
  p->points.clear();
  p->emit.pixels.clear();
  p->force.pixels.clear();
  return 1;
}

uint32_t cmd_sp_particle_layer_restart(VmContext& vm) {
  ParticleLayer* p = record(vm_pop(vm));
  if (p) p->last = 0.0f;
  return 1;
}

}  // namespace particles
