// The pixel access commands (pixel_command_list.h).
//
// A buffer value stands for one layer's locked pixels: 0x40000000 + layer x 0x10000. Each
// access checks that the value is the one handed out for the named layer, that the layer
// still shows the sprite that was locked, and that every byte lies inside its pixels.
#include <algorithm>
#include <cstring>

#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/layer_args.h"
#include "graphics/layers/layer_commands.h"
#include "graphics/layers/layer_slots.h"
#include "graphics/layers/pixel_command_list.h"

namespace layers {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::vm_log;
using engine::vm_pop;
using engine::vm_set_result;
using engine::VmContext;

struct LockedPixels {
  uint32_t sprite;  // 0: the layer is not locked
  uint8_t* bytes;
  size_t size;
};
LockedPixels locked[kLayers];

uint32_t buffer_value(uint32_t layer) {
  return 0x40000000u + (layer << 16);
}

// The locked bytes [offset, offset + count) of a layer, or null.
uint8_t* bytes_at(VmContext& vm, uint32_t layer, uint32_t buffer, int32_t offset, size_t count) {
  if (layer >= kLayers || buffer == 0 || offset < 0) return nullptr;
  const LockedPixels& l = locked[layer];
  if (!l.sprite || buffer != buffer_value(layer) || layer_sprite(vm, layer) != l.sprite) {
    return nullptr;
  }
  const size_t at = static_cast<size_t>(offset);
  if (at > l.size || count > l.size - at) return nullptr;
  return l.bytes + at;
}

void set_var(VmContext& vm, uint32_t var, uint32_t value) {
  if (var < engine::kTempMemoryCells) vm.tempMem[var] = value;
}

uint32_t cmd_sp_lock_pixels(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t buffer_var = vm_pop(vm);
  const uint32_t width_var = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  set_var(vm, buffer_var, 0);
  set_var(vm, width_var, 0);
  const uint32_t sprite = layer_sprite(vm, layer);
  if (skipping_scene(vm) || !sprite) return 1;
  int32_t w = 0, h = 0;
  uint32_t* pixels = orv.OrvSpriteLock(sprite, &w, &h);
  if (!pixels) return 1;
  locked[layer] = {sprite, reinterpret_cast<uint8_t*>(pixels),
                   w > 0 && h > 0 ? size_t(w) * size_t(h) * 4 : 0};
  set_var(vm, buffer_var, buffer_value(layer));
  set_var(vm, width_var, static_cast<uint32_t>(w));
  return 1;
}

uint32_t cmd_sp_unlock_pixels(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  // Whatever this layer locked is unlocked, so that a lock never outlives its pair.
  if (locked[layer].sprite && layer_sprite(vm, layer) == locked[layer].sprite) {
    orv.OrvSpriteUnlock(locked[layer].sprite);
  }
  locked[layer] = {};
  return 1;
}

uint32_t cmd_sp_peek8(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t buffer = vm_pop(vm);
  const int32_t offset = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  const uint8_t* p = bytes_at(vm, layer, buffer, offset, 1);
  vm_set_result(vm, p ? *p : 0);
  return 1;
}

uint32_t cmd_sp_peek32(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t buffer = vm_pop(vm);
  const int32_t offset = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  const uint8_t* p = bytes_at(vm, layer, buffer, offset, 4);
  vm_set_result(
      vm,
      p ? uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24 : 0);
  return 1;
}

uint32_t cmd_sp_poke8(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t buffer = vm_pop(vm);
  const int32_t offset = as_int(vm_pop(vm));
  const uint32_t value = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  if (uint8_t* p = bytes_at(vm, layer, buffer, offset, 1)) *p = static_cast<uint8_t>(value);
  return 1;
}

uint32_t cmd_sp_poke32(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t buffer = vm_pop(vm);
  const int32_t offset = as_int(vm_pop(vm));
  const uint32_t value = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  if (uint8_t* p = bytes_at(vm, layer, buffer, offset, 4)) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
  }
  return 1;
}

struct Side {
  uint32_t layer, buffer;
  int32_t offset;
};
Side pop_side(VmContext& vm) {
  Side s;
  s.layer = vm_pop(vm);
  s.buffer = vm_pop(vm);
  s.offset = as_int(vm_pop(vm));
  return s;
}

uint32_t cmd_sp_memcpy(VmContext& vm) {
  const Side d = pop_side(vm);
  const Side s = pop_side(vm);
  const int32_t count = as_int(vm_pop(vm));
  if (!layer_in_range(d.layer) || !layer_in_range(s.layer)) return 0;
  if (count <= 0) return 1;
  uint8_t* to = bytes_at(vm, d.layer, d.buffer, d.offset, static_cast<size_t>(count));
  const uint8_t* from = bytes_at(vm, s.layer, s.buffer, s.offset, static_cast<size_t>(count));
  if (to && from) std::memmove(to, from, static_cast<size_t>(count));
  return 1;
}

// The byte size of a layer's buffer for the channel copy: its cell size, never more than was
// locked.
size_t channel_size(VmContext& vm, uint32_t layer) {
  OrvSpriteInfo si{};
  orv.OrvSpriteGetInfo(locked[layer].sprite, &si);
  const size_t cells = si.cell_width > 0 && si.cell_height > 0
                           ? size_t(si.cell_width) * size_t(si.cell_height) * 4
                           : 0;
  (void)vm;
  return std::min(cells, locked[layer].size);
}

// An offset taken into a buffer of size bytes: a negative one has the size added once, one
// at or past the end wraps; -1 when it still lies outside.
int64_t wrap_offset(int32_t offset, size_t size) {
  int64_t p = offset;
  if (p < 0) p += static_cast<int64_t>(size);
  if (p < 0 || size == 0) return -1;
  return p % static_cast<int64_t>(size);
}

uint32_t cmd_sp_memcpy_channel(VmContext& vm) {
  const Side d = pop_side(vm);
  const Side s = pop_side(vm);
  int64_t n = as_int(vm_pop(vm));
  if (!layer_in_range(d.layer) || !layer_in_range(s.layer)) return 0;
  if (n < 1 || !bytes_at(vm, d.layer, d.buffer, 0, 0) || !bytes_at(vm, s.layer, s.buffer, 0, 0)) {
    return 1;
  }
  const size_t dsize = channel_size(vm, d.layer), ssize = channel_size(vm, s.layer);
  const int64_t p = wrap_offset(d.offset, dsize), q = wrap_offset(s.offset, ssize);
  if (p < 0 || q < 0) return 1;
  n = std::min<int64_t>(n, (static_cast<int64_t>(dsize) - p) / 4);
  const int64_t source_pixels = static_cast<int64_t>(ssize) / 4;
  if (n < 1 || source_pixels < 1) return 1;
  uint8_t* to = locked[d.layer].bytes + p;
  const uint8_t* from = locked[s.layer].bytes;
  const int64_t first = std::min<int64_t>(n, (static_cast<int64_t>(ssize) - q) / 4);
  for (int64_t k = 0; k < first; ++k) to[4 * k] = from[q + 4 * k];
  // The rest comes from the start of the source, the same byte of each pixel, round again
  // as often as needed.
  for (int64_t k = first, j = 0; k < n; ++k, ++j) {
    to[4 * k] = from[(q % 4) + 4 * (j % source_pixels)];
  }
  return 1;
}

uint32_t cmd_sp_get_pixel(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  vm_set_result(vm, 0);
  if (!layer_in_range(layer)) return 0;
  const uint32_t sprite = layer_sprite(vm, layer);
  if (!skipping_scene(vm) && sprite) vm_set_result(vm, orv.OrvGetPixel(sprite, x, y));
  vm_log(kLogHistory, "sp_get_pixel  %d, %d, %d", as_int(layer), x, y);
  return 1;
}

uint32_t cmd_sp_set_pixel(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  const uint32_t argb = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  const uint32_t sprite = layer_sprite(vm, layer);
  if (!skipping_scene(vm) && sprite) orv.OrvSetPixel(sprite, x, y, argb);
  vm_log(kLogHistory, "sp_set_pixel  %d, %d, %d, (hex)%08X", as_int(layer), x, y, argb);
  return 1;
}

uint32_t cmd_sp_update_argb(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  const int32_t w = as_int(vm_pop(vm));
  const int32_t h = as_int(vm_pop(vm));
  const uint32_t factor = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  const uint32_t sprite = layer_sprite(vm, layer);
  if (!layer_image(vm, layer)) {
    vm_log(kLogMain, "not image... sp_update_argb %d", as_int(layer));
    return 0;
  }
  int32_t iw = 0, ih = 0;
  uint32_t* pixels = sprite ? orv.OrvSpriteLock(sprite, &iw, &ih) : nullptr;
  if (pixels) {
    const int64_t x0 = std::max<int64_t>(x, 0), y0 = std::max<int64_t>(y, 0);
    const int64_t x1 = std::min<int64_t>(int64_t{x} + w, iw);
    const int64_t y1 = std::min<int64_t>(int64_t{y} + h, ih);
    for (int64_t py = y0; py < y1; ++py) {
      uint32_t* row = pixels + py * iw;
      for (int64_t px = x0; px < x1; ++px) {
        uint32_t out = 0;
        for (int shift = 0; shift < 32; shift += 8) {
          const uint32_t b = (row[px] >> shift) & 0xFF, m = (factor >> shift) & 0xFF;
          out |= ((b * m * 257) >> 16) << shift;
        }
        row[px] = out;
      }
    }
    orv.OrvSpriteUnlock(sprite);
  }
  vm_log(kLogHistory, "sp_update_argb  %d, (%d,%d),(%d,%d),%X", as_int(layer), x, y, w, h, factor);
  return 1;
}

constexpr engine::CommandEntry kEntries[] = {PIXEL_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList pixel_commands = engine::command_list(kEntries);

}  // namespace layers
