#include "graphics/layers/layer_commands.h"

#include <cstring>
#include <new>

#include "engine/formats/startup_info.h"
#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/display_ops.h"
#include "graphics/layers/graphic_dat.h"
#include "graphics/layers/image_record.h"
#include "graphics/layers/layer_args.h"
#include "graphics/layers/layer_command_list.h"
#include "graphics/layers/layer_layout.h"
#include "graphics/layers/layer_slots.h"
#include "graphics/layers/layer_text_items.h"
#include "graphics/layers/sprite_loader.h"

namespace layers {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::LayerSlot;
using engine::vm_log;
using engine::vm_pop;
using engine::VmContext;

constexpr uint32_t kNoFile = engine::kNoText;
constexpr uint32_t kAllBits = 0xFFFFFFFFu;

// The name a file operand names, and what graphic.dat says of it.
struct Named {
  char name[33] = {};  // as requested
  char load[33] = {};  // the file to load (graphic.dat's load name when it has a record)
  GraphicInfo info{};  // zero without a record
  bool found = false;
};

void look_up(Named* n) {
  char field[32];
  graphic_name_field(n->name, field);
  n->found = graphic_dat.find(field, &n->info);
  if (n->found) {
    std::memcpy(n->load, n->info.loadName, 32);
  } else {
    std::memcpy(n->load, n->name, 32);
  }
  n->load[32] = 0;
}

void resolve(VmContext& vm, uint32_t file, Named* n) {
  engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(n->name), sizeof n->name, file, 1);
  n->name[32] = 0;
  look_up(n);
}

// Rotation, scale and colour from the sprite, or scale and colour from graphic.dat.
void take_sprite_state(ImageRecord& image, const OrvSpriteInfo& si, const Named& n) {
  image.base.rot = {static_cast<int32_t>(si.rotation_x), static_cast<int32_t>(si.rotation_y),
                    static_cast<int32_t>(si.rotation_z)};
  image.base.fRot = {si.rotation_x, si.rotation_y, si.rotation_z};
  if (n.info.flags & kGraphicScale) {
    const float s = static_cast<float>(n.info.scalePercent) / 100.0f;
    image.base.scale = {s, s};
  } else {
    image.base.scale = {si.scale_x, si.scale_y};
  }
  image.base.dwColor = (n.info.flags & kGraphicColor) ? n.info.color : si.color;
}

void set_pos(ImageRecord& image, int32_t x, int32_t y, int32_t z) {
  image.base.pos = {x, y, z};
  image.base.fPos = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

// Drops the recorded image operations of a layer, keeping its pure child links.
void drop_image_operations(LayerSlot& slot) {
  if (!(slot.dwFlags & kLayerChildren)) return;
  for (auto& entry : slot.graphChild) {
    if (entry[0] & ~kChildLink) std::memset(entry, 0, sizeof entry);
  }
}

// The old picture of a layer before a file load: a queued transition holds the slot, so only
// the image goes; otherwise the whole layer, shown until the next commit.
void release_for_load(VmContext& vm, LayerSlot& slot, bool drop_operations) {
  if (slot.bTransQueued) {
    image_release_now(slot.lpImage);
    slot.lpImage = nullptr;
    if (drop_operations) drop_image_operations(slot);
  } else if (slot.lpImage) {
    layer_release(vm, slot);
  }
}

enum class Place { kCodes, kPixels, kFace };

// sp_set, sp_set_ex, face_set: the load and the placement of the new picture.
uint32_t load_into_layer(VmContext& vm, Place place, uint32_t kind, uint32_t file, uint32_t layer,
                         int32_t a, int32_t b, int32_t z, const engine::FaceEntry* face, Named* n) {
  LayerSlot& slot = vm.layers[layer];
  release_for_load(vm, slot, place == Place::kPixels);
  if (file == kNoFile) return 1;
  resolve(vm, file, n);
  const int32_t priority = layer_priority(vm, layer, n->found ? n->info.priorityStep : 0,
                                          face ? face->nPriorityOffset : 0);
  ImageRecord* image = image_alloc(kBaseLayer, layer);
  const ScreenSize sc = screen_size();
  uint32_t sprite;
  if (place == Place::kFace && orv.OrvIsWorkThreadId()) {
    orv.OrvRenderLockLeave();
    sprite = sprite_load_by_name(vm, n->load, sc.w, sc.h, priority);
    orv.OrvRenderLockEnter();
  } else {
    sprite = sprite_load_by_name_unlocked(vm, n->load, sc.w, sc.h, priority);
  }
  if (!sprite) {
    image_release_now(image);
    return 0;
  }
  image->hSprite = sprite;
  OrvSpriteInfo si{};
  orv.OrvSpriteGetInfo(sprite, &si);
  const int32_t gx = n->info.x, gy = n->info.y;
  if (place == Place::kCodes) {
    const LayoutGrid grid = engine::startup_settings().bLayoutGrid ? LayoutGrid::kTwentyColumns
                                                                   : LayoutGrid::kEightColumns;
    image->base.pos = {layout_x(grid, a, sc.w, si.width) + gx, layout_y(b, sc.h, si.height) + gy,
                       0};
    image->base.fPos = {layout_x_float(grid, a, sc.w, si.width) + static_cast<float>(gx),
                        layout_y_float(b, sc.h, si.height) + static_cast<float>(gy), 0.0f};
  } else if (place == Place::kPixels) {
    if (as_int(a) == 0xFFFF && as_int(b) == 0xFFFF) {
      set_pos(*image, static_cast<int32_t>(si.x), static_cast<int32_t>(si.y), 0);
    } else {
      set_pos(*image, a, b, z);
    }
    image->base.pos.x += gx;
    image->base.pos.y += gy;
    image->base.fPos.x += static_cast<float>(gx);
    image->base.fPos.y += static_cast<float>(gy);
  } else {
    int32_t x, y;
    if (face->x != -1 && face->y != -1) {
      x = face->x - (si.cell_width >> 1);
      y = face->y - si.cell_height;
    } else {
      x = static_cast<int32_t>(si.x);
      y = static_cast<int32_t>(si.y);
    }
    set_pos(*image, x + a, y + b, 0);
    image->base.posOfs = {gx, gy, 0};
    image->base.fPosOfs = {static_cast<float>(gx), static_cast<float>(gy), 0.0f};
  }
  take_sprite_state(*image, si, *n);
  image_keep_file(*image, file, n->load, n->name);
  image_apply_graphic_info(vm, *image, n->info, kAllBits);
  slot.lpImage = image;
  image_apply_transform(vm, *image);
  display_op_queue(vm, kind, layer);
  return 1;
}

uint32_t cmd_sp_set(VmContext& vm) {
  const uint32_t file = vm_pop(vm);
  const uint32_t layer = vm_pop(vm);
  const int32_t cx = as_int(vm_pop(vm));
  const int32_t cy = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  Named n;
  const uint32_t r =
      load_into_layer(vm, Place::kCodes, kOpShowSet, file, layer, cx, cy, 0, nullptr, &n);
  if (r && file != kNoFile) {
    vm_log(kLogHistory, "sp_set  %s, %d, %d", n.name, as_int(layer),
           layer_priority(vm, layer, n.info.priorityStep));
  }
  return r;
}

uint32_t cmd_sp_set_ex(VmContext& vm) {
  const uint32_t file = vm_pop(vm);
  const uint32_t layer = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  const int32_t z = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  Named n;
  const uint32_t r =
      load_into_layer(vm, Place::kPixels, kOpShowSetEx, file, layer, x, y, z, nullptr, &n);
  if (r && file != kNoFile) {
    vm_log(kLogHistory, "sp_set_ex  %s, %d, %d, %d, %d", n.name, as_int(layer), x, y, z);
  }
  return r;
}

bool face_ok(uint32_t face) {
  return number_in_range(face, 8);
}

uint32_t cmd_face_set(VmContext& vm) {
  const uint32_t file = vm_pop(vm);
  const uint32_t face = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  if (!face_ok(face)) return 0;
  const engine::FaceEntry entry = vm.faceTable[face];
  // An entry without a layer has nothing to load into.
  if (!layer_in_range(entry.dwLayer)) return 0;
  Named n;
  const uint32_t r =
      load_into_layer(vm, Place::kFace, kOpShowFace, file, entry.dwLayer, x, y, 0, &entry, &n);
  if (r && file != kNoFile) {
    vm_log(kLogHistory, "face_set  %s, %d, %d, %d", n.name, as_int(face), x, y);
  }
  return r;
}

uint32_t cmd_face_init(VmContext& vm) {
  const uint32_t face = vm_pop(vm);
  const uint32_t layer = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  const int32_t step = as_int(vm_pop(vm));
  if (!face_ok(face)) return 0;
  if (layer != kNoFaceLayer && !layer_in_range(layer)) return 0;
  if (layer == kNoFaceLayer) {
    std::memset(&vm.faceTable[face], 0xFF, sizeof vm.faceTable[face]);
  } else {
    vm.faceTable[face] = {layer, -134 * step, x, y};
  }
  vm_log(kLogHistory, "face_init  %d, %d, %d, %d, %d", as_int(face), as_int(layer), x, y, step);
  return 1;
}

uint32_t cmd_face_cls(VmContext& vm) {
  const uint32_t face = vm_pop(vm);
  if (!face_ok(face)) return 0;
  const uint32_t layer = vm.faceTable[face].dwLayer;
  if (layer < kLayers) layer_release_now(vm, vm.layers[layer]);
  vm_log(kLogHistory, "face_cls  %d", as_int(face));
  return 1;
}

uint32_t cmd_sp_cls(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  if (layer != 0xFFFFFFFFu && !layer_in_range(layer)) return 0;
  auto release = [&](uint32_t n) {
    if (!layer_release(vm, vm.layers[n])) vm_log(kLogMain, "sprite cls error [%d]", as_int(n));
  };
  if (layer == 0xFFFFFFFFu) {
    for (uint32_t n = 0; n < kLayers; ++n) {
      if (vm.layers[n].lpImage) release(n);
    }
  } else {
    release(layer);
  }
  vm_log(kLogHistory, "sp_cls  %d", as_int(layer));
  return 1;
}

uint32_t cmd_sp_cls_ex(VmContext& vm) {
  const int32_t first = as_int(vm_pop(vm));
  const int32_t count = as_int(vm_pop(vm));
  if (first != -1 && !layer_in_range(static_cast<uint32_t>(first))) return 0;
  const int64_t begin = first < 0 ? 0 : first;
  int64_t end = int64_t{first} + count;
  if (end > kLayers) end = kLayers;
  for (int64_t n = begin; n < end; ++n) {
    if (!layer_release(vm, vm.layers[n])) {
      vm_log(kLogMain, "sprite cls error [%d]", static_cast<int32_t>(n));
    }
  }
  vm_log(kLogHistory, "sp_cls_ex  %d, %d", first, count);
  return 1;
}

uint32_t cmd_sp_create(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t file = vm_pop(vm);
  const int32_t x = as_int(vm_pop(vm));
  const int32_t y = as_int(vm_pop(vm));
  const int32_t w = as_int(vm_pop(vm));
  const int32_t h = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  return layer_create_sprite(vm, layer, file, x, y, w, h, false);
}

uint32_t cmd_sp_paint(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t colour = vm_pop(vm);
  OrvRect rect;
  rect.left = as_int(vm_pop(vm));
  rect.top = as_int(vm_pop(vm));
  rect.right = as_int(vm_pop(vm));
  rect.bottom = as_int(vm_pop(vm));
  if (!layer_in_range(layer)) return 0;
  const ImageRecord* image = vm.layers[layer].lpImage;
  if (!image) return 1;
  uint32_t argb = 0;
  if (colour != kNoFile) {
    char text[33] = {};
    engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(text), sizeof text, colour, 0);
    argb = parse_color(text + 1);
  }
  const bool whole = !rect.left && !rect.top && !rect.right && !rect.bottom;
  orv.OrvSpritePaint(image->hSprite, whole ? nullptr : &rect, argb);
  layer_text_items_clear(layer);  // the painted lines are gone
  vm_log(kLogHistory, "sp_paint %d, 0x%08X, %d, %d, %d, %d", as_int(layer), argb, rect.left,
         rect.top, rect.right, rect.bottom);
  return 1;
}

uint32_t cmd_sp_fill_alpha(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  const uint32_t alpha = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  const ImageRecord* image = vm.layers[layer].lpImage;
  vm_log(kLogHistory, "sp_fill_alpha %d, %d", as_int(layer), as_int(alpha));
  if (!image || !image->hSprite) return 1;
  int32_t w = 0, h = 0;
  // A pixel-less record (made while skipping) has nothing to lock.
  uint32_t* pixels = orv.OrvSpriteLock(image->hSprite, &w, &h);
  if (!pixels) return 1;
  const uint32_t a = (alpha & 0xFF) << 24;
  const size_t count = w > 0 && h > 0 ? size_t(w) * size_t(h) : 0;
  for (size_t i = 0; i < count; ++i) pixels[i] = (pixels[i] & 0x00FFFFFFu) | a;
  orv.OrvSpriteUnlock(image->hSprite);
  return 1;
}

uint32_t cmd_get_backbuffer(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  const ImageRecord* image = vm.layers[layer].lpImage;
  if (!image) return 1;
  if (!(engine::get_skip_state(vm) & engine::kSkipAny)) {
    orv.OrvSpriteBackBafferCopy(image->hSprite);
  }
  vm_log(kLogHistory, "get_backbuffer %d", as_int(layer));
  return 1;
}

uint32_t cmd_sp_draw(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  const ImageRecord* image = vm.layers[layer].lpImage;
  if (image && image->hSprite) {
    vm_log(kLogHistory, "sp_draw  %d", as_int(layer));
    display_op_queue(vm, kOpShowDraw, layer);
  } else {
    vm_log(kLogHistory, "sp_draw skip");
  }
  return 1;
}

uint32_t show_or_hide(VmContext& vm, uint32_t kind, const char* format) {
  const uint32_t layer = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  const ImageRecord* image = vm.layers[layer].lpImage;
  if (image) {
    display_op_queue(vm, kind, image->hSprite, kind == kOpViewOn ? 1 : 0);
    vm_log(kLogHistory, format, as_int(layer));
  }
  return 1;
}
uint32_t cmd_sp_show(VmContext& vm) {
  return show_or_hide(vm, kOpViewOn, "sp_show %d");
}
uint32_t cmd_sp_hide(VmContext& vm) {
  return show_or_hide(vm, kOpViewOff, "sp_hide %d");
}

uint32_t cmd_sp_nop(VmContext& vm) {
  vm_pop(vm);
  vm_pop(vm);
  return 1;
}

// ---- asynchronous load ----

// One request; freed by whoever ran it.
struct AsyncLoad {
  VmContext* vm;
  uint32_t file;
  uint32_t layer;
  uint32_t mode;
  uint32_t serial;  // the slot's dwAsyncRequest while it waits for this request
  bool skipping;
  Named named;
};

uint32_t g_async_serial = 0;  // the last request number handed out

// The hand-over, under the render lock: only while the slot still waits for this request.
void async_store(AsyncLoad& req, uint32_t sprite) {
  VmContext& vm = *req.vm;
  LayerSlot& slot = vm.layers[req.layer];
  if (slot.dwAsyncRequest != req.serial || !slot.lpImage) {
    if (sprite) orv.OrvSpriteRelease(orv.OrvRenderGetActive(), sprite);
    return;
  }
  if (!sprite) {
    // A failed load empties the layer, so that waits end at once.
    layer_release_now(vm, slot);
    return;
  }
  ImageRecord& image = *slot.lpImage;
  image.hSprite = sprite;
  OrvSpriteInfo si{};
  orv.OrvSpriteGetInfo(sprite, &si);
  const Named& n = req.named;
  set_pos(image, static_cast<int32_t>(si.x) + n.info.x, static_cast<int32_t>(si.y) + n.info.y, 0);
  image.base.fPos = {si.x + static_cast<float>(n.info.x), si.y + static_cast<float>(n.info.y),
                     0.0f};
  take_sprite_state(image, si, n);
  image_apply_graphic_info(vm, image, n.info, kAllBits);
  slot.dwAsyncRequest = 0;
  image_keep_file(image, req.file, n.load, n.name);  // last: the image is complete
  vm_log(kLogHistory, "sp_load  %s, %d, %d", n.name, as_int(req.layer), as_int(req.mode));
}

uint32_t async_load_sprite(const AsyncLoad& req) {
  const ScreenSize sc = screen_size();
  const int32_t priority =
      layer_priority(*req.vm, req.layer, req.named.found ? req.named.info.priorityStep : 0);
  return sprite_load_by_name_as(req.named.load, sc.w, sc.h, priority, req.skipping);
}

// On the work thread: read and decode without the lock, hand over with it.
void async_load_worker(void* arg) {
  auto* req = static_cast<AsyncLoad*>(arg);
  const uint32_t sprite = async_load_sprite(*req);
  orv.OrvRenderLockEnter();
  async_store(*req, sprite);
  orv.OrvRenderLockLeave();
  orv.OrvMemoryFree(req);
}

uint32_t cmd_sp_load(VmContext& vm) {
  const uint32_t file = vm_pop(vm);
  const uint32_t layer = vm_pop(vm);
  const uint32_t mode = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  if (file == kNoFile) return 1;
  LayerSlot& slot = vm.layers[layer];
  layer_release(vm, slot);
  slot.lpImage = image_alloc(kBaseLayer, layer);
  void* block = orv.OrvMemoryAlloc(sizeof(AsyncLoad), 1);
  if (!block) {
    layer_release_now(vm, slot);
    return 0;
  }
  auto* req = new (block) AsyncLoad{};
  req->vm = &vm;
  req->file = file;
  req->layer = layer;
  req->mode = mode;
  req->serial = ++g_async_serial ? g_async_serial : ++g_async_serial;
  req->skipping = (engine::get_skip_state(vm) & engine::kSkipAny) != 0;
  // The name is taken now: the string slot it may come from can change before the worker runs.
  resolve(vm, file, &req->named);
  slot.dwFlags = kLayerAsyncLoad;
  slot.dwAsyncRequest = req->serial;
  if (mode == 0 && !orv.OrvIsWorkThreadId() && orv.OrvAttachWorkProcess(async_load_worker, req)) {
    return 1;
  }
  async_store(*req, async_load_sprite(*req));
  orv.OrvMemoryFree(req);
  return 1;
}

uint32_t cmd_sp_load_wait(VmContext& vm) {
  const uint32_t layer = vm_pop(vm);
  if (!layer_in_range(layer)) return 0;
  LayerSlot& slot = vm.layers[layer];
  const uint32_t waited = slot.lpImage ? layer_async_wait(vm, slot) : 0;
  vm_log(kLogHistory, "sp_load_wait  %d : time %d", as_int(layer), as_int(waited));
  return 1;
}

}  // namespace

uint32_t layer_create_sprite(VmContext& vm, uint32_t layer, uint32_t file, int32_t x, int32_t y,
                             int32_t w, int32_t h, bool keep_links) {
  LayerSlot& slot = vm.layers[layer];
  if (keep_links) {
    release_for_load(vm, slot, true);
  } else {
    layer_release(vm, slot);
  }
  if (file == kNoFile) return 1;
  Named n;
  engine::get_file_name_operand(vm, reinterpret_cast<uint8_t*>(n.name), sizeof n.name, file, 1);
  ImageRecord* image = image_alloc(kBaseLayer, layer);
  const uint32_t sprite =
      sprite_load_by_name_unlocked(vm, n.name, w, h, layer_priority(vm, layer, 0));
  if (!sprite) {
    image_release_now(image);
    return 0;
  }
  image->hSprite = sprite;
  image_keep_file(*image, file, n.name, n.name);
  set_pos(*image, x, y, 0);
  slot.lpImage = image;
  vm_log(kLogHistory,
         keep_links ? "sp_create_ex %d, %s, %d, %d, %d, %d" : "sp_create %d, %s, %d, %d, %d, %d",
         as_int(layer), n.name, x, y, w, h);
  display_op_queue(vm, kOpViewOn, sprite, 1);
  return 1;
}

void history_skip_cover_image(VmContext& vm) {
  constexpr uint32_t kCoverLayer = 65;
  LayerSlot& slot = vm.layers[kCoverLayer];
  release_for_load(vm, slot, false);
  ImageRecord* image = image_alloc(kBaseLayer, kCoverLayer);
  const ScreenSize sc = screen_size();
  const uint32_t sprite =
      sprite_load_by_name_unlocked(vm, "#FF000000", sc.w, sc.h, layer_priority(vm, kCoverLayer, 0));
  if (!sprite) {
    image_release_now(image);
    return;
  }
  image->hSprite = sprite;
  OrvSpriteInfo si{};
  orv.OrvSpriteGetInfo(sprite, &si);
  const Named none;
  set_pos(*image, static_cast<int32_t>(si.x), static_cast<int32_t>(si.y), 0);
  take_sprite_state(*image, si, none);
  image_apply_graphic_info(vm, *image, none.info, kAllBits);
  slot.lpImage = image;
  image_apply_transform(vm, *image);
  display_op_queue(vm, kOpShowSetEx, kCoverLayer);
  g_run_no_wait = 1;
  vm_log(kLogHistory, "force run_no_wait");
  display_ops_commit(vm);
}

namespace {

constexpr engine::CommandEntry kEntries[] = {LAYER_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList layer_commands = engine::command_list(kEntries);

}  // namespace layers
