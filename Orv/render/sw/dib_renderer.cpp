#include "Orv/render/sw/dib_renderer.h"

#include <algorithm>
#include <cstring>
#include <new>

DibRenderer* dib_renderer_create(int32_t game_w, int32_t game_h, int32_t window_w, int32_t window_h,
                                 uint32_t device_flags) {
  if (game_w < 1 || game_h < 1 || game_w > 16384 || game_h > 16384) return nullptr;
  auto* dib = new (std::nothrow) DibRenderer;
  if (!dib) return nullptr;
  try {
    size_t n = static_cast<size_t>(game_w) * static_cast<size_t>(game_h);
    dib->back.resize(n);  // zero without a pass (FrameAllocator)
    dib->row.assign(kDibMaxBox, 0);
  } catch (const std::bad_alloc&) {
    delete dib;
    return nullptr;
  }
  dib->game_w = game_w;
  dib->game_h = game_h;
  dib->window_w = window_w;
  dib->window_h = window_h;
  dib->device_flags = device_flags;
  return dib;
}

void dib_renderer_destroy(DibRenderer* dib) {
  delete dib;
}

bool dib_effect_images(DibRenderer* dib) {
  if (!dib->fx1.empty()) return true;
  try {
    size_t n = static_cast<size_t>(dib->game_w) * static_cast<size_t>(dib->game_h);
    dib->fx1.assign(n, 0);
    dib->fx2.assign(n, 0);
  } catch (const std::bad_alloc&) {
    dib->fx1 = {};
    dib->fx2 = {};
    return false;
  }
  return true;
}

DibSurface dib_back_surface(DibRenderer* dib) {
  dib_settle(dib);
  return DibSurface{dib->back.data(), dib->game_w, dib->game_h, dib->game_w};
}

void dib_clear(DibRenderer* dib, uint32_t color) {
  dib->clear_pending = true;
  dib->clear_colour = color;
}

void dib_settle(DibRenderer* dib) {
  if (!dib->clear_pending) return;
  dib->clear_pending = false;
  const uint32_t color = dib->clear_colour;
  // The first block is filled pixel by pixel, the rest copied from it: the library's copy
  // moves whole vector registers where a plain fill loop of 32-bit words does not.
  constexpr size_t kBlock = 4096;
  uint32_t* px = dib->back.data();
  size_t n = dib->back.size();
  size_t first = std::min(n, kBlock);
  std::fill(px, px + first, color);
  for (size_t at = first; at < n; at += kBlock) {
    std::memcpy(px + at, px, std::min(kBlock, n - at) * sizeof(uint32_t));
  }
}
